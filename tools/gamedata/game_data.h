// Writes the game's four files from a short description, for the tests and the sample set.
//
// The files are laid out as the game lays them out, with the fields the program reads at their
// places and plausible bytes around them, and the layout is reported back so that a test can
// damage any field on purpose: put*() a value over it, or cut the file short.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_GAME_DATA_H_
#define GRIMTRIM_TOOLS_GAMEDATA_GAME_DATA_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gamedata {

using Bytes = std::vector<std::uint8_t>;

// Little-endian stores at an offset of a file being built; the file grows to hold them.
void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
// `text`, cut or padded with NUL bytes to `width` bytes.
void putText(Bytes& bytes, std::size_t offset, std::string_view text, std::size_t width);
[[nodiscard]] std::uint16_t getU16(const Bytes& bytes, std::size_t offset);
[[nodiscard]] std::uint32_t getU32(const Bytes& bytes, std::size_t offset);

// A spell resource. It gets a string for its name, a header in the spell archive and an entry
// in the resource index, unless told otherwise.
struct SpellDef {
  std::string resref;  // up to 8 characters
  std::string name;    // display name, added to the string table
  std::int32_t level = 1;
  std::uint16_t type = 1;          // 1: spell-book spell
  bool inIndex = true;             // false: the resource index does not know the name
  bool inArchive = true;           // false: the locator matches no file entry of the archive
  std::string signature = "SPL ";  // the header's first four bytes
};

// A spell memorization entry: the words the program reads; the others get plausible values.
struct MemorizationDef {
  std::uint16_t level = 0;  // 0 stands for spell level 1
  std::uint16_t slots = 1;  // must be non-zero to take a duplicated memorized spell
  std::uint16_t firstIndex = 0;
  std::uint16_t count = 0;
  std::uint16_t type = 0;  // word at 0x6: 0 for priest, 1 for wizard spells
};

// A party member and its creature record.
struct MemberDef {
  std::uint16_t listing = 0;       // the number printed in front of the name
  std::string partyName;           // in the party record; empty: named through the string table
  std::string creatureName;        // added to the string table; the creature's name reference
  std::vector<std::string> known;  // resrefs of the known spells, in stored order
  std::vector<MemorizationDef> memorization;
  std::vector<std::string> memorized;  // resrefs of the memorized spells
  std::uint32_t sectionsAt = 0x2D4;    // where the known spells begin, from the creature's start
};

struct GameDef {
  std::vector<std::string> strings;  // leading texts of the string table, before any name
  std::vector<SpellDef> spells;
  std::vector<MemberDef> party;
  std::size_t unrelatedResources = 6;  // index entries of other kinds around the spells
  std::size_t unrelatedFiles = 2;      // archive entries of other kinds before the spells
};

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

// The string table alone: one entry per text, texts back to back after the entries.
[[nodiscard]] Bytes makeStringTable(const std::vector<std::string>& texts);

// The file names writeGame() uses inside its folder.
inline constexpr const char* kStringTableName = "sample.tlk";
inline constexpr const char* kSpellArchiveName = "spells.bif";
inline constexpr const char* kResourceIndexName = "sample.key";
inline constexpr const char* kSaveName = "sample.gam";
inline constexpr const char* kConfigName = "sample.cfg";

void writeFile(const std::filesystem::path& path, const Bytes& bytes);
void writeFile(const std::filesystem::path& path, std::string_view text);

// Writes the four files into `folder` under the names above, with a configuration file that
// names the three data files relative to the folder (so the program runs from inside it).
void writeGame(const std::filesystem::path& folder, const GameFiles& files);

// A party with casters, spells of several types and levels, and a member without spells: what
// the demo shows, and a realistic base for the tests.
[[nodiscard]] GameDef sampleGame();

// A half-open byte range [begin, end) of a file.
struct Range {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

// The bytes of `save` that a whack on party record `member` may change, read from the save's
// own fields as they stand (damaged or not), each range cut to the file: the known spells
// section under free-space method 0; under any other method also the spell memorization and
// memorized spells sections and the creature record's six spell-section fields (0x2A0 to
// 0x2B8). No range when the party record or the creature's fields do not lie in the file.
[[nodiscard]] std::vector<Range> whackableRanges(const Bytes& save, std::int32_t member,
                                                 std::int32_t method);

// The first offset at which `after` differs from `before` outside `ranges`, or -1 when none
// does; a difference in size counts at the shorter one's end.
[[nodiscard]] std::int64_t changeOutside(const Bytes& before, const Bytes& after,
                                         const std::vector<Range>& ranges);

// Bigger sets of the same shape for measuring the program: "real" about the size of a full
// game's files, "stress" several times larger.
[[nodiscard]] GameDef scaledGame(std::size_t indexEntries, std::size_t archiveEntries,
                                 std::size_t strings, std::size_t knownPerMember);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_GAME_DATA_H_
