#include "formats/text_table.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "formats/ascii.h"

namespace {

constexpr std::uint8_t kObfuscationKey[64] = {
    0x88, 0xa8, 0x8f, 0xba, 0x8a, 0xd3, 0xb9, 0xf5, 0xed, 0xb1, 0xcf, 0xea, 0xaa, 0xe4, 0xb5, 0xfb,
    0xeb, 0x82, 0xf9, 0x90, 0xca, 0xc9, 0xb5, 0xe7, 0xdc, 0x8e, 0xb7, 0xac, 0xee, 0xf7, 0xe0, 0xca,
    0x8e, 0xea, 0xca, 0x80, 0xce, 0xc5, 0xad, 0xb7, 0xc4, 0xd0, 0x84, 0x93, 0xd5, 0xf0, 0xeb, 0xc8,
    0xb4, 0x9d, 0xcc, 0xaf, 0xa5, 0x95, 0xba, 0x99, 0x87, 0xd2, 0x9d, 0xe3, 0x91, 0xba, 0x90, 0xca};
constexpr std::uint64_t kObfuscatedStart = 2;  // after FF FF

// Whether each byte separates values: one look-up a byte, as a table's text is read whole.
constexpr auto kSeparates = [] {
  std::array<bool, 256> separates{};
  separates[' '] = separates['\t'] = separates['\r'] = true;
  return separates;
}();

bool separates(std::uint8_t c) {
  return kSeparates[c];
}

// The value [start, end) as a resource name: capitals, at most 8 bytes.
ResRef nameOf(const std::uint8_t* start, const std::uint8_t* end) {
  ResRef name = 0;
  for (unsigned i = 0; i < 8 && start + i < end; ++i)
    name |= ResRef{static_cast<std::uint8_t>(raisedChar(static_cast<char>(start[i])))} << (8 * i);
  return name;
}

}  // namespace

std::vector<ResRef> tableNames(const View& file, std::size_t value) {
  std::vector<ResRef> names;
  if (file.size == 0) return names;
  // An obfuscated table is read from a plain copy, made once.
  std::vector<std::uint8_t> plain;
  const std::uint8_t* at = file.data;
  const std::uint8_t* end = file.data + file.size;
  if (file.size >= kObfuscatedStart && file.data[0] == 0xFF && file.data[1] == 0xFF) {
    plain.resize(static_cast<std::size_t>(file.size - kObfuscatedStart));
    for (std::size_t j = 0; j < plain.size(); ++j)
      plain[j] = file.data[kObfuscatedStart + j] ^ kObfuscationKey[j % 64];
    at = plain.data();
    end = plain.data() + plain.size();
  }
  ResRef fallback = 0;
  for (std::size_t line = 1; at < end; ++line) {
    const auto* found =
        static_cast<const std::uint8_t*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
    const std::uint8_t* lineEnd = found != nullptr ? found : end;
    // The line's values as far as the one wanted: what follows it is never needed.
    std::size_t values = 0;
    ResRef first = 0;
    ResRef wanted = 0;
    for (const std::uint8_t* next = at; values <= value;) {
      while (next < lineEnd && separates(*next))
        ++next;
      if (next == lineEnd) break;
      const std::uint8_t* start = next;
      while (next < lineEnd && !separates(*next))
        ++next;
      if (values == 0 && line == 2) first = nameOf(start, next);
      if (values == value) wanted = nameOf(start, next);
      ++values;
    }
    if (line == 2 && values > 0) fallback = first;
    if (line > 3 && values > 0) names.push_back(values > value ? wanted : fallback);
    at = found != nullptr ? found + 1 : end;
  }
  return names;
}
