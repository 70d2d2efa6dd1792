#include "text/report_printer.h"

#include <cstdint>

namespace {

void printMemberLine(const MemberLine& line, Output& out) {
  out.print("%d %.*s", line.listingNumber, line.name.length, line.name.address);
  out.print("%s", line.knowsSpells ? "\n" : " -- no spells\n");
}

void printWhack(const RunOutcome& outcome, Output& out) {
  const WhackPlan& plan = outcome.whack;
  const Text& text = outcome.whacked.name;
  out.print("Whacking %.*s\n", text.length, text.address);
  if (plan.end == WhackEnd::LeftDuplicate || plan.end == WhackEnd::LeftZeroedCopy) return;
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
    case WhackEnd::SaveShortened:
      out.print("\nlater lists and records moved down, the save is 16 bytes shorter");
      break;
    case WhackEnd::LeftDuplicate:
    case WhackEnd::LeftZeroedCopy:
      break;
  }
}

}  // namespace

void ReportPrinter::member(const MemberLine& line) {
  printMemberLine(line, out_);
  if (settings_.member == kNotGiven && !line.knowsSpells && settings_.number != kNotGiven) {
    out_.print("\n\nUse -wN to whack spell number N");
  }
}

void ReportPrinter::kept(const KeptSpell& spell) {
  const bool byClass = spell.spellClass != SpellClass::None;
  if (settings_.level == kNotGiven) {
    // A spell book by class names each list once; one list of known spells names each change
    // of level from one kept spell to the next.
    if (byClass && spell.list != previousList_) {
      out_.print("Level %d (%s)\n", spell.level, spellClassName(spell.spellClass));
    } else if (!byClass && spell.level != previousLevel_) {
      out_.print("Level %d\n", spell.level);
    }
    previousLevel_ = spell.level;
    previousList_ = spell.list;
  } else if (settings_.number == kNotGiven) {
    if (byClass) {
      out_.print("Level %d, Spell %d: %.*s (%s)\n", spell.level, spell.number, spell.name.length,
                 spell.name.address, spellClassName(spell.spellClass));
    } else {
      out_.print("Level %d, Spell %d: %.*s\n", spell.level, spell.number, spell.name.length,
                 spell.name.address);
    }
  }
}

void printStopMessage(const RunOutcome& outcome, Output& out) {
  switch (outcome.end) {
    case RunEnd::MemberOutsideSave:
      out.print("oops, party member %d lies outside the save file", outcome.member);
      break;
    case RunEnd::NoCreature:
      out.print("oops, missed CRE pointer");
      break;
    case RunEnd::KnownOutsideSave:
      out.print("oops, known spells lie outside the save file");
      break;
    case RunEnd::NameNotInIndex: {
      char name[8];
      for (unsigned i = 0; i < 8; ++i)
        name[i] = static_cast<char>(outcome.missingName >> (8 * i));
      out.print("known spell <%.8s> not found in .key", name);
      break;
    }
    case RunEnd::NotASpell:
      out.print("oops, missed SPL pointer");
      break;
    case RunEnd::NoSpellTable:
      out.print("spell table LISTSPLL.2DA not found");
      break;
    case RunEnd::NumberNotInTable:
      out.print("oops, spell number %u is not a row of LISTSPLL.2DA", outcome.spellNumber);
      break;
    case RunEnd::Completed:
    case RunEnd::Whacked:
    case RunEnd::ArchiveUnusable:  // the front end gives up with the archive's own message
      break;
  }
}

void ReportPrinter::finish(const RunOutcome& outcome) {
  if (outcome.end == RunEnd::Whacked) {
    printWhack(outcome, out_);
    return;
  }
  if (outcome.end == RunEnd::ArchiveUnusable) return;
  printStopMessage(outcome, out_);
  if (settings_.member == kNotGiven) {
    out_.print("\n\nUse -pN to select the party member");
    return;
  }
  // The -w hint closes a chosen member's report only when it walked every known spell (or had
  // none); the -s hint follows whatever the member's report did.
  if (outcome.end == RunEnd::Completed && settings_.number != kNotGiven) {
    out_.print("\n\nUse -wN to whack spell number N");
  }
  if (settings_.level == kNotGiven) out_.print("\n\nUse -sN to select the spell level to display");
}
