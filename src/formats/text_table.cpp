#include "formats/text_table.h"

#include <cstdint>

#include "formats/ascii.h"

namespace {

constexpr std::uint8_t kObfuscationKey[64] = {
    0x88, 0xa8, 0x8f, 0xba, 0x8a, 0xd3, 0xb9, 0xf5, 0xed, 0xb1, 0xcf, 0xea, 0xaa, 0xe4, 0xb5, 0xfb,
    0xeb, 0x82, 0xf9, 0x90, 0xca, 0xc9, 0xb5, 0xe7, 0xdc, 0x8e, 0xb7, 0xac, 0xee, 0xf7, 0xe0, 0xca,
    0x8e, 0xea, 0xca, 0x80, 0xce, 0xc5, 0xad, 0xb7, 0xc4, 0xd0, 0x84, 0x93, 0xd5, 0xf0, 0xeb, 0xc8,
    0xb4, 0x9d, 0xcc, 0xaf, 0xa5, 0x95, 0xba, 0x99, 0x87, 0xd2, 0x9d, 0xe3, 0x91, 0xba, 0x90, 0xca};
constexpr std::uint64_t kObfuscatedStart = 2;  // after FF FF

// The table's text byte by byte, deobfuscated where it is obfuscated: nothing is copied.
class TableText {
 public:
  explicit TableText(const View& file)
      : file_(file),
        obfuscated_(inside(file, 0, kObfuscatedStart) && file.data[0] == 0xFF &&
                    file.data[1] == 0xFF),
        at_(obfuscated_ ? kObfuscatedStart : 0) {}
  [[nodiscard]] bool ended() const { return at_ >= file_.size; }
  // The next byte; only called before ended().
  char next() {
    std::uint8_t byte = file_.data[at_];
    if (obfuscated_) byte ^= kObfuscationKey[(at_ - kObfuscatedStart) % 64];
    ++at_;
    return static_cast<char>(byte);
  }

 private:
  View file_;
  bool obfuscated_;
  std::uint64_t at_;
};

bool separates(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// A value as a resource name: capitals, at most 8 bytes.
class NameBuilder {
 public:
  void add(char c) {
    if (length_ < 8) name_ |= ResRef{static_cast<std::uint8_t>(raisedChar(c))} << (8 * length_++);
  }
  [[nodiscard]] ResRef name() const { return name_; }

 private:
  ResRef name_ = 0;
  unsigned length_ = 0;
};

}  // namespace

std::vector<ResRef> tableNames(const View& file, std::size_t value) {
  std::vector<ResRef> names;
  TableText text(file);
  ResRef fallback = 0;
  for (std::size_t line = 1; !text.ended(); ++line) {
    // One line: its values counted, the one wanted kept.
    std::size_t values = 0;
    bool inValue = false;
    NameBuilder wanted;
    NameBuilder first;
    while (!text.ended()) {
      const char c = text.next();
      if (c == '\n') break;
      if (separates(c)) {
        inValue = false;
        continue;
      }
      if (!inValue) {
        inValue = true;
        ++values;
      }
      if (values == 1) first.add(c);
      if (values == value + 1) wanted.add(c);
    }
    if (line == 2 && values > 0) fallback = first.name();
    if (line <= 3 || values == 0) continue;
    names.push_back(values > value ? wanted.name() : fallback);
  }
  return names;
}
