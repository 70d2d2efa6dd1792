#include "formats/resource_index.h"

View g_resourceIndexView;
View g_spellArchiveView;

namespace {

// Resource index.
constexpr std::uint64_t kIndexHeaderSize = 0x18;
constexpr std::uint64_t kResourceCount = 0x0C;    // dword, signed
constexpr std::uint64_t kResourceTable = 0x14;    // dword, from the start of the file
constexpr std::uint64_t kResourceEntrySize = 14;  // name, 2 unread bytes, locator
constexpr std::uint64_t kResourceLocator = 0x0A;

// Spell archive.
constexpr std::uint64_t kArchiveHeaderSize = 0x14;
constexpr std::uint64_t kFileCount = 0x08;       // dword, signed
constexpr std::uint64_t kFileTable = 0x10;       // dword, from the start of the file
constexpr std::uint64_t kFileEntrySize = 16;     // locator, data offset, 8 unread bytes
constexpr std::uint64_t kFileDataOffset = 0x04;  // from the start of the archive

// Spell header.
constexpr std::uint64_t kSpellHeaderSize = 0x38;  // up to the end of the level field
constexpr std::uint64_t kNameRef = 0x08;
constexpr std::uint64_t kType = 0x1C;
constexpr std::uint64_t kLevel = 0x34;

// A table of `count` entries of `entrySize` bytes from the offset stored at `tableField`, as
// far as it lies inside the view: the number of entries a scan may read.
std::uint64_t entriesInside(const View& v, std::uint64_t headerSize, std::uint64_t countField,
                            std::uint64_t tableField, std::uint64_t entrySize,
                            std::uint64_t& table) {
  if (!inside(v, 0, headerSize)) return 0;
  const std::int32_t count = loadI32(v, countField);
  table = loadU32(v, tableField);
  if (count <= 0 || table > v.size) return 0;
  const std::uint64_t fit = (v.size - table) / entrySize;
  return fit < static_cast<std::uint64_t>(count) ? fit : static_cast<std::uint64_t>(count);
}

}  // namespace

Locator findLocator(const std::uint8_t* resref) {
  const View& index = g_resourceIndexView;
  std::uint64_t table = 0;
  const std::uint64_t entries = entriesInside(index, kIndexHeaderSize, kResourceCount,
                                              kResourceTable, kResourceEntrySize, table);
  // The bounded comparison of two names is equal exactly when the bytes up to and including
  // the wanted name's first NUL (or all 8) are equal, so one masked 8-byte compare does it.
  const View wanted{const_cast<std::uint8_t*>(resref), 8};
  std::uint64_t mask = ~std::uint64_t{0};
  for (int i = 0; i < 7; ++i) {  // a NUL in the last byte compares like any other byte
    if (resref[i] == 0) {
      mask = (std::uint64_t{1} << (8 * (i + 1))) - 1;
      break;
    }
  }
  const std::uint64_t key = loadU64(wanted, 0) & mask;
  for (std::uint64_t i = 0; i < entries; ++i) {
    const std::uint64_t entry = table + i * kResourceEntrySize;
    if ((loadU64(index, entry) & mask) == key) return loadU32(index, entry + kResourceLocator);
  }
  return kNoLocator;
}

SpellHeader findSpellHeader(Locator locator) {
  const View& archive = g_spellArchiveView;
  std::uint64_t table = 0;
  const std::uint64_t entries =
      entriesInside(archive, kArchiveHeaderSize, kFileCount, kFileTable, kFileEntrySize, table);
  for (std::uint64_t i = 0; i < entries; ++i) {
    const std::uint64_t entry = table + i * kFileEntrySize;
    if (loadU32(archive, entry) == locator) return {loadU32(archive, entry + kFileDataOffset)};
  }
  return {};
}

bool SpellHeader::isValid() const {
  return inside(g_spellArchiveView, offset, kSpellHeaderSize) &&
         hasSignature(g_spellArchiveView, offset, "SPL ", 4);
}

std::uint16_t SpellHeader::type() const {
  return loadU16(g_spellArchiveView, offset + kType);
}

std::int32_t SpellHeader::level() const {
  return loadI32(g_spellArchiveView, offset + kLevel);
}

StrRef SpellHeader::nameRef() const {
  return loadU32(g_spellArchiveView, offset + kNameRef);
}
