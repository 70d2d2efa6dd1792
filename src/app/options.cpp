#include "app/options.h"

#include "formats/ascii.h"

namespace {

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::int32_t optionValue(const char* text) {
  while (isSpace(*text))
    ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  // Unsigned arithmetic wraps by definition, so an overlong number is no undefined behaviour.
  std::uint32_t value = 0;
  for (; isDigit(*text); ++text)
    value = value * 10u + static_cast<std::uint32_t>(*text - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

bool parseOptions(int argc, const char* const* argv, Settings& settings) {
  for (int i = 1; i < argc - 2; ++i) {
    const char* option = argv[i];
    if (option[0] != '-') return false;
    std::int32_t Settings::*field = nullptr;
    for (const OptionLetter& known : kOptionLetters) {
      if (known.letter == foldedChar(option[1])) field = known.field;
    }
    if (field == nullptr) return false;
    settings.*field = optionValue(option + 2);
  }
  return true;
}
