// The resource index ("KEY "), the spell archive ("BIFF") and the spell headers ("SPL ") it
// holds: how a known spell's name leads to the spell's type, level and display name.
#ifndef GRIMTRIM_FORMATS_RESOURCE_INDEX_H_
#define GRIMTRIM_FORMATS_RESOURCE_INDEX_H_

#include <cstdint>
#include <optional>

#include "formats/bytes.h"
#include "formats/string_table.h"

// Where the resource index says a resource lives; compared only as a whole.
using Locator = std::uint32_t;

// The locator a lookup gives for a name the index does not hold. An entry that holds this very
// locator cannot be told from a missing one.
inline constexpr Locator kNoLocator = 0xFFFFFFFF;

// An 8-byte resource name field read as one little-endian number. The name ends at its first
// NUL byte or after 8 bytes; case counts.
using ResRef = std::uint64_t;

// The bytes of `name` that take part in a comparison: those up to and including its first NUL
// among the first seven, or all eight. Two names are equal exactly when they agree under the
// wanted name's mask, whatever follows the NUL.
[[nodiscard]] std::uint64_t nameMask(ResRef name);

// A table of fixed-size entries inside a file: where it starts and how many of its entries
// lie whole inside the file (fewer than announced when the file is cut short).
struct EntryTable {
  std::uint64_t offset = 0;
  std::uint64_t entries = 0;
};

// The resource entries of `index` (14 bytes each) that a scan may read.
[[nodiscard]] EntryTable resourceEntries(const View& index);
[[nodiscard]] ResRef resourceName(const View& index, const EntryTable& table, std::uint64_t i);
[[nodiscard]] Locator resourceLocator(const View& index, const EntryTable& table, std::uint64_t i);

// The file entries of `archive` (16 bytes each) that a scan may read.
[[nodiscard]] EntryTable fileEntries(const View& archive);
[[nodiscard]] Locator fileLocator(const View& archive, const EntryTable& table, std::uint64_t i);
[[nodiscard]] std::uint32_t fileDataOffset(const View& archive, const EntryTable& table,
                                           std::uint64_t i);

// Locator of the first resource entry whose name equals `name`, or kNoLocator: one scan of the
// index for one name.
[[nodiscard]] Locator findLocator(const View& index, ResRef name);

// Data offset of the first file entry whose locator equals `locator` in all 32 bits, or nothing
// when no entry inside the file has it. The offset is taken as stored: SpellHeader::at() says
// whether a spell header stands there.
[[nodiscard]] std::optional<std::uint32_t> findSpellHeader(const View& archive, Locator locator);

// A spell header in the spell archive, whose fields up to the level lie inside the archive and
// which begins with "SPL ". Only type 1, the spell-book spells, is listed.
class SpellHeader {
 public:
  // The header at `offset`, or nothing when it does not lie inside the archive or does not
  // begin with "SPL ".
  [[nodiscard]] static std::optional<SpellHeader> at(const View& archive, std::uint64_t offset);

  [[nodiscard]] std::uint16_t type() const;
  [[nodiscard]] std::int32_t level() const;
  [[nodiscard]] StrRef nameRef() const;

 private:
  SpellHeader(const View& archive, std::uint64_t offset) : archive_(archive), offset_(offset) {}
  View archive_;
  std::uint64_t offset_;
};

#endif  // GRIMTRIM_FORMATS_RESOURCE_INDEX_H_
