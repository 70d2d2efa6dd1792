// The class game's files besides its save: the spell table, the index and archive that hold it and
// the spells, the string table, the exported character, and the folder they are written into.
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "gamedata/class_game.h"
#include "gamedata/game_def.h"
#include "gamedata/game_files.h"
#include "gamedata/layout_internal.h"
#include "gamedata/string_table_out.h"

namespace gamedata {

namespace {

constexpr std::uint16_t kSpellType = 0x3EE;
constexpr std::uint16_t kTableType = 0x3F4;

constexpr std::uint8_t kKey[64] = {
    0x88, 0xa8, 0x8f, 0xba, 0x8a, 0xd3, 0xb9, 0xf5, 0xed, 0xb1, 0xcf, 0xea, 0xaa, 0xe4, 0xb5, 0xfb,
    0xeb, 0x82, 0xf9, 0x90, 0xca, 0xc9, 0xb5, 0xe7, 0xdc, 0x8e, 0xb7, 0xac, 0xee, 0xf7, 0xe0, 0xca,
    0x8e, 0xea, 0xca, 0x80, 0xce, 0xc5, 0xad, 0xb7, 0xc4, 0xd0, 0x84, 0x93, 0xd5, 0xf0, 0xeb, 0xc8,
    0xb4, 0x9d, 0xcc, 0xaf, 0xa5, 0x95, 0xba, 0x99, 0x87, 0xd2, 0x9d, 0xe3, 0x91, 0xba, 0x90, 0xca};

// The game's spells as the table's rows name them; the spell files' own levels are not the
// lists' (the game uses the list's), and the divine ones are of type 2.
struct ClassSpell {
  std::string resref;
  std::string name;
  std::uint16_t type;
};
const std::vector<ClassSpell> kSpells = {
    {"CS1SPARK", "Spark Needle", 1}, {"CS1GLOOM", "Gloom Veil", 1},
    {"CS1EMBWR", "Ember Ward", 1},   {"CS1EMBMD", "Ember Ward, Remade", 1},
    {"CS2STILL", "Still Air", 1},    {"CS2THORN", "Thorn Whip", 1},
    {"CS2GALE", "Gale Step", 1},     {"CS3ASH", "Ash Cloud", 1},
    {"CS3KNOT", "Mind Knot", 1},     {"CS4STAR", "Starfall", 1},
    {"CD1HEAL", "Mending Hands", 2}, {"CD1CALM", "Quiet Heart", 2},
};

}  // namespace

Bytes classSpellTable(bool remade) {
  // Line ends of both kinds, tabs and spaces, names in either case, as real tables mix them.
  std::string text =
      "2DA V1.0\n"
      "****\n"
      "\tBARD\tCLERIC\tDRUID\tPALADIN\tRANGER\tSORCERER\tWIZARD\tRESREF\tNOTES\r\n"
      "RESERVED      ****  ****  ****  ****  ****  ****  ****  ****\n"
      "SPARK_NEEDLE  1     ****  ****  ****  ****  1     1     cs1spark  quick\n"
      "GLOOM_VEIL    1     ****  ****  ****  ****  1     1     CS1GLOOM\r\n";
  text += remade ? "EMBER_WARD    ****  ****  ****  ****  ****  1     1     CS1EMBMD\n"
                 : "EMBER_WARD    ****  ****  ****  ****  ****  1     1     CS1EMBWR\n";
  text +=
      "STILL_AIR     2     ****  ****  ****  ****  2     2     CS2STILL\n"
      "THORN_WHIP\t****\t****\t2\t****\t2\t2\t2\tCs2Thorn\n"
      "ASH_CLOUD     3     ****  ****  ****  ****  3     3     CS3ASH\n"
      "MIND_KNOT     3     ****  ****  ****  ****  3     3     CS3KNOT\n"
      "HEALING_TOUCH ****  1     1     1     1     ****  ****  CD1HEAL\n"
      "SHORT_ROW     1     1\n"
      "\n"
      "GALE_STEP     2     ****  ****  ****  ****  2     2     cs2gale\n"
      "STARFALL      ****  ****  ****  ****  ****  4     4     CS4STAR   long_name_past_eight\n"
      "QUIET_HEART   ****  1     ****  ****  ****  ****  ****  CD1CALM\n";
  return Bytes(text.begin(), text.end());
}

Bytes obfuscatedTable(const Bytes& text) {
  Bytes bytes = {0xFF, 0xFF};
  for (std::size_t j = 0; j < text.size(); ++j)
    bytes.push_back(static_cast<std::uint8_t>(text[j] ^ kKey[j % 64]));
  return bytes;
}

Bytes makeCharacter(const char* version, const std::string& name, const Bytes& record,
                    std::size_t at) {
  Bytes bytes;
  fill(bytes, 0, at, 31);
  putText(bytes, 0, version, 8);
  putText(bytes, 0x08, name, 32);
  putU32(bytes, 0x28, static_cast<std::uint32_t>(at));
  putU32(bytes, 0x2C, static_cast<std::uint32_t>(record.size()));
  bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

Bytes classCharacter() {
  return makeCharacter("CHR V2.2", "Ilsabet Vane", makeClassRecord(classParty()[0], 1), 0x224);
}

namespace {

// The game's files for the spell table `table` naming `spells`, and a save of `party`.
ClassGameFiles buildClassFiles(const Bytes& table, const std::vector<ClassSpell>& spells,
                               const std::vector<ClassMemberDef>& party) {
  std::vector<std::string> strings = {"<NO TEXT>", "Realm"};
  // The spell archive, number 1 of the index: a table of innate abilities and the spell table,
  // then the spells; each entry keeps only the file part of its locator.
  struct Resource {
    std::string indexName;
    std::uint16_t type;
    Bytes data;
  };
  std::vector<Resource> resources;
  Bytes innateTable;
  for (const char c : std::string("2DA V1.0\n****\n\tRESREF\nSENSE\tCI1SENSE\n"))
    innateTable.push_back(static_cast<std::uint8_t>(c));
  resources.push_back({"LISTINNT", kTableType, innateTable});
  resources.push_back({"ListSpll", kTableType, table});
  for (const ClassSpell& spell : spells) {
    Bytes header;
    fill(header, 0, 0xA0, static_cast<std::uint32_t>(strings.size()));
    putText(header, 0, "SPL V2.0", 8);
    const auto ref = static_cast<std::uint32_t>(addString(strings, spell.name));
    putU32(header, 0x08, ref);
    putU32(header, 0x0C, ref);
    putU16(header, 0x1C, spell.type);
    putU32(header, 0x34, 7);  // the file's own level, which the lists' level overrides
    resources.push_back({spell.resref, kSpellType, header});
  }
  Bytes archive;
  putText(archive, 0, "BIFFV1  ", 8);
  putU32(archive, 0x08, static_cast<std::uint32_t>(resources.size()));
  putU32(archive, 0x0C, 0);
  putU32(archive, 0x10, 0x14);
  std::size_t data = 0x14 + resources.size() * 16;
  for (std::size_t r = 0; r < resources.size(); ++r) {
    const std::size_t entry = 0x14 + r * 16;
    putU32(archive, entry, static_cast<std::uint32_t>(r));
    putU32(archive, entry + 4, static_cast<std::uint32_t>(data));
    putU32(archive, entry + 8, static_cast<std::uint32_t>(resources[r].data.size()));
    putU16(archive, entry + 12, resources[r].type);
    putU16(archive, entry + 14, 0);
    archive.resize(data);
    archive.insert(archive.end(), resources[r].data.begin(), resources[r].data.end());
    data += resources[r].data.size();
  }

  // The index: a resource of another type named as the table first, whose data is elsewhere.
  const std::vector<std::string> archives = {"data\\music.bif", "data\\SPELLS.bif"};
  std::vector<std::pair<std::string, std::pair<std::uint16_t, std::uint32_t>>> entries = {
      {"LISTSPLL", {0x3ED, 0x00000005}}, {"THEME01", {0x3F2, 0x00000001}}};
  for (std::size_t r = 0; r < resources.size(); ++r) {
    entries.push_back(
        {resources[r].indexName, {resources[r].type, 1u << 20 | static_cast<std::uint32_t>(r)}});
  }
  Bytes index;
  putText(index, 0, "KEY V1  ", 8);
  putU32(index, 0x08, static_cast<std::uint32_t>(archives.size()));
  putU32(index, 0x0C, static_cast<std::uint32_t>(entries.size()));
  putU32(index, 0x10, 0x18);
  std::size_t names = 0x18 + archives.size() * 12;
  for (std::size_t a = 0; a < archives.size(); ++a) {
    const std::size_t entry = 0x18 + a * 12;
    putU32(index, entry, 0x10000);
    putU32(index, entry + 4, static_cast<std::uint32_t>(names));
    putU16(index, entry + 8, static_cast<std::uint16_t>(archives[a].size() + 1));
    putU16(index, entry + 10, 1);
    putText(index, names, archives[a], archives[a].size() + 1);
    names += archives[a].size() + 1;
  }
  putU32(index, 0x14, static_cast<std::uint32_t>(names));
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const std::size_t entry = names + e * 14;
    putText(index, entry, entries[e].first, 8);
    putU16(index, entry + 8, entries[e].second.first);
    putU32(index, entry + 10, entries[e].second.second);
  }

  ClassGameFiles files;
  files.index = std::move(index);
  files.stringTable = makeStringTable(strings);
  files.archive = std::move(archive);
  files.overrideTable = obfuscatedTable(classSpellTable(true));
  files.save = makeClassSave(party, classOthers(), files.layout);
  return files;
}

}  // namespace

ClassGameFiles buildClassGame() {
  return buildClassFiles(classSpellTable(false), kSpells, classParty());
}

ClassGameFiles buildLargeClassGame(std::size_t rows, std::size_t entries) {
  std::string table =
      "2DA V1.0\n****\n\tBARD\tCLERIC\tDRUID\tPALADIN\tRANGER\tSORCERER\tWIZARD\tRESREF\n";
  std::vector<ClassSpell> spells;
  char resref[16];
  for (std::size_t row = 0; row < rows; ++row) {
    std::snprintf(resref, sizeof resref, "CX%05zu", row % 100000);
    const std::size_t level = row % 9 + 1;
    table += "ROW_" + std::to_string(row) + "  ****  ****  ****  ****  ****  " +
             std::to_string(level) + "  " + std::to_string(level) + "  " + resref + "\n";
    spells.push_back({resref, std::string("Spell of ") + resref, 1});
  }
  // One member who knows `entries` spells spread over the sorcerer's and the wizard's lists.
  ClassMemberDef caster;
  caster.name = "Ilsabet Vane";
  for (int spellClass : {5, 6}) {
    for (int level = 1; level <= 9; ++level)
      caster.lists.push_back({spellClass, level, {}});
  }
  for (std::size_t e = 0; e < entries; ++e) {
    const std::size_t row = e * (rows / std::max<std::size_t>(entries, 1));
    caster.lists[(e * 7) % caster.lists.size()].entries.push_back(
        {static_cast<std::uint32_t>(row), 1, 1});
  }
  return buildClassFiles(Bytes(table.begin(), table.end()), spells, {caster});
}

void writeClassGame(const std::filesystem::path& folder) {
  const ClassGameFiles files = buildClassGame();
  std::filesystem::create_directories(folder / "data");
  std::filesystem::create_directories(folder / "override");
  std::filesystem::create_directories((folder / kClassSave).parent_path());
  writeFile(folder / "realm.key", files.index);
  writeFile(folder / "dialog.tlk", files.stringTable);
  writeFile(folder / "data/spells.bif", files.archive);
  writeFile(folder / "override/ListSpll.2DA", files.overrideTable);
  writeFile(folder / kClassSave, files.save);
  std::filesystem::create_directories((folder / kClassCharacter).parent_path());
  writeFile(folder / kClassCharacter, classCharacter());
  writeFile(folder / kClassConfigName, std::string("dialog.tlk\ndata/spells.bif\nrealm.key\n"));
}

void writeLargeClassGame(const std::filesystem::path& folder, std::size_t rows,
                         std::size_t entries) {
  const ClassGameFiles files = buildLargeClassGame(rows, entries);
  std::filesystem::create_directories(folder / "data");
  std::filesystem::create_directories((folder / kClassSave).parent_path());
  writeFile(folder / "realm.key", files.index);
  writeFile(folder / "dialog.tlk", files.stringTable);
  writeFile(folder / "data/spells.bif", files.archive);
  writeFile(folder / kClassSave, files.save);
  // The same spells known by name, one list of known spells of as many entries.
  GameDef known;
  MemberDef caster;
  caster.partyName = "Ilsabet Vane";
  for (std::size_t e = 0; e < entries; ++e) {
    char resref[16];
    std::snprintf(resref, sizeof resref, "CX%05zu",
                  (e * (rows / std::max<std::size_t>(entries, 1))) % 100000);
    caster.known.push_back(resref);
  }
  known.party = {caster};
  writeFile(folder / kKnownSave, buildGame(known).save);
}

}  // namespace gamedata
