// The resource index ("KEY "): the resource names it maps to locators, and the archive table that
// names the archives a locator's number stands for.
#ifndef GRIMTRIM_FORMATS_RESOURCE_INDEX_H_
#define GRIMTRIM_FORMATS_RESOURCE_INDEX_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/bytes.h"
#include "formats/entry_table.h"

// Where the resource index says a resource lives; compared only as a whole.
using Locator = std::uint32_t;

// The locator a lookup gives for a name the index does not hold. An entry that holds this very
// locator cannot be told from a missing one.
inline constexpr Locator kNoLocator = 0xFFFFFFFF;

// An 8-byte resource name field read as one little-endian number. The name ends at its first
// NUL byte or after 8 bytes; case counts.
using ResRef = std::uint64_t;

// The resource name `name` (at most its first 8 bytes) as a resource name field holds it.
[[nodiscard]] constexpr ResRef resRefOf(std::string_view name) {
  ResRef ref = 0;
  for (std::size_t i = 0; i < name.size() && i < 8; ++i)
    ref |= ResRef{static_cast<std::uint8_t>(name[i])} << (8 * i);
  return ref;
}

// The bytes of `name` that take part in a comparison: those up to and including its first NUL
// among the first seven, or all eight. Two names are equal exactly when they agree under the
// wanted name's mask, whatever follows the NUL; then both have the same mask, so the masked
// names themselves are equal, and a masked name says where its NUL is.
[[nodiscard]] inline std::uint64_t nameMask(ResRef name) {
  // The lowest zero byte among the first seven, found for all of them at once: the lowest bit
  // this leaves set is the top bit of the first zero byte exactly (only bytes above it can be
  // marked wrongly). A NUL in the last byte compares like any other byte. The mask is every
  // bit up to that one, or all 64 when there is none; no branch, as names of every length mix
  // in a table.
  const std::uint64_t zeroBytes = (name - 0x0101010101010101u) & ~name & 0x0080808080808080u;
  const std::uint64_t lowest = zeroBytes & (0 - zeroBytes);
  return (lowest << 1) - 1;
}

// `name` with its ASCII capitals made small, byte by byte and all at once; other bytes stay as
// they are. The NUL that ends a name is kept, so a folded name masks as the name does.
[[nodiscard]] inline std::uint64_t foldCase(ResRef name) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const std::uint64_t low = name & ~kHighBits;  // each byte below 0x80: no carry between bytes
  const std::uint64_t fromA = low + kOnes * (0x80 - 'A');      // high bit: byte >= 'A'
  const std::uint64_t pastZ = low + kOnes * (0x80 - 'Z' - 1);  // high bit: byte > 'Z'
  const std::uint64_t capitals = fromA & ~pastZ & ~name & kHighBits;
  return name | capitals >> 2;  // 0x80 >> 2 is the 0x20 between a capital and its small letter
}

inline constexpr std::uint64_t kResourceEntrySize = 14;  // name, type, locator

// The resource type of the spells; one name can stand in the index with several types.
inline constexpr std::uint16_t kSpellResourceType = 0x3EE;

// The parts of a locator: the archive's number in the index's archive table, and the file's
// index inside that archive.
[[nodiscard]] constexpr std::uint32_t archiveNumberOf(Locator locator) {
  return locator >> 20;
}
[[nodiscard]] constexpr std::uint32_t filePartOf(Locator locator) {
  return locator & 0x3FFF;
}

// The resource entries of `index` that a scan may read, and the fields of entry `i` of them.
// Inline: a scan reads them for every one of a table's hundreds of thousands of entries.
[[nodiscard]] EntryTable resourceEntries(const View& index);
[[nodiscard]] inline ResRef resourceName(const View& index, const EntryTable& table,
                                         std::uint64_t i) {
  return loadU64(index, table.offset + i * kResourceEntrySize);
}
[[nodiscard]] inline Locator resourceLocator(const View& index, const EntryTable& table,
                                             std::uint64_t i) {
  return loadU32(index, table.offset + i * kResourceEntrySize + 0x0A);
}

[[nodiscard]] inline std::uint16_t resourceType(const View& index, const EntryTable& table,
                                                std::uint64_t i) {
  return loadU16(index, table.offset + i * kResourceEntrySize + 0x08);
}

// How many archives the index's archive table names; 0 when the table does not lie whole inside
// the index.
[[nodiscard]] std::uint64_t archiveCount(const View& index);

// The path the index's archive table gives archive `number` (relative to the game's folder,
// either separator): its bytes up to the first NUL within its stored length, inside the index.
// Empty when the table or that entry does not lie whole inside the index, or the number is not
// below its count.
[[nodiscard]] std::string_view archivePath(const View& index, std::uint32_t number);

// The path of the ".cbf" file that stands for the archive at `path`: the same folder and base
// name, the extension replaced (or added, where the name has none).
inline constexpr std::string_view kCompressedArchiveEnding = ".cbf";

[[nodiscard]] std::string compressedArchivePath(std::string_view path);

// True for a file name or path that ends in ".cbf", any case: a file that stands for the archive
// the index names with its extension replaced.
[[nodiscard]] bool isCompressedArchiveName(std::string_view name);

// The number of the first archive of the index's archive table whose file name (the text after
// its path's last '/' or '\') equals `fileName`'s, regardless of ASCII case, or, for a ".cbf"
// file name, whose ".cbf" file (compressedArchivePath()) has that name; nothing when none does or
// the table does not lie whole inside the index.
[[nodiscard]] std::optional<std::uint32_t> archiveNumberNamed(const View& index,
                                                              std::string_view fileName);

// Locator of the first resource entry whose name equals `name`, or kNoLocator: one scan of the
// index for one name.
[[nodiscard]] Locator findLocator(const View& index, ResRef name);

// The locator of the first entry of type `type` whose name equals `name` regardless of ASCII
// case, as the game looks a resource up; kNoLocator when none does.
[[nodiscard]] Locator findLocatorOfType(const View& index, ResRef name, std::uint16_t type);

#endif  // GRIMTRIM_FORMATS_RESOURCE_INDEX_H_
