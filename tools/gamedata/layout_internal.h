// What the units that lay out the game's files share among themselves. Not for the library's
// users: they include game_data.h.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_LAYOUT_INTERNAL_H_
#define GRIMTRIM_TOOLS_GAMEDATA_LAYOUT_INTERNAL_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gamedata/bytes_out.h"
#include "gamedata/game_def.h"
#include "gamedata/game_files.h"

namespace gamedata {

// How each format lays out a save: the party records' size and where their names stand, the
// creature records' version and how much longer their header is than version 1.0's before the
// spell fields. Laid out by the save, read back by whackableRanges().
struct SaveFormatFacts {
  const char* saveVersion;
  std::size_t headerSize;
  std::size_t memberSize;
  std::size_t nameOffset;
  const char* creatureVersion;
  std::size_t shift;
};
[[nodiscard]] const SaveFormatFacts& factsOf(SaveFormat format);

// Bytes that look like the rest of a real record: varied, repeatable, never all zero.
void fill(Bytes& bytes, std::size_t begin, std::size_t end, std::uint32_t seed);

// Appends `text` to the strings of the table being gathered; gives its string reference.
std::size_t addString(std::vector<std::string>& strings, const std::string& text);

// The spell archive, with a header for each spell that is in it, named through the string
// references from `firstSpellRef` on in the order of game.spells.
Bytes makeSpellArchive(const GameDef& game, Layout& layout, std::size_t firstSpellRef);

// The resource index: the spells it knows amid entries of other kinds.
Bytes makeResourceIndex(const GameDef& game, Layout& layout);

// The saved game: its party table and each member's creature record, named through
// creatureRefs.
Bytes makeSave(const GameDef& game, const std::vector<std::uint32_t>& creatureRefs, Layout& layout);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_LAYOUT_INTERNAL_H_
