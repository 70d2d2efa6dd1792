// A game of the kind that keeps its creatures' spells in lists by class and level ("GAMEV2.2"
// saves, "CRE V2.2" records): its spell table LISTSPLL, its spells ("SPL V2.0"), an index and an
// archive holding them, a string table, and a save whose party knows spells of several classes,
// laid out as that game writes them.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_CLASS_GAME_H_
#define GRIMTRIM_TOOLS_GAMEDATA_CLASS_GAME_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/bytes_out.h"

namespace gamedata {

// One entry of a class list: a row of the spell table, how many are memorized and remain.
struct ClassEntryDef {
  std::uint32_t spell = 0;
  std::uint32_t memorized = 1;
  std::uint32_t remaining = 1;
};

// The lists of one class at one level (class 0-6 in the game's order Bard, Cleric, Druid,
// Paladin, Ranger, Sorcerer, Wizard; 7 for the domain lists).
struct ClassListDef {
  int spellClass = 0;
  int level = 1;
  std::vector<ClassEntryDef> entries;
};

struct ClassMemberDef {
  std::uint16_t listing = 0;
  std::string name;
  std::vector<ClassListDef> lists;
  std::size_t innate = 0;  // entries of the innate abilities' list
  std::size_t items = 0;
  std::size_t effects = 0;
  bool itemSlotsLast = false;  // the sections after the lists ordered as a mod writes them
};

// Where a record ended up in the save, and where its fields are, from the save's start.
struct ClassRecordLayout {
  std::size_t entry = 0;   // its party table entry
  std::size_t record = 0;  // the record
  std::size_t size = 0;    // as the entry states it
};

struct ClassSaveLayout {
  std::vector<ClassRecordLayout> party;
  std::vector<ClassRecordLayout> outOfParty;
  std::size_t outOfPartyTable = 0;
  std::size_t variables = 0;
  std::size_t journal = 0;
  std::size_t familiar = 0;
  std::size_t lastDword = 0;
};

// The offset of list `spellClass`, `level` in a record's header, and of its count.
[[nodiscard]] std::size_t classListOffsetField(int spellClass, int level);
[[nodiscard]] std::size_t classListCountField(int spellClass, int level);

// A "CRE V2.2" record holding `member`'s lists back to back from 0x62E, then its item slots,
// items and effects (or, with itemSlotsLast, effects, items and item slots).
[[nodiscard]] Bytes makeClassRecord(const ClassMemberDef& member, std::uint32_t seed);

// A "GAMEV2.2" save: the party and, out of the party, `others`; then the variables, the journal,
// the familiar block and its last dword.
[[nodiscard]] Bytes makeClassSave(const std::vector<ClassMemberDef>& party,
                                  const std::vector<ClassMemberDef>& others,
                                  ClassSaveLayout& layout);

// The sample class game's party: a sorcerer, a wizard who is also a sorcerer, a cleric and a
// member who knows only innate abilities; and one member out of the party.
[[nodiscard]] std::vector<ClassMemberDef> classParty();
[[nodiscard]] std::vector<ClassMemberDef> classOthers();

// The spell table as plain text, as the archive holds it; with `remade`, as a mod's copy in the
// override folder has it (one row naming another spell), obfuscated.
[[nodiscard]] Bytes classSpellTable(bool remade);
// `text` obfuscated as the game's text tables may be: FF FF, then XORed with the key.
[[nodiscard]] Bytes obfuscatedTable(const Bytes& text);

// The game's files as buildClassGame() makes them: the index, the string table, the spell archive
// (whose spell table is plain), the override folder's spell table, and the save.
struct ClassGameFiles {
  Bytes index;
  Bytes stringTable;
  Bytes archive;
  Bytes overrideTable;
  Bytes save;
  ClassSaveLayout layout;
};
[[nodiscard]] ClassGameFiles buildClassGame();

// An exported character ("CHR "): the 0x30-byte header (its version, `name`, where its creature
// record lies and how long it is), plausible bytes up to `at`, then `record`.
[[nodiscard]] Bytes makeCharacter(const char* version, const std::string& name, const Bytes& record,
                                  std::size_t at);
// The class game's sorcerer exported: "CHR V2.2", its record at 0x224.
inline constexpr const char* kClassCharacter = "characters/ilsabet.chr";
[[nodiscard]] Bytes classCharacter();

// A game of the same kind of `rows` spells, its spell table of as many rows, whose save's one
// member knows `entries` of them across the sorcerer's and the wizard's lists.
[[nodiscard]] ClassGameFiles buildLargeClassGame(std::size_t rows, std::size_t entries);

// The whole game in `folder`: realm.key, dialog.tlk, data/spells.bif (the table plain),
// override/ListSpll.2DA (the remade table, obfuscated), the save at kClassSave, its sorcerer
// exported at kClassCharacter, and
// kClassConfigName naming the three data files relative to the folder.
inline constexpr const char* kClassSave = "save/000000004-Bell-Tower/party.gam";
inline constexpr const char* kClassConfigName = "classes.cfg";
void writeClassGame(const std::filesystem::path& folder);

// buildLargeClassGame() in `folder` as a game's folder, the save at kClassSave, and beside it at
// kKnownSave a save whose one member knows the same spells in one list of known spells.
inline constexpr const char* kKnownSave = "known.gam";
void writeLargeClassGame(const std::filesystem::path& folder, std::size_t rows,
                         std::size_t entries);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_CLASS_GAME_H_
