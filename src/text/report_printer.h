// The command line's text for the party: asks the spell book and prints its answers with the
// program's messages, in the order the program has always printed them.
#ifndef GRIMTRIM_TEXT_REPORT_PRINTER_H_
#define GRIMTRIM_TEXT_REPORT_PRINTER_H_

#include "spellbook/game.h"
#include "spellbook/settings.h"
#include "text/output.h"

// Reports on every party member in table order (names only), or on the chosen member alone
// with its spell levels, the spells of the chosen level, or the whack of the chosen spell;
// then the closing hint that fits the settings. A run whose settings ask for a whack edits
// `game.save`, which must then be writable.
void reportParty(const Game& game, const Settings& settings, Output& out);

#endif  // GRIMTRIM_TEXT_REPORT_PRINTER_H_
