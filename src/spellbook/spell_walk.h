// The walk over a member's known spells in stored order: each one resolved through the
// resource index and the spell archive, the spell-book spells kept, and, for a whack, the
// chosen one found.
#ifndef GRIMTRIM_SPELLBOOK_SPELL_WALK_H_
#define GRIMTRIM_SPELLBOOK_SPELL_WALK_H_

#include <cstdint>
#include <utility>

#include "formats/class_lists.h"
#include "formats/creature.h"
#include "formats/resource_index.h"
#include "formats/string_table.h"
#include "spellbook/game.h"

// How a walk ended.
enum class WalkEnd {
  Completed,         // every known spell was walked
  Chosen,            // the spell of the chosen number was reached: the last kept spell
  NameNotInIndex,    // a known spell's name is not in the resource index (`missingName`)
  NotASpell,         // a known spell's data does not begin with a spell header
  KnownOutsideSave,  // the known spells section (or a class list) does not lie inside the save
  SourceFailed,      // the spells' source cannot be used (`failure`)
  NoSpellTable,      // a record that keeps spells by number, and no spell table to name them
  NumberNotInTable,  // a spell number (`spellNumber`) is not a row of the spell table
};

// A spell-book spell (type 1) met on the walk.
struct KeptSpell {
  std::int32_t knownIndex = 0;  // its 0-based position in the known spells, or in its class list
  std::int32_t level = 0;       // as stored in its header, or its class list's level
  std::int32_t number = 0;      // 1, 2, ... among the kept spells of its level
  Text name;                    // its display name, from the string table
  SpellClass spellClass = SpellClass::None;  // whose list holds it, for a record kept by class
  std::int32_t list = -1;  // that list, 0 to kClassListCount - 1 (class_lists.h); -1: none
};

// Told of each kept spell as the walk meets it, in stored order, so that a listing needs no
// memory for spells already listed however many a damaged save claims.
class SpellListener {
 public:
  virtual ~SpellListener() = default;
  virtual void kept(const KeptSpell& spell) = 0;
};

// A listener that calls `onKept`, for callers that only collect or count.
template <typename OnKept>
class KeptSpellCalls final : public SpellListener {
 public:
  explicit KeptSpellCalls(OnKept onKept) : onKept_(std::move(onKept)) {}
  void kept(const KeptSpell& spell) override { onKept_(spell); }

 private:
  OnKept onKept_;
};

struct SpellWalk {
  WalkEnd end = WalkEnd::Completed;
  KeptSpell chosen;        // with Chosen: the spell to whack, the last one kept
  ResRef missingName = 0;  // with NameNotInIndex: the 8 name bytes, little-endian
  InflateTrouble failure = InflateTrouble::None;  // with SourceFailed
  std::uint32_t spellNumber = 0;                  // with NumberNotInTable
};

// Walks the known spells of `creature`, telling `listener` of each spell-book spell kept. With
// `level` kNotGiven every spell-book spell is kept; otherwise only those of that level. Each is
// numbered from 1 among the kept spells of its level, and with a level and `number` given the
// walk ends at that number, so nothing after the chosen spell matters. A spell missing from the
// archive is passed over; the first name missing from the index or data without "SPL " ends the
// walk.
[[nodiscard]] SpellWalk walkSpells(const Game& game, const Creature& creature, std::int32_t level,
                                   std::int32_t number, SpellListener& listener);

#endif  // GRIMTRIM_SPELLBOOK_SPELL_WALK_H_
