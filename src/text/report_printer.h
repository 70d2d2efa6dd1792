// The command line's text for a run: a listener of the run that prints each member and kept spell
// as the run meets it and, once the run has ended, the outcome's messages and the closing hint,
// each where the program's output puts it. It prints and decides nothing.
#ifndef GRIMTRIM_TEXT_REPORT_PRINTER_H_
#define GRIMTRIM_TEXT_REPORT_PRINTER_H_

#include <cstdint>

#include "spellbook/run.h"
#include "spellbook/settings.h"
#include "text/output.h"

class ReportPrinter final : public RunListener {
 public:
  // Prints for a run of `settings`; both are borrowed.
  ReportPrinter(const Settings& settings, Output& out) : settings_(settings), out_(out) {}

  // Member lines, with the -w hint after each member without spells when no member was chosen.
  void member(const MemberLine& line) override;
  // A "Level" line each time the level changes from one kept spell to the next, or the numbered
  // spells of the chosen level; nothing when a spell is to be whacked.
  void kept(const KeptSpell& spell) override;

  // What follows once the run has ended with `outcome`: the whack's lines, or the message of
  // the stop and the hints that fit the settings. Nothing for a spell archive that turned out not
  // to inflate: the front end gives up with that file's message (file_messages.h).
  void finish(const RunOutcome& outcome);

 private:
  const Settings& settings_;
  Output& out_;
  std::int32_t previousLevel_ = -1;
  std::int32_t previousList_ = -1;
};

// The name of the class whose list holds a spell, as the listings show it: "Bard", ...,
// "Domain"; empty for None.
[[nodiscard]] constexpr const char* spellClassName(SpellClass spellClass) {
  switch (spellClass) {
    case SpellClass::Bard:
      return "Bard";
    case SpellClass::Cleric:
      return "Cleric";
    case SpellClass::Druid:
      return "Druid";
    case SpellClass::Paladin:
      return "Paladin";
    case SpellClass::Ranger:
      return "Ranger";
    case SpellClass::Sorcerer:
      return "Sorcerer";
    case SpellClass::Wizard:
      return "Wizard";
    case SpellClass::Domain:
      return "Domain";
    case SpellClass::None:
      break;
  }
  return "";
}

// The message an outcome that stopped the run prints; nothing for Completed and Whacked.
void printStopMessage(const RunOutcome& outcome, Output& out);

#endif  // GRIMTRIM_TEXT_REPORT_PRINTER_H_
