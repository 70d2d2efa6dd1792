// The party as the spell book sees it: the members in table order, each with the number the
// game lists it under, its name and whether it knows any spell.
#ifndef GRIMTRIM_SPELLBOOK_PARTY_H_
#define GRIMTRIM_SPELLBOOK_PARTY_H_

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "formats/creature.h"
#include "formats/resource_index.h"
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
  bool knowsSpells = false;  // a known spell, or a spell list by class, that is not empty
};

struct MemberLookup {
  MemberTrouble trouble = MemberTrouble::None;
  MemberLine line;                    // filled when there is no trouble
  std::optional<PartyMember> record;  // likewise
  std::optional<Creature> creature;   // likewise
};

// Party record `index` (not checked against the party count) and its creature.
[[nodiscard]] MemberLookup lookUpMember(const Game& game, std::int32_t index);

// Told of each member the walk over the party reads, with its creature record, in table order,
// so that a listing needs no memory for members already listed.
class MemberListener {
 public:
  virtual ~MemberListener() = default;
  virtual void member(const MemberLine& line, const Creature& creature) = 0;
};

// A listener that calls `onMember`, for callers that only collect or count.
template <typename OnMember>
class MemberCalls final : public MemberListener {
 public:
  explicit MemberCalls(OnMember onMember) : onMember_(std::move(onMember)) {}
  void member(const MemberLine& line, const Creature& creature) override {
    onMember_(line, creature);
  }

 private:
  OnMember onMember_;
};

// How the walk over the party ended: with every member read, or at the first member that could
// not be read.
struct PartyWalk {
  MemberTrouble end = MemberTrouble::None;
  std::int32_t stoppedAt = 0;  // with end other than None: the member that could not be read
};

// Reads every member from index 0 while below the party count (a count of 0 or less gives
// none), telling `listener` of each, up to the first that cannot be read.
[[nodiscard]] PartyWalk walkParty(const Game& game, MemberListener& listener);

// The names of one member's known spells, in stored order.
struct MemberSpellNames {
  std::int32_t index = 0;  // the party record's index
  std::vector<ResRef> names;
};

// The known spells' names of every member the walk over the party reads, up to `most` names in
// all, so that a damaged save cannot make the list long. A member whose known spells do not lie
// inside the save has none; one that keeps its spells by class has the names the spell table of
// `game.spells` gives its entries, none without a source or a table.
[[nodiscard]] std::vector<MemberSpellNames> partySpellNames(const Game& game, std::size_t most);

#endif  // GRIMTRIM_SPELLBOOK_PARTY_H_
