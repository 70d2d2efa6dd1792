// Removing one entry from a class list of a record that keeps its spells by class ("V2.2").
//
// The game reads every list from its own offset and requires a record's sections to fill its
// size exactly, so an entry cannot be taken out in place. Method 0 moves the later entries down
// over it and leaves the last one standing twice, its copy holding no amounts (the game merges
// two entries of one number by adding their amounts, so the spell's stay as they were). Every
// other method writes the save anew 16 bytes shorter, as the game writes a member who never knew
// the spell: the entry taken out, the record's and the save's offsets past it lowered.
#ifndef GRIMTRIM_SPELLBOOK_CLASS_WHACK_H_
#define GRIMTRIM_SPELLBOOK_CLASS_WHACK_H_

#include <cstdint>
#include <vector>

#include "formats/creature.h"
#include "formats/save_game.h"
#include "spellbook/whack.h"

struct ClassWhack {
  WhackPlan plan;  // its end: LeftZeroedCopy, SaveShortened or SectionsOutsideSave
  // With SaveShortened: the whole save as it is to be written instead; the save's view is left
  // as it was.
  std::vector<std::uint8_t> shorterSave;
};

// Whacks entry `place` of list `list` of `creature`, the record `member` points to, under
// free-space method `method`. The list lies inside the save (the walk checked it), and `place`
// is below its count. Method 0, and a record whose lists and size do not fit the save, are
// edited in place through the save's writable view; otherwise nothing is stored into it.
[[nodiscard]] ClassWhack whackClassSpell(const PartyMember& member, const Creature& creature,
                                         std::int32_t list, std::uint32_t place,
                                         std::int32_t method);

#endif  // GRIMTRIM_SPELLBOOK_CLASS_WHACK_H_
