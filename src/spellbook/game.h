// The game a run works on: the save and the string table as views, and where its known spells
// are found, all lent by whoever opened them.
#ifndef GRIMTRIM_SPELLBOOK_GAME_H_
#define GRIMTRIM_SPELLBOOK_GAME_H_

#include "formats/bytes.h"
#include "formats/save_game.h"
#include "spellbook/spell_source.h"

// Only a run that whacks lends a writable save; nothing stores through the other views.
struct Game {
  // The save's layout is decided here, once, when the save is lent.
  Game(const View& saveView, const View& table, SpellSource* source = nullptr)
      : save(saveView), stringTable(table), spells(source), layout(saveLayoutOf(saveView)) {}

  View save;
  View stringTable;
  // The configured spell archive or the game's folder; a run that reads only the party's names
  // needs none.
  SpellSource* spells = nullptr;
  SaveLayout layout;
};

#endif  // GRIMTRIM_SPELLBOOK_GAME_H_
