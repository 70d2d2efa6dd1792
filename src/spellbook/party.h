// The party as the spell book sees it: the members in table order, each with the number the
// game lists it under, its name and whether it knows any spell.
#ifndef GRIMTRIM_SPELLBOOK_PARTY_H_
#define GRIMTRIM_SPELLBOOK_PARTY_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "formats/save_game.h"
#include "formats/string_table.h"
#include "spellbook/game.h"

// Why a member could not be read.
enum class MemberTrouble {
  None,
  OutsideSave,  // the party record does not lie whole inside the save
  NoCreature,   // the creature record does not lie inside the save or lacks "CRE"
};

// One member's line.
struct MemberLine {
  std::int32_t index = 0;           // the party record's index, the value -p takes
  std::uint16_t listingNumber = 0;  // printed in front of the name
  Text name;  // from the party record, or through the string table when that is empty
  bool knowsSpells = false;  // a known spells count other than 0
};

struct MemberLookup {
  MemberTrouble trouble = MemberTrouble::None;
  MemberLine line;                   // filled when there is no trouble
  std::optional<Creature> creature;  // likewise
};

// Party record `index` (not checked against the party count) and its creature.
[[nodiscard]] MemberLookup lookUpMember(const Game& game, std::int32_t index);

// The walk over the whole party: the members read, in table order, up to the first that could
// not be read, whose index and trouble end the walk.
struct PartyListing {
  std::vector<MemberLine> members;
  MemberTrouble end = MemberTrouble::None;
  std::int32_t stoppedAt = 0;  // with end other than None: the member that could not be read
};

// Every member from index 0 while below the party count (a count of 0 or less gives none).
[[nodiscard]] PartyListing listParty(const Game& game);

#endif  // GRIMTRIM_SPELLBOOK_PARTY_H_
