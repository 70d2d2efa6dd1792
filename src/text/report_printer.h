// The command line's text for a run: the driver's events and outcome turned into the program's
// messages, in the order the program has always printed them. It prints and decides nothing.
#ifndef GRIMTRIM_TEXT_REPORT_PRINTER_H_
#define GRIMTRIM_TEXT_REPORT_PRINTER_H_

#include "spellbook/game.h"
#include "spellbook/run.h"
#include "spellbook/settings.h"
#include "text/output.h"

// Runs `settings` over `game` and prints what the run meets: every member's line (names only),
// or the chosen member's line with its spell levels, the spells of the chosen level, or the
// whack of the chosen spell; then the closing hint that fits the settings. A run whose settings
// ask for a whack edits `game.save`, which must then be writable. Returns how the run ended.
RunOutcome reportParty(const Game& game, const Settings& settings, Output& out);

// The message an outcome that stopped the run prints; nothing for Completed and Whacked.
void printStopMessage(const RunOutcome& outcome, Output& out);

#endif  // GRIMTRIM_TEXT_REPORT_PRINTER_H_
