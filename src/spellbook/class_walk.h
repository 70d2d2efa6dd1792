// The walk over the spell lists of a record that keeps its spells by class ("V2.2"): each entry's
// number named through the game's spell table, the spell resolved as a known spell's name is,
// the spell-book spells kept with the level and class of the list that holds them, and, for a
// whack, the chosen one found.
#ifndef GRIMTRIM_SPELLBOOK_CLASS_WALK_H_
#define GRIMTRIM_SPELLBOOK_CLASS_WALK_H_

#include <cstdint>

#include "formats/creature.h"
#include "spellbook/game.h"
#include "spellbook/spell_walk.h"

// Walks the lists of `creature` (one that keeps its spells by class) in their order, the
// classes' levels 1 to 9 in turn then the domain's, each list's entries in stored order, telling
// `listener` of each spell-book spell kept; `level` and `number` choose as walkSpells() does, by
// the list's level. Every list that holds an entry must lie inside the save first, and the spell
// table be found; then the first number that is no row of the table, name missing from the index
// or data without "SPL " ends the walk there. An entry whose row is marked unused ("**"), a spell
// missing from its archive and one of another type are passed over.
[[nodiscard]] SpellWalk walkClassSpells(const Game& game, const Creature& creature,
                                        std::int32_t level, std::int32_t number,
                                        SpellListener& listener);

#endif  // GRIMTRIM_SPELLBOOK_CLASS_WALK_H_
