// A spell's header ("SPL "), as it stands at the start of a spell's data in an archive or of a
// loose spell file: the type, level and display name a listing needs.
#ifndef GRIMTRIM_FORMATS_SPELL_HEADER_H_
#define GRIMTRIM_FORMATS_SPELL_HEADER_H_

#include <cstdint>
#include <optional>

#include "formats/bytes.h"
#include "formats/string_table.h"

// The size of a spell header as far as the program reads it, up to the end of the level field.
inline constexpr std::uint64_t kSpellHeaderSize = 0x38;

// A spell header whose fields up to the level lie inside its view and which begins with "SPL ".
// Only type 1, the spell-book spells, is listed.
class SpellHeader {
 public:
  // The header at `offset`, or nothing when it does not lie inside `bytes` or does not begin
  // with "SPL ".
  [[nodiscard]] static std::optional<SpellHeader> at(const View& bytes, std::uint64_t offset);

  [[nodiscard]] std::uint16_t type() const;
  [[nodiscard]] std::int32_t level() const;
  [[nodiscard]] StrRef nameRef() const;

 private:
  SpellHeader(const View& bytes, std::uint64_t offset) : bytes_(bytes), offset_(offset) {}
  View bytes_;
  std::uint64_t offset_;
};

#endif  // GRIMTRIM_FORMATS_SPELL_HEADER_H_
