// A game set's four files as built from its description, where their structures ended up, and
// writing them into a folder.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_GAME_FILES_H_
#define GRIMTRIM_TOOLS_GAMEDATA_GAME_FILES_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "gamedata/bytes_out.h"
#include "gamedata/game_def.h"

namespace gamedata {

// Where a member's structures ended up: offsets from the start of the saved game.
struct MemberLayout {
  std::size_t record = 0;
  std::size_t creature = 0;
  std::size_t creatureSize = 0;
  std::size_t known = 0;
  std::size_t memorization = 0;
  std::size_t memorized = 0;
};

// Offsets of the structures that the program reads, for damaging them on purpose.
struct Layout {
  std::size_t partyTable = 0;
  std::vector<MemberLayout> members;
  std::vector<std::size_t> spellHeaders;  // archive offset of each SpellDef's header (0: none)
  std::size_t resourceTable = 0;          // in the index
  std::size_t fileTable = 0;              // in the archive
  std::vector<std::uint32_t> nameRefs;    // string reference of each SpellDef's name
};

struct GameFiles {
  Bytes stringTable;
  Bytes spellArchive;
  Bytes resourceIndex;
  Bytes save;
  Layout layout;
};

[[nodiscard]] GameFiles buildGame(const GameDef& game);

// The file names writeGame() uses inside its folder.
inline constexpr const char* kStringTableName = "sample.tlk";
inline constexpr const char* kSpellArchiveName = "spells.bif";
inline constexpr const char* kResourceIndexName = "sample.key";
inline constexpr const char* kSaveName = "sample.gam";
inline constexpr const char* kConfigName = "sample.cfg";
// The sample's party in the saves of the family's other layouts (writeFamilySaves()), and a
// party of the game that keeps spells by class.
inline constexpr const char* kLongHeaderSaveName = "sample-v9.gam";
inline constexpr const char* kLongestHeaderSaveName = "sample-v12.gam";
inline constexpr const char* kClassSaveName = "party-v22.gam";
// The folder of a whole game that keeps its spells by class (class_game.h), beside them.
inline constexpr const char* kClassGameFolder = "classes";
// The sample's first member exported as a character ("CHR V2.0").
inline constexpr const char* kCharacterName = "selwyn.chr";

void writeFile(const std::filesystem::path& path, const Bytes& bytes);
void writeFile(const std::filesystem::path& path, std::string_view text);

// Writes the four files into `folder` under the names above, with a configuration file that
// names the three data files relative to the folder (so the program runs from inside it).
void writeGame(const std::filesystem::path& folder, const GameFiles& files);

// Writes the saves named above into `folder`, beside the sample's: those of the family's other
// layouts list and whack with the sample's data files exactly as the sample's own save does. The
// game that keeps its spells by class goes into its own folder there, with its own data files.
void writeFamilySaves(const std::filesystem::path& folder);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_GAME_FILES_H_
