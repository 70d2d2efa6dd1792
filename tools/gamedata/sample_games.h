// The ready-made game sets: the demo's sample and bigger ones of the same shape.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_SAMPLE_GAMES_H_
#define GRIMTRIM_TOOLS_GAMEDATA_SAMPLE_GAMES_H_

#include <cstddef>

#include "gamedata/game_def.h"

namespace gamedata {

// A party with casters, spells of several types and levels, and a member without spells: what
// the demo shows, and a realistic base for the tests.
[[nodiscard]] GameDef sampleGame();

// A party of the game that keeps spells by class (a save of format SaveFormat::ByClass), named in
// its party records: one member without spells and one with spells in a class list.
[[nodiscard]] GameDef classGame();

// The sample set with names outside English: in UTF-8 (Latin, Cyrillic and Polish letters) when
// `utf8`, otherwise Cyrillic in the single-byte Cyrillic code page (windows-1251).
[[nodiscard]] GameDef localizedGame(bool utf8);

// Bigger sets of the same shape for measuring the program: "real" about the size of a full
// game's files, "stress" several times larger, "large" with four times the stress index.

[[nodiscard]] GameDef scaledGame(std::size_t indexEntries, std::size_t archiveEntries,
                                 std::size_t strings, std::size_t knownPerMember);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_SAMPLE_GAMES_H_
