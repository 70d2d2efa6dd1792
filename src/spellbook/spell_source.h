// Where a walk finds its known spells: the configured spell archive, or a game's folder searched
// as the game searches it. A run holds one source and the walk asks it alone.
#ifndef GRIMTRIM_SPELLBOOK_SPELL_SOURCE_H_
#define GRIMTRIM_SPELLBOOK_SPELL_SOURCE_H_

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

class SpellSource {
 public:
  virtual ~SpellSource() = default;
  // What became of each of `names`, in the same order.
  [[nodiscard]] virtual std::vector<FoundSpell> find(std::span<const ResRef> names) = 0;
  // Why the source cannot be used at all, once a find() has met it: the walk then stops, since
  // what it found may be wrong. None while it can be used.
  [[nodiscard]] virtual InflateTrouble failure() const { return InflateTrouble::None; }
};

#endif  // GRIMTRIM_SPELLBOOK_SPELL_SOURCE_H_
