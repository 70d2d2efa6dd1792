#include "spellbook/run.h"

#include <optional>
#include <utility>

#include "spellbook/class_walk.h"
#include "spellbook/class_whack.h"

namespace {

RunEnd endOf(MemberTrouble trouble) {
  return trouble == MemberTrouble::OutsideSave ? RunEnd::MemberOutsideSave : RunEnd::NoCreature;
}

// Hands each kept spell on to the run's listener.
class KeptToListener final : public SpellListener {
 public:
  explicit KeptToListener(RunListener& listener) : listener_(listener) {}
  void kept(const KeptSpell& spell) override { listener_.kept(spell); }

 private:
  RunListener& listener_;
};

// The chosen member's line, then its spells: listed, or walked up to the chosen one and whacked.
RunOutcome runMember(const Game& game, const Settings& settings, RunListener& listener) {
  RunOutcome outcome;
  outcome.member = settings.member;
  const MemberLookup member = lookUpMember(game, settings.member);
  if (member.trouble != MemberTrouble::None) {
    outcome.end = endOf(member.trouble);
    return outcome;
  }
  listener.member(member.line);
  if (!member.line.knowsSpells) return outcome;
  KeptToListener kept(listener);
  const Creature& creature = *member.creature;
  const bool byClass = creature.keepsSpellsByClass();
  const SpellWalk walk =
      byClass ? walkClassSpells(game, creature, settings.level, settings.number, kept)
              : walkSpells(game, creature, settings.level, settings.number, kept);
  switch (walk.end) {
    case WalkEnd::Completed:
      break;
    case WalkEnd::Chosen:
      outcome.end = RunEnd::Whacked;
      outcome.whacked = walk.chosen;
      if (byClass) {
        ClassWhack whack =
            whackClassSpell(*member.record, creature, walk.chosen.list,
                            static_cast<std::uint32_t>(walk.chosen.knownIndex), settings.method);
        outcome.whack = whack.plan;
        outcome.shorterSave = std::move(whack.shorterSave);
      } else {
        outcome.whack = whackSpell(creature, walk.chosen.knownIndex, settings.method);
      }
      break;
    case WalkEnd::NameNotInIndex:
      outcome.end = RunEnd::NameNotInIndex;
      outcome.missingName = walk.missingName;
      break;
    case WalkEnd::NotASpell:
      outcome.end = RunEnd::NotASpell;
      break;
    case WalkEnd::KnownOutsideSave:
      outcome.end = RunEnd::KnownOutsideSave;
      break;
    case WalkEnd::SourceFailed:
      outcome.end = RunEnd::ArchiveUnusable;
      outcome.inflate = walk.failure;
      break;
    case WalkEnd::NoSpellTable:
      outcome.end = RunEnd::NoSpellTable;
      break;
    case WalkEnd::NumberNotInTable:
      outcome.end = RunEnd::NumberNotInTable;
      outcome.spellNumber = walk.spellNumber;
      break;
  }
  return outcome;
}

}  // namespace

RunOutcome runRequest(const Game& game, const Settings& settings, RunListener& listener) {
  if (settings.member != kNotGiven) return runMember(game, settings, listener);
  // With no member chosen only names are read, and no spell is looked up.
  MemberCalls lines([&](const MemberLine& line, const Creature&) { listener.member(line); });
  const PartyWalk party = walkParty(game, lines);
  RunOutcome outcome;
  if (party.end != MemberTrouble::None) {
    outcome.end = endOf(party.end);
    outcome.member = party.stoppedAt;
  }
  return outcome;
}
