// One request over a game, decided in one place: the party's names, a member's levels, a
// level's spells, or the whack of one of them. The run tells a listener what it meets and ends
// with a value that says how it ended; it never prints. The driver (driver.h) runs it for every
// front end.
#ifndef GRIMTRIM_SPELLBOOK_RUN_H_
#define GRIMTRIM_SPELLBOOK_RUN_H_

#include <cstdint>
#include <vector>

#include "formats/resource_index.h"
#include "spellbook/game.h"
#include "spellbook/party.h"
#include "spellbook/settings.h"
#include "spellbook/spell_walk.h"
#include "spellbook/whack.h"

// How a run ended.
enum class RunEnd : std::uint32_t {
  Completed = 0,          // every member, or every known spell of the chosen one, was walked
  Whacked = 1,            // the chosen spell was whacked (`whacked`, `whack`)
  MemberOutsideSave = 2,  // party record `member` does not lie whole inside the save
  NoCreature = 3,         // the creature record of `member` lies outside or lacks "CRE"
  KnownOutsideSave = 4,   // the known spells of `member` do not lie inside the save
  NameNotInIndex = 5,     // a known spell's name (`missingName`) is not in the resource index
  NotASpell = 6,          // a known spell's data does not begin with a spell header
  // 7 names no end: a number once given away is not given again.
  ArchiveUnusable = 8,    // the configured spell archive turned out not to inflate (`inflate`)
  NoSpellTable = 9,       // spells kept by number, and no spell table names them
  NumberNotInTable = 10,  // a spell number (`spellNumber`) is not a row of the spell table
};

struct RunOutcome {
  RunEnd end = RunEnd::Completed;
  // The member the run stopped at or whacked from; 0 when a walk over the party completed.
  std::int32_t member = 0;
  ResRef missingName = 0;  // with NameNotInIndex: the 8 name bytes, little-endian
  InflateTrouble inflate = InflateTrouble::None;  // with ArchiveUnusable
  std::uint32_t spellNumber = 0;                  // with NumberNotInTable
  KeptSpell whacked;                              // with Whacked: the spell removed
  WhackPlan whack;                                // with Whacked: what the whack did
  // With Whacked and WhackEnd::SaveShortened: the save to be written in place of the old one.
  std::vector<std::uint8_t> shorterSave;
};

// Told of what a run meets, in the order it meets it.
class RunListener {
 public:
  virtual ~RunListener() = default;
  // Each member read: every member in table order without a chosen member, else the chosen one.
  virtual void member(const MemberLine& line) = 0;
  // Each spell-book spell of the chosen member that the settings keep, in stored order.
  virtual void kept(const KeptSpell& spell) = 0;
};

// Tells two listeners of each event, the first one first: one run then gives a front end its
// printed text and its values together.
class BothListeners final : public RunListener {
 public:
  BothListeners(RunListener& first, RunListener& second) : first_(first), second_(second) {}
  void member(const MemberLine& line) override {
    first_.member(line);
    second_.member(line);
  }
  void kept(const KeptSpell& spell) override {
    first_.kept(spell);
    second_.kept(spell);
  }

 private:
  RunListener& first_;
  RunListener& second_;
};

// Runs `settings` over `game`: without a member, reads every member's line; with one, reads its
// line and walks its known spells as `game.spells` finds them, keeping those of the chosen level,
// and whacks the spell of the chosen number, storing into `game.save`, which must then be
// writable. A damaged file ends the run with the reason; nothing is stored then. Each front end
// calls it with its own listener and speaks of the outcome itself.
[[nodiscard]] RunOutcome runRequest(const Game& game, const Settings& settings,
                                    RunListener& listener);

#endif  // GRIMTRIM_SPELLBOOK_RUN_H_
