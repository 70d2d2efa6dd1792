#include "gamedata/class_game.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "gamedata/game_def.h"
#include "gamedata/game_files.h"
#include "gamedata/layout_internal.h"
#include "gamedata/string_table_out.h"

namespace gamedata {

namespace {

constexpr std::size_t kHeaderSize = 0x62E;
constexpr std::size_t kSaveHeaderSize = 0xB4;
constexpr std::size_t kEntrySize = 0x340;
constexpr std::size_t kItemSlotsSize = 0x68;
constexpr std::size_t kItemSize = 20;
constexpr std::size_t kEffectSize = 264;
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

// The lists of a record in the order they lie: the 63 class lists, the 9 domain lists, then the
// innate abilities, songs and shapes.
constexpr std::size_t kLists = 75;
std::size_t listOffsetField(std::size_t list) {
  if (list < 63) return 0x3BA + 4 * list;
  if (list < 72) return 0x5B2 + 4 * (list - 63);
  return 0x5FA + 8 * (list - 72);
}
std::size_t listCountField(std::size_t list) {
  if (list < 63) return 0x4B6 + 4 * list;
  if (list < 72) return 0x5D6 + 4 * (list - 63);
  return listOffsetField(list) + 4;
}

ClassMemberDef memberOf(std::uint16_t listing, const char* name, std::vector<ClassListDef> lists) {
  ClassMemberDef member;
  member.listing = listing;
  member.name = name;
  member.lists = std::move(lists);
  return member;
}

std::vector<ClassEntryDef> spells(std::initializer_list<std::uint32_t> rows) {
  std::vector<ClassEntryDef> entries;
  for (const std::uint32_t row : rows)
    entries.push_back({row, 1, 1});
  return entries;
}

}  // namespace

std::size_t classListOffsetField(int spellClass, int level) {
  return listOffsetField(static_cast<std::size_t>(spellClass * 9 + level - 1));
}

std::size_t classListCountField(int spellClass, int level) {
  return listCountField(static_cast<std::size_t>(spellClass * 9 + level - 1));
}

Bytes makeClassRecord(const ClassMemberDef& member, std::uint32_t seed) {
  Bytes bytes;
  fill(bytes, 0, kHeaderSize, seed);
  putText(bytes, 0, "CRE V2.2", 8);
  putU32(bytes, 0x008, 0xFFFFFFFF);  // named in the party entry, as the game's saves are
  putU32(bytes, 0x00C, 0xFFFFFFFF);
  std::size_t next = kHeaderSize;
  for (std::size_t list = 0; list < kLists; ++list) {
    std::vector<ClassEntryDef> entries;
    if (list == 72) entries.assign(member.innate, ClassEntryDef{0, 1, 1});
    for (const ClassListDef& def : member.lists) {
      if (static_cast<std::size_t>(def.spellClass * 9 + def.level - 1) == list)
        entries = def.entries;
    }
    putU32(bytes, listOffsetField(list), static_cast<std::uint32_t>(next));
    putU32(bytes, listCountField(list), static_cast<std::uint32_t>(entries.size()));
    for (const ClassEntryDef& entry : entries) {
      putU32(bytes, next, entry.spell);
      putU32(bytes, next + 4, entry.memorized);
      putU32(bytes, next + 8, entry.remaining);
      putU32(bytes, next + 12, 0);
      next += 16;
    }
    // The level's slots and, for the sorcerers' lists (class 5), the free ones: the game works
    // them out again when it loads a save, so a spell taken out leaves them as they are.
    putU32(bytes, next, list < 72 ? 4 : 0);
    putU32(bytes, next + 4, list / 9 == 5 ? 1 : 0);
    next += 8;
  }
  const auto section = [&](std::size_t offsetField, std::size_t size, std::size_t count) {
    putU32(bytes, offsetField, count == 0 ? 0 : static_cast<std::uint32_t>(next));
    fill(bytes, next, next + size * count, seed + static_cast<std::uint32_t>(offsetField));
    next += size * count;
  };
  const auto slots = [&] {
    putU32(bytes, 0x612, static_cast<std::uint32_t>(next));
    fill(bytes, next, next + kItemSlotsSize, seed);
    next += kItemSlotsSize;
  };
  if (!member.itemSlotsLast) slots();
  section(0x616, kItemSize, member.items);
  putU32(bytes, 0x61A, static_cast<std::uint32_t>(member.items));
  section(0x61E, kEffectSize, member.effects);
  putU32(bytes, 0x622, static_cast<std::uint32_t>(member.effects));
  if (member.itemSlotsLast) slots();
  return bytes;
}

Bytes makeClassSave(const std::vector<ClassMemberDef>& party,
                    const std::vector<ClassMemberDef>& others, ClassSaveLayout& layout) {
  Bytes bytes;
  fill(bytes, 0, kSaveHeaderSize, 77);
  putText(bytes, 0, "GAMEV2.2", 8);
  for (const std::size_t field : {std::size_t{0x28}, std::size_t{0x78}})
    putU32(bytes, field, 0);
  // Not offsets, whatever they hold.
  putU32(bytes, 0x48, 0x7FFFFFF0);
  putU32(bytes, 0x6C, 0x7FFFFFF1);
  const auto table = [&](const std::vector<ClassMemberDef>& members, std::size_t at,
                         std::vector<ClassRecordLayout>& placed, std::uint32_t seed) {
    std::size_t next = at + members.size() * kEntrySize;
    fill(bytes, at, next, seed);
    for (std::size_t m = 0; m < members.size(); ++m) {
      const Bytes record = makeClassRecord(members[m], seed + static_cast<std::uint32_t>(m));
      const std::size_t entry = at + m * kEntrySize;
      putU16(bytes, entry + 0x02, members[m].listing);
      putU32(bytes, entry + 0x04, static_cast<std::uint32_t>(next));
      putU32(bytes, entry + 0x08, static_cast<std::uint32_t>(record.size()));
      putText(bytes, entry + 0x1BE, members[m].name, 32);
      bytes.insert(bytes.end(), record.begin(), record.end());
      placed.push_back({entry, next, record.size()});
      next += record.size();
    }
    return next;
  };
  putU32(bytes, 0x20, static_cast<std::uint32_t>(kSaveHeaderSize));
  putU32(bytes, 0x24, static_cast<std::uint32_t>(party.size()));
  layout.outOfPartyTable = table(party, kSaveHeaderSize, layout.party, 1);
  putU32(bytes, 0x30, static_cast<std::uint32_t>(layout.outOfPartyTable));
  putU32(bytes, 0x34, static_cast<std::uint32_t>(others.size()));
  layout.variables = table(others, layout.outOfPartyTable, layout.outOfParty, 41);
  putU32(bytes, 0x38, static_cast<std::uint32_t>(layout.variables));
  putU32(bytes, 0x3C, 3);
  layout.journal = layout.variables + 3 * 84;
  fill(bytes, layout.variables, layout.journal, 5);
  putU32(bytes, 0x50, static_cast<std::uint32_t>(layout.journal));
  putU32(bytes, 0x54, 2);
  layout.familiar = layout.journal + 2 * 12;
  fill(bytes, layout.journal, layout.familiar, 6);
  putU32(bytes, 0x68, static_cast<std::uint32_t>(layout.familiar));
  layout.lastDword = layout.familiar + 0x190;
  fill(bytes, layout.familiar, layout.lastDword, 8);
  putU32(bytes, layout.familiar + 0x48, static_cast<std::uint32_t>(layout.lastDword));
  putU32(bytes, layout.lastDword, 0);
  return bytes;
}

std::vector<ClassMemberDef> classParty() {
  ClassMemberDef sorcerer = memberOf(
      0, "Ilsabet Vane", {{5, 1, spells({1, 2, 3})}, {5, 2, spells({4, 10})}, {5, 3, spells({6})}});
  sorcerer.innate = 1;
  sorcerer.items = 2;
  sorcerer.effects = 1;
  // A wizard who is also a sorcerer; a row the game no longer uses and a row short of values
  // among the wizard's first-level spells.
  ClassMemberDef both = memberOf(1, "Dunmore Pike",
                                 {{5, 1, spells({3})},
                                  {5, 3, spells({7})},
                                  {6, 1, spells({2, 0, 1, 9})},
                                  {6, 2, spells({5})},
                                  {6, 4, spells({11})}});
  both.items = 1;
  both.effects = 2;
  both.itemSlotsLast = true;
  // Divine spells only: nothing of a spell book is listed.
  ClassMemberDef cleric =
      memberOf(2, "Brother Hale", {{1, 1, spells({8, 12})}, {7, 1, spells({8})}});
  ClassMemberDef innate = memberOf(3, "Wren", {});
  innate.innate = 2;
  return {sorcerer, both, cleric, innate};
}

std::vector<ClassMemberDef> classOthers() {
  return {memberOf(4, "Old Tobin", {{5, 1, spells({1})}})};
}

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
  ClassMemberDef caster = memberOf(0, "Ilsabet Vane", {});
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
