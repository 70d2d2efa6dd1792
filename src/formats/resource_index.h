// The resource index ("KEY "), the spell archive ("BIFF") and the spell headers ("SPL ") it
// holds: how a known spell's name leads to the spell's type, level and display name.
#ifndef GRIMTRIM_FORMATS_RESOURCE_INDEX_H_
#define GRIMTRIM_FORMATS_RESOURCE_INDEX_H_

#include <cstdint>

#include "formats/bytes.h"
#include "formats/string_table.h"

// Where the resource index says a resource lives; compared only as a whole.
using Locator = std::uint32_t;

// The locator findLocator() gives for a name the index does not hold. An entry that holds
// this very locator cannot be told from a missing one.
inline constexpr Locator kNoLocator = 0xFFFFFFFF;

// The mapped resource index and spell archive; set by the driver once their signatures have
// been checked.
extern View g_resourceIndexView;
extern View g_spellArchiveView;

// Locator of the first resource entry whose name equals the 8-byte name at `resref` (a name
// ends at its first NUL byte or after 8 bytes; case counts), or kNoLocator. Entries are read
// only while they lie whole inside the file; a header that does not means no entries.
[[nodiscard]] Locator findLocator(const std::uint8_t* resref);

// A spell header in the spell archive view, named by its offset there; its fields are read in
// place. Only type 1, the spell-book spells, is listed.
struct SpellHeader {
  std::uint64_t offset = kNowhere;

  // True when the whole header lies inside the archive and begins with "SPL "; the fields
  // below are read only from a header that does.
  [[nodiscard]] bool isValid() const;
  [[nodiscard]] std::uint16_t type() const;
  [[nodiscard]] std::int32_t level() const;
  [[nodiscard]] StrRef nameRef() const;
};

// The spell header at the data offset of the first file entry whose locator equals `locator`
// in all 32 bits, or one at kNowhere when no entry inside the file has it. The offset is taken
// as stored: isValid() says whether a spell header stands there.
[[nodiscard]] SpellHeader findSpellHeader(Locator locator);

#endif  // GRIMTRIM_FORMATS_RESOURCE_INDEX_H_
