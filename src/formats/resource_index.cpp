#include "formats/resource_index.h"

#include "formats/ascii.h"

#include <optional>

namespace {

// Resource index.
constexpr std::uint64_t kIndexHeaderSize = 0x18;
constexpr std::uint64_t kArchiveCount = 0x08;   // dword
constexpr std::uint64_t kArchiveTable = 0x10;   // dword, from the start of the file
constexpr std::uint64_t kResourceCount = 0x0C;  // dword, signed
constexpr std::uint64_t kResourceTable = 0x14;  // dword, from the start of the file

// Archive table entry: size, name offset, name length (NUL included), location flags.
constexpr std::uint64_t kArchiveEntrySize = 12;
constexpr std::uint64_t kArchiveNameOffset = 0x04;  // dword, from the start of the index
constexpr std::uint64_t kArchiveNameLength = 0x08;  // word

// The file name part of a path: the text after its last '/' or '\\'.
std::string_view fileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The archive table, all of it inside the index, or nothing.
std::optional<EntryTable> archiveTable(const View& index) {
  if (!inside(index, 0, kIndexHeaderSize)) return std::nullopt;
  const std::uint64_t count = loadU32(index, kArchiveCount);
  const std::uint64_t table = loadU32(index, kArchiveTable);
  if (!inside(index, table, count * kArchiveEntrySize)) return std::nullopt;
  return EntryTable{table, count};
}

// The stored name of archive `number` of `table`, up to its NUL; empty when it does not lie
// inside the index.
std::string_view archiveNameAt(const View& index, const EntryTable& table, std::uint64_t number) {
  const std::uint64_t entry = table.offset + number * kArchiveEntrySize;
  const std::uint64_t name = loadU32(index, entry + kArchiveNameOffset);
  const std::uint64_t length = loadU16(index, entry + kArchiveNameLength);
  if (!inside(index, name, length)) return {};
  return {textAt(index, name), static_cast<std::size_t>(textLength(index, name, length))};
}

}  // namespace

std::uint64_t archiveCount(const View& index) {
  const std::optional<EntryTable> table = archiveTable(index);
  return table ? table->entries : 0;
}

std::string_view archivePath(const View& index, std::uint32_t number) {
  const std::optional<EntryTable> table = archiveTable(index);
  if (!table || number >= table->entries) return {};
  return archiveNameAt(index, *table, number);
}

std::string compressedArchivePath(std::string_view path) {
  const std::size_t name = path.find_last_of("/\\") + 1;  // 0 without a folder
  const std::size_t dot = path.rfind('.');
  const std::size_t base = dot != std::string_view::npos && dot >= name ? dot : path.size();
  return std::string(path.substr(0, base)).append(kCompressedArchiveEnding);
}

bool isCompressedArchiveName(std::string_view name) {
  return endsWithIgnoringCase(name, kCompressedArchiveEnding);
}

std::optional<std::uint32_t> archiveNumberNamed(const View& index, std::string_view fileName) {
  const std::optional<EntryTable> table = archiveTable(index);
  if (!table) return std::nullopt;
  const std::string_view wanted = fileNameOf(fileName);
  const bool compressed = isCompressedArchiveName(wanted);
  for (std::uint64_t n = 0; n < table->entries; ++n) {
    const std::string_view name = fileNameOf(archiveNameAt(index, *table, n));
    if (equalIgnoringCase(name, wanted) ||
        (compressed && equalIgnoringCase(compressedArchivePath(name), wanted))) {
      return static_cast<std::uint32_t>(n);
    }
  }
  return std::nullopt;
}

EntryTable resourceEntries(const View& index) {
  return entriesInside(index, index.size, kIndexHeaderSize, kResourceCount, kResourceTable,
                       kResourceEntrySize);
}

Locator findLocator(const View& index, ResRef name) {
  const EntryTable table = resourceEntries(index);
  const std::uint64_t mask = nameMask(name);
  const std::uint64_t key = name & mask;
  for (std::uint64_t i = 0; i < table.entries; ++i) {
    if ((resourceName(index, table, i) & mask) == key) return resourceLocator(index, table, i);
  }
  return kNoLocator;
}

Locator findLocatorOfType(const View& index, ResRef name, std::uint16_t type) {
  const EntryTable table = resourceEntries(index);
  const std::uint64_t mask = nameMask(name);
  const std::uint64_t key = foldCase(name) & mask;
  for (std::uint64_t i = 0; i < table.entries; ++i) {
    if (resourceType(index, table, i) == type &&
        (foldCase(resourceName(index, table, i)) & mask) == key) {
      return resourceLocator(index, table, i);
    }
  }
  return kNoLocator;
}
