// Letters as the game's names compare them: ASCII capitals and small letters alike, every other
// byte as it is, whatever the C library's locale says.
#ifndef GRIMTRIM_FORMATS_ASCII_H_
#define GRIMTRIM_FORMATS_ASCII_H_

#include <string>
#include <string_view>

[[nodiscard]] constexpr char foldedChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

[[nodiscard]] constexpr char raisedChar(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// `text` with its ASCII capitals made small.
[[nodiscard]] inline std::string foldedText(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = foldedChar(c);
  return out;
}

[[nodiscard]] constexpr bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldedChar(a[i]) != foldedChar(b[i])) return false;
  }
  return true;
}

// True when `text` ends in `end`, case ignored.
[[nodiscard]] constexpr bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && equalIgnoringCase(text.substr(text.size() - end.size()), end);
}

#endif  // GRIMTRIM_FORMATS_ASCII_H_
