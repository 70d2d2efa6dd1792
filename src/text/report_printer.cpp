#include "text/report_printer.h"

#include <cstdint>
#include <optional>

#include "spellbook/party.h"
#include "spellbook/spell_walk.h"
#include "spellbook/whack.h"

namespace {

// What a member's report means for the walk over the party.
enum class Next { Continue, Stop };

// How the chosen member's spells ended.
enum class SpellsEnd {
  Stopped,    // a lookup failed and its message was printed
  Whacked,    // the chosen spell was whacked
  Completed,  // every known spell was walked: the -w hint may follow
};

void printMemberTrouble(MemberTrouble trouble, std::int32_t index, Output& out) {
  switch (trouble) {
    case MemberTrouble::OutsideSave:
      out.print("oops, party member %d lies outside the save file", index);
      break;
    case MemberTrouble::NoCreature:
      out.print("oops, missed CRE pointer");
      break;
    case MemberTrouble::None:
      break;
  }
}

void printMemberLine(const MemberLine& line, Output& out) {
  out.print("%d %.*s", line.listingNumber, line.name.length, line.name.address);
  out.print("%s", line.knowsSpells ? "\n" : " -- no spells\n");
}

void printWhack(const Game& game, StrRef name, const WhackPlan& plan, Output& out) {
  const Text text = stringText(game.stringTable, name);
  out.print("Whacking %.*s\n", text.length, text.address);
  if (plan.end == WhackEnd::LeftDuplicate) return;
  if (plan.unknownMethod) out.print("\nunknown free space method %d, using default", plan.method);
  switch (plan.end) {
    case WhackEnd::KnownNotBeforeMemorization:
      out.print("oops, end of known spells not base of spell memorizatin");
      break;
    case WhackEnd::MemorizationNotBeforeMemorized:
      out.print("oops, end of spell memorization not base of memorized spells");
      break;
    case WhackEnd::SectionsOutsideSave:
      out.print("\noops, spell sections lie outside the save file");
      break;
    case WhackEnd::NoMemorizedSpell:
      out.print("\nno memorized spell to duplicate, free space left as by method 0");
      break;
    case WhackEnd::NoLevelOneEntry:
      out.print("\nno spell level 1 memorization entry, free space left as by method 0");
      break;
    case WhackEnd::Shrunk:
      out.print("\nfirst memorized spell of lowest spell level will be duplicated");
      break;
    case WhackEnd::LeftDuplicate:
      break;
  }
}

// Prints each kept spell as the walk meets it: a "Level" line each time the level changes
// from one kept spell to the next, or the numbered spells of the chosen level; nothing when a
// spell is to be whacked.
class SpellLines final : public SpellListener {
 public:
  SpellLines(const Game& game, const Settings& settings, Output& out)
      : game_(game), settings_(settings), out_(out) {}

  void kept(const KeptSpell& spell) override {
    if (settings_.level == kNotGiven) {
      if (spell.level != previousLevel_) out_.print("Level %d\n", spell.level);
      previousLevel_ = spell.level;
    } else if (settings_.number == kNotGiven) {
      const Text name = stringText(game_.stringTable, spell.name);
      out_.print("Level %d, Spell %d: %.*s\n", spell.level, spell.number, name.length,
                 name.address);
    }
  }

 private:
  const Game& game_;
  const Settings& settings_;
  Output& out_;
  std::int32_t previousLevel_ = -1;
};

// Lists the chosen member's spells, or whacks the chosen one.
SpellsEnd printSpells(const Game& game, const Creature& creature, const Settings& settings,
                      Output& out) {
  SpellLines lines(game, settings, out);
  const SpellWalk walk = walkSpells(game, creature, settings.level, settings.number, lines);
  switch (walk.end) {
    case WalkEnd::Chosen:
      printWhack(game, walk.chosen.name,
                 whackSpell(creature, walk.chosen.knownIndex, settings.method), out);
      return SpellsEnd::Whacked;
    case WalkEnd::KnownOutsideSave:
      out.print("oops, known spells lie outside the save file");
      break;
    case WalkEnd::NameNotInIndex: {
      char name[8];
      for (unsigned i = 0; i < 8; ++i)
        name[i] = static_cast<char>(walk.missingName >> (8 * i));
      out.print("known spell <%.8s> not found in .key", name);
      break;
    }
    case WalkEnd::NotASpell:
      out.print("oops, missed SPL pointer");
      break;
    case WalkEnd::Completed:
      return SpellsEnd::Completed;
  }
  return SpellsEnd::Stopped;
}

// The member's line and, when a member was chosen, its spells.
Next reportMember(const Game& game, std::int32_t index, const Settings& settings, Output& out) {
  const MemberLookup member = lookUpMember(game, index);
  if (member.trouble != MemberTrouble::None) {
    printMemberTrouble(member.trouble, index, out);
    return Next::Stop;
  }
  printMemberLine(member.line, out);
  if (member.line.knowsSpells) {
    // With no member chosen only names are listed, and no spell is looked up.
    if (settings.member == kNotGiven) return Next::Continue;
    switch (printSpells(game, *member.creature, settings, out)) {
      case SpellsEnd::Stopped:
        return Next::Stop;
      case SpellsEnd::Whacked:
        return Next::Continue;
      case SpellsEnd::Completed:
        break;
    }
  }
  if (settings.number != kNotGiven) out.print("\n\nUse -wN to whack spell number N");
  return Next::Continue;
}

}  // namespace

void reportParty(const Game& game, const Settings& settings, Output& out) {
  if (settings.member == kNotGiven) {
    MemberCalls lines([&](const MemberLine& line, const Creature&) {
      printMemberLine(line, out);
      if (!line.knowsSpells && settings.number != kNotGiven) {
        out.print("\n\nUse -wN to whack spell number N");
      }
    });
    const PartyWalk party = walkParty(game, lines);
    printMemberTrouble(party.end, party.stoppedAt, out);
    out.print("\n\nUse -pN to select the party member");
    return;
  }
  // The chosen member's result does not matter: there is nobody after it.
  static_cast<void>(reportMember(game, settings.member, settings, out));
  if (settings.level == kNotGiven) out.print("\n\nUse -sN to select the spell level to display");
}
