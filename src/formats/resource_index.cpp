#include "formats/resource_index.h"

namespace {

// Resource index.
constexpr std::uint64_t kIndexHeaderSize = 0x18;
constexpr std::uint64_t kResourceCount = 0x0C;  // dword, signed
constexpr std::uint64_t kResourceTable = 0x14;  // dword, from the start of the file

// Spell archive.
constexpr std::uint64_t kArchiveHeaderSize = 0x14;
constexpr std::uint64_t kFileCount = 0x08;  // dword, signed
constexpr std::uint64_t kFileTable = 0x10;  // dword, from the start of the file

// Spell header.
constexpr std::uint64_t kSpellHeaderSize = 0x38;  // up to the end of the level field
constexpr std::uint64_t kNameRef = 0x08;
constexpr std::uint64_t kType = 0x1C;
constexpr std::uint64_t kLevel = 0x34;

// A table of `count` entries of `entrySize` bytes from the offset stored at `tableField`, as
// far as it lies inside the view. A header that does not lie inside means no entries.
EntryTable entriesInside(const View& v, std::uint64_t headerSize, std::uint64_t countField,
                         std::uint64_t tableField, std::uint64_t entrySize) {
  if (!inside(v, 0, headerSize)) return {};
  const std::int32_t count = loadI32(v, countField);
  const std::uint64_t table = loadU32(v, tableField);
  if (count <= 0 || table > v.size) return {};
  const std::uint64_t fit = (v.size - table) / entrySize;
  const std::uint64_t wanted = static_cast<std::uint64_t>(count);
  return {table, fit < wanted ? fit : wanted};
}

}  // namespace

EntryTable resourceEntries(const View& index) {
  return entriesInside(index, kIndexHeaderSize, kResourceCount, kResourceTable, kResourceEntrySize);
}

EntryTable fileEntries(const View& archive) {
  return entriesInside(archive, kArchiveHeaderSize, kFileCount, kFileTable, kFileEntrySize);
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

std::optional<std::uint32_t> findSpellHeader(const View& archive, Locator locator) {
  const EntryTable table = fileEntries(archive);
  for (std::uint64_t i = 0; i < table.entries; ++i) {
    if (fileLocator(archive, table, i) == locator) return fileDataOffset(archive, table, i);
  }
  return std::nullopt;
}

std::optional<SpellHeader> SpellHeader::at(const View& archive, std::uint64_t offset) {
  if (!inside(archive, offset, kSpellHeaderSize) || !hasSignature(archive, offset, "SPL ", 4)) {
    return std::nullopt;
  }
  return SpellHeader(archive, offset);
}

std::uint16_t SpellHeader::type() const {
  return loadU16(archive_, offset_ + kType);
}

std::int32_t SpellHeader::level() const {
  return loadI32(archive_, offset_ + kLevel);
}

StrRef SpellHeader::nameRef() const {
  return loadU32(archive_, offset_ + kNameRef);
}
