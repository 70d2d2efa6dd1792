// Removing one known spell from a creature record, in place in the writable saved game view.
#ifndef GRIMTRIM_SPELLBOOK_WHACK_H_
#define GRIMTRIM_SPELLBOOK_WHACK_H_

#include <cstdint>

#include "formats/resource_index.h"

// Removes known spell `j` (0-based) of the creature record at `creature`, whose known spells
// lie inside the save, and deals with the 12 bytes this frees by the chosen free-space method.
// `header` is the spell's header, for its name. Prints what it does; every check that fails
// leaves the record as method 0 leaves it. The size of the record never changes.
void whackSpell(std::uint64_t creature, std::int32_t j, SpellHeader header);

#endif  // GRIMTRIM_SPELLBOOK_WHACK_H_
