// Where a walk finds its known spells, and the game's spell table that names the spells a record
// keeps by number: the configured spell archive, or a game's folder searched as the game searches
// it. A run holds one source and the walks ask it alone.
#ifndef GRIMTRIM_SPELLBOOK_SPELL_SOURCE_H_
#define GRIMTRIM_SPELLBOOK_SPELL_SOURCE_H_

#include <optional>
#include <span>
#include <vector>

#include "formats/bytes.h"
#include "formats/resource_index.h"
#include "formats/spell_archive.h"

// What became of one known spell's name.
struct FoundSpell {
  bool inIndex = false;    // false: the name is nowhere to be found, and the walk stops
  bool inArchive = false;  // false: the index knows it but its data cannot be had; passed over
  View data;               // with inArchive: its data, from the spell header's first byte on
};

// The name of the spell table: row n names the spell that number n stands for.
inline constexpr ResRef kSpellTableName = resRefOf("LISTSPLL");

// True for the name of a row the game no longer uses, one beginning with "**": it drops the
// entries that number it.
[[nodiscard]] constexpr bool isUnusedRow(ResRef name) {
  return (name & 0xFFFF) == 0x2A2A;
}

class SpellSource {
 public:
  virtual ~SpellSource() = default;
  // What became of each of `names`, in the same order.
  [[nodiscard]] virtual std::vector<FoundSpell> find(std::span<const ResRef> names) = 0;
  // Why the source cannot be used at all, once a find() has met it: the walk then stops, since
  // what it found may be wrong. None while it can be used.
  [[nodiscard]] virtual InflateTrouble failure() const { return InflateTrouble::None; }

  // The spell names of the rows of the spell table (LISTSPLL.2DA), read once however often they
  // are asked for; nothing when the source holds no such table.
  [[nodiscard]] const std::vector<ResRef>* spellRows();

 protected:
  // The bytes of the text table named `name` (any case), found where a spell would be; nothing
  // when it is nowhere, or its data does not lie inside its archive.
  [[nodiscard]] virtual std::optional<View> textTable(ResRef name) = 0;

 private:
  bool rowsRead_ = false;
  std::optional<std::vector<ResRef>> rows_;
};

#endif  // GRIMTRIM_SPELLBOOK_SPELL_SOURCE_H_
