// Writes the game's four files from a short description, for the tests and the sample set.
//
// The files are laid out as the game lays them out, with the fields the program reads at their
// places and plausible bytes around them, and the layout is reported back so that a test can
// damage any field on purpose: put*() a value over it, or cut the file short.
//
// The one header the library's users include; each part lives in a header of its own.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_GAME_DATA_H_
#define GRIMTRIM_TOOLS_GAMEDATA_GAME_DATA_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "gamedata/bytes_out.h"         // Bytes, put*() and get*()
#include "gamedata/game_def.h"          // the description: GameDef and its parts
#include "gamedata/game_files.h"        // buildGame(), Layout, writeGame(), writeFile()
#include "gamedata/sample_games.h"      // sampleGame(), scaledGame()
#include "gamedata/string_table_out.h"  // makeStringTable()
#include "gamedata/whack_ranges.h"      // whackableRanges(), changeOutside()

#endif  // GRIMTRIM_TOOLS_GAMEDATA_GAME_DATA_H_
