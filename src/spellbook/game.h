// The game a run works on: the four files as views, lent by whoever opened them.
#ifndef GRIMTRIM_SPELLBOOK_GAME_H_
#define GRIMTRIM_SPELLBOOK_GAME_H_

#include <string_view>

#include "formats/bytes.h"
#include "spellbook/spell_source.h"

// Only a run that whacks lends a writable save; nothing stores through the other views.
struct Game {
  View save;
  View stringTable;
  View spellArchive;
  View resourceIndex;
  // The spell archive's path as configured: its file name finds the archive's number in the
  // index's archive table, for archives that keep only the file part of a locator.
  std::string_view spellArchivePath{};
  // The game's folder, when the run was given one: known spells are then found there as the
  // game finds them, and `spellArchive` is not used.
  SpellSource* installed = nullptr;
};

#endif  // GRIMTRIM_SPELLBOOK_GAME_H_
