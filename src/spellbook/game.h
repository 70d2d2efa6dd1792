// The game a run works on: the four files as views, lent by whoever opened them.
#ifndef GRIMTRIM_SPELLBOOK_GAME_H_
#define GRIMTRIM_SPELLBOOK_GAME_H_

#include "formats/bytes.h"

// Only a run that whacks lends a writable save; nothing stores through the other views.
struct Game {
  View save;
  View stringTable;
  View spellArchive;
  View resourceIndex;
};

#endif  // GRIMTRIM_SPELLBOOK_GAME_H_
