// The short description a game set is built from: its spells, its party and how much of other
// kinds surrounds them.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_GAME_DEF_H_
#define GRIMTRIM_TOOLS_GAMEDATA_GAME_DEF_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gamedata {

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
  // SaveFormat::ByClass only: the spell numbers of the first class's level-1 list (its other
  // lists are empty); `known` and the memorization are not written.
  std::vector<std::uint32_t> classSpells;
};

// How a save lays its party out, as the games of the family write their saves.
enum class SaveFormat {
  Usual,          // "GAMEV2.0", 0x160-byte party records, creatures "CRE V1.0"
  LongHeader,     // "GAMEV1.1", 0x180-byte party records, creatures "CRE V9.0"
  LongestHeader,  // "GAMEV1.1", a 0xB8-byte header, 0x168-byte party records, "CRE V1.2"
  ByClass,        // "GAMEV2.2", 0x340-byte party records, "CRE V2.2" keeping spells by class
};

struct GameDef {
  std::vector<std::string> strings;  // leading texts of the string table, before any name
  std::vector<SpellDef> spells;
  std::vector<MemberDef> party;
  std::size_t unrelatedResources = 6;  // index entries of other kinds around the spells
  std::size_t unrelatedFiles = 2;      // archive entries of other kinds before the spells
  SaveFormat format = SaveFormat::Usual;
};

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_GAME_DEF_H_
