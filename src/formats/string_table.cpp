#include "formats/string_table.h"

namespace {

constexpr std::uint64_t kCountOffset = 0x0A;  // dword: number of strings
constexpr std::uint64_t kHeaderSize = 0x12;   // the entry table follows the header
constexpr std::uint64_t kEntrySize = 26;
constexpr std::uint64_t kTextOffsetField = 0x12;  // in an entry: from the start of the text area
constexpr std::uint64_t kTextLengthField = 0x16;  // in an entry: bytes

constexpr char kFallback[] = "strref error";
constexpr int kFallbackLength = sizeof kFallback - 1;

}  // namespace

Text stringText(const View& table, StrRef ref) {
  const Text fallback{kFallback, kFallbackLength};
  if (!inside(table, 0, kHeaderSize)) return fallback;
  const std::uint64_t count = loadU32(table, kCountOffset);
  if (ref >= count) return fallback;
  const std::uint64_t entry = kHeaderSize + ref * kEntrySize;
  if (!inside(table, entry, kEntrySize)) return fallback;
  // The text area follows the whole entry table, whatever the rest of the header says.
  const std::uint64_t start =
      kHeaderSize + count * kEntrySize + loadU32(table, entry + kTextOffsetField);
  const std::uint32_t length = loadU32(table, entry + kTextLengthField);
  // A length past INT32_MAX would not fit the precision of "%.*s".
  if (length > INT32_MAX || !inside(table, start, length)) return fallback;
  return {textAt(table, start), static_cast<int>(length)};
}

int stringLength(const View& table, StrRef ref) {
  return stringText(table, ref).length;
}
