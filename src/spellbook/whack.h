// Removing one known spell from a creature record, in place in the writable saved game view,
// without changing the size of the record.
#ifndef GRIMTRIM_SPELLBOOK_WHACK_H_
#define GRIMTRIM_SPELLBOOK_WHACK_H_

#include <cstdint>

#include "formats/creature.h"

// What a whack did after moving the later known spells down over the whacked one.
enum class WhackEnd {
  LeftDuplicate,  // method 0: the last known spell stands twice, the count is unchanged
  Shrunk,         // the count was lowered, the sections moved and the first memorized spell doubled
  // Method 1 found the record unfit and stored nothing more, leaving it as method 0 does:
  KnownNotBeforeMemorization,      // known spells do not end where memorization begins
  MemorizationNotBeforeMemorized,  // memorization does not end where memorized spells begin
  SectionsOutsideSave,             // the sections do not lie inside the save
  NoMemorizedSpell,                // there is no memorized spell to double
  NoLevelOneEntry,                 // no spell-level-1 entry can account for the copy
  // A record that keeps its spells by class (class_whack.h):
  LeftZeroedCopy,  // method 0: the last entry of the list stands twice, its copy without amounts
  SaveShortened,   // the save is to be written anew without the entry, 16 bytes shorter
};

// The whack worked out from the creature's fields, read once before any store.
struct WhackPlan {
  std::int32_t method = 1;     // as given
  bool unknownMethod = false;  // neither 0 nor 1: warned about, then acts as 1
  WhackEnd end = WhackEnd::LeftDuplicate;
  std::int32_t whacked = 0;       // 0-based position in the known spells
  std::uint32_t knownOffset = 0;  // the section fields as they stood
  std::int32_t knownCount = 0;
  std::uint32_t memorizationOffset = 0;
  std::int32_t memorizationCount = 0;
  std::uint32_t memorizedOffset = 0;
  std::uint32_t memorizedCount = 0;
  std::int32_t levelOneEntry = -1;  // with Shrunk: the entry that counts the copy
};

// Plans the whack of known spell `j` (0-based, below the count of known spells that lie inside
// the save) under free-space method `method`.
[[nodiscard]] WhackPlan planWhack(const Creature& creature, std::int32_t j, std::int32_t method);

// Carries out `plan` on `creature` through the save's writable view; stores only what the plan
// says, so a record is either edited completely or left as method 0 leaves it.
void applyWhack(const Creature& creature, const WhackPlan& plan);

// Plans, then carries out, the whack of known spell `j`: what the plan says happened.
WhackPlan whackSpell(const Creature& creature, std::int32_t j, std::int32_t method);

#endif  // GRIMTRIM_SPELLBOOK_WHACK_H_
