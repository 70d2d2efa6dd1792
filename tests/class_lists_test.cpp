// Spell books kept by class: the game's spell table read, the lists walked in the game's order,
// and a spell whacked under both methods as the game would have written the member without it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/text_table.h"
#include "gamedata/class_game.h"
#include "support/in_process.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace {

using gamedata::Bytes;
using gamedata::ClassMemberDef;

std::string nameOf(ResRef name) {
  std::string text;
  for (unsigned i = 0; i < 8 && (name >> (8 * i) & 0xFF) != 0; ++i)
    text += static_cast<char>(name >> (8 * i));
  return text;
}

std::vector<std::string> namesIn(Bytes table, std::size_t value) {
  std::vector<std::string> names;
  for (const ResRef name : tableNames(viewOf(table), value))
    names.push_back(nameOf(name));
  return names;
}

// The class game in a folder of its own; runs take the save and either the folder or the
// configuration file.
class ClassGame {
 public:
  ClassGame() { gamedata::writeClassGame(folder_.path()); }
  [[nodiscard]] std::filesystem::path path(const char* name) const { return folder_ / name; }
  [[nodiscard]] Bytes save() const { return readFile(folder_ / gamedata::kClassSave); }
  void setSave(const Bytes& bytes) const {
    gamedata::writeFile(folder_ / gamedata::kClassSave, bytes);
  }
  [[nodiscard]] RunResult run(std::vector<std::string> options, bool folderForm = false) const {
    options.push_back(gamedata::kClassSave);
    options.push_back(folderForm ? "." : gamedata::kClassConfigName);
    RunResult result = runGrimtrim(folder_.path(), options);
    result.save = save();
    return result;
  }

 private:
  TempFolder folder_;
};

TEST(ClassLists, TheSpellTableIsReadAsTheGameReadsIt) {
  const std::vector<std::string> plain = {
      "****",    "CS1SPARK", "CS1GLOOM", "CS1EMBWR", "CS2STILL", "CS2THORN", "CS3ASH",
      "CS3KNOT", "CD1HEAL",  "****",     "CS2GALE",  "CS4STAR",  "CD1CALM"};
  EXPECT_EQ(plain, namesIn(gamedata::classSpellTable(false), 8));
  std::vector<std::string> remade = plain;
  remade[3] = "CS1EMBMD";
  EXPECT_EQ(remade, namesIn(gamedata::obfuscatedTable(gamedata::classSpellTable(true)), 8));
  // The label, and a value past every row's: the default for all.
  EXPECT_EQ("SPARK_NE", namesIn(gamedata::classSpellTable(false), 0)[1]);
  EXPECT_EQ(std::vector<std::string>(13, "****"), namesIn(gamedata::classSpellTable(false), 40));
  // Without a default, a short row names nothing; one line only, or none, holds no rows.
  const std::string bare = "2DA V1.0\n\nA B\nx 1\ny 1 Named\n";
  EXPECT_EQ((std::vector<std::string>{"", "NAMED"}), namesIn(Bytes(bare.begin(), bare.end()), 2));
  EXPECT_TRUE(namesIn(Bytes{'2', 'D', 'A'}, 8).empty());
  EXPECT_TRUE(namesIn(Bytes{}, 8).empty());
  EXPECT_TRUE(namesIn(Bytes{0xFF, 0xFF}, 8).empty());
  // Cut anywhere, obfuscated or not: never more rows than the whole, and never a read past it.
  for (const Bytes& whole : {gamedata::classSpellTable(false),
                             gamedata::obfuscatedTable(gamedata::classSpellTable(true))}) {
    for (std::size_t n = 0; n < whole.size(); ++n) {
      Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_LE(tableNames(viewOf(cut), 8).size(), plain.size()) << "cut to " << n;
    }
  }
}

TEST(ClassLists, ListsAreWalkedByClassThenLevelAndNumberedAcrossThem) {
  const ClassGame game;
  EXPECT_EQ(bannerThen("0 Ilsabet Vane\n1 Dunmore Pike\n2 Brother Hale\n3 Wren -- no spells\n"
                       "\n\nUse -pN to select the party member"),
            game.run({}).output);
  EXPECT_EQ(bannerThen("1 Dunmore Pike\nLevel 1 (Sorcerer)\nLevel 3 (Sorcerer)\nLevel 1 (Wizard)\n"
                       "Level 2 (Wizard)\nLevel 4 (Wizard)\n"
                       "\n\nUse -sN to select the spell level to display"),
            game.run({"-p1"}).output);
  EXPECT_EQ(bannerThen(
                "1 Dunmore Pike\nLevel 1, Spell 1: Ember Ward (Sorcerer)\n"
                "Level 1, Spell 2: Gloom Veil (Wizard)\nLevel 1, Spell 3: Spark Needle (Wizard)\n"),
            game.run({"-p1", "-s1"}).output);
  // The folder form reads the override folder's table first: a mod's spell in place of one.
  EXPECT_EQ(bannerThen(
                "1 Dunmore Pike\nLevel 1, Spell 1: Ember Ward, Remade (Sorcerer)\n"
                "Level 1, Spell 2: Gloom Veil (Wizard)\nLevel 1, Spell 3: Spark Needle (Wizard)\n"),
            game.run({"-p1", "-s1"}, true).output);
  // Divine spells only: the lists are not empty, but hold nothing of a spell book.
  EXPECT_EQ(bannerThen("2 Brother Hale\n\n\nUse -wN to whack spell number N"
                       "\n\nUse -sN to select the spell level to display"),
            game.run({"-p2", "-w1"}).output);
  EXPECT_EQ(bannerThen("3 Wren -- no spells\n\n\nUse -sN to select the spell level to display"),
            game.run({"-p3"}).output);
}

TEST(ClassLists, DamageStopsTheMemberWithItsMessage) {
  const ClassGame game;
  const Bytes whole = game.save();
  const std::size_t record = gamedata::getU32(whole, 0xB4 + 0x340 + 4);  // member 1
  const auto runWith = [&](std::size_t field, std::uint32_t value,
                           std::vector<std::string> options) {
    Bytes save = whole;
    gamedata::putU32(save, field, value);
    game.setSave(save);
    return game.run(std::move(options)).output;
  };
  const std::size_t wizardFirst =
      record + gamedata::getU32(whole, record + gamedata::classListOffsetField(6, 1));
  // The sorcerer's lists are walked before the number that is no row stops the walk.
  EXPECT_EQ(bannerThen("1 Dunmore Pike\nLevel 1, Spell 1: Ember Ward (Sorcerer)\n"
                       "oops, spell number 4294967295 is not a row of LISTSPLL.2DA"),
            runWith(wizardFirst, 0xFFFFFFFF, {"-p1", "-s1"}));
  EXPECT_EQ(bannerThen("1 Dunmore Pike\noops, known spells lie outside the save file"
                       "\n\nUse -sN to select the spell level to display"),
            runWith(record + gamedata::classListCountField(6, 4), 0x10000000, {"-p1"}));
  // A record cut inside its header is no record.
  Bytes cut = whole;
  cut.resize(gamedata::getU32(whole, 0xB4 + 4) + 0x62E - 4);
  game.setSave(cut);
  EXPECT_EQ(bannerThen("oops, missed CRE pointer\n\nUse -pN to select the party member"),
            game.run({}).output);

  // The table nowhere: neither in the override folder nor in the index.
  game.setSave(whole);
  std::filesystem::remove(game.path("override/ListSpll.2DA"));
  Bytes index = readFile(game.path("realm.key"));
  for (std::size_t at = 0; at + 8 <= index.size(); ++at) {
    if (std::string(index.begin() + static_cast<std::ptrdiff_t>(at),
                    index.begin() + static_cast<std::ptrdiff_t>(at + 8)) == "ListSpll") {
      index[at] = 'X';
    }
  }
  gamedata::writeFile(game.path("realm.key"), index);
  for (const bool folderForm : {false, true}) {
    EXPECT_EQ(bannerThen("0 Ilsabet Vane\nspell table LISTSPLL.2DA not found"
                         "\n\nUse -sN to select the spell level to display"),
              game.run({"-p0"}, folderForm).output);
  }
}

// The save the game writes for `party` and the member out of the party.
Bytes savedWith(const std::vector<ClassMemberDef>& party) {
  gamedata::ClassSaveLayout layout;
  return gamedata::makeClassSave(party, gamedata::classOthers(), layout);
}

TEST(ClassLists, MethodOneWritesTheSaveAsTheGameWritesTheMemberWithoutTheSpell) {
  const ClassGame game;
  const Bytes whole = game.save();
  ASSERT_EQ(savedWith(gamedata::classParty()), whole);
  // A member before others, a list not the last, an entry not the last of its list.
  const RunResult first = game.run({"-p0", "-s1", "-w2"});
  EXPECT_EQ(bannerThen("0 Ilsabet Vane\nWhacking Gloom Veil\n"
                       "\nlater lists and records moved down, the save is 16 bytes shorter"),
            first.output);
  EXPECT_EQ(0, first.status);
  std::vector<ClassMemberDef> party = gamedata::classParty();
  party[0].lists[0].entries.erase(party[0].lists[0].entries.begin() + 1);
  EXPECT_EQ(savedWith(party), first.save);
  EXPECT_FALSE(std::filesystem::exists(game.path(gamedata::kClassSave).string() + ".grimtrim-new"));

  // A record whose item slots come last; any method but 0 acts as 1.
  game.setSave(whole);
  const RunResult modOrdered = game.run({"-f7", "-p1", "-s1", "-w3"});
  EXPECT_EQ(bannerThen("1 Dunmore Pike\nWhacking Spark Needle\n"
                       "\nunknown free space method 7, using default"
                       "\nlater lists and records moved down, the save is 16 bytes shorter"),
            modOrdered.output);
  party = gamedata::classParty();
  party[1].lists[2].entries.erase(party[1].lists[2].entries.begin() + 2);
  EXPECT_EQ(savedWith(party), modOrdered.save);
}

TEST(ClassLists, MethodZeroAndARecordUnfitForMethodOneEditInPlace) {
  const ClassGame game;
  const Bytes whole = game.save();
  const std::size_t entry = 0xB4;  // member 0's party entry
  const std::size_t record = gamedata::getU32(whole, entry + 4);
  const std::size_t list =
      record + gamedata::getU32(whole, record + gamedata::classListOffsetField(5, 1));
  // The entries after the whacked one move down; the last stays, its amounts 0.
  Bytes expected = whole;
  for (std::size_t i = 0; i < 32; ++i)
    expected[list + i] = whole[list + 16 + i];
  gamedata::putU32(expected, list + 32 + 4, 0);
  gamedata::putU32(expected, list + 32 + 8, 0);
  const RunResult method0 = game.run({"-f0", "-p0", "-s1", "-w1"});
  EXPECT_EQ(bannerThen("0 Ilsabet Vane\nWhacking Spark Needle\n"), method0.output);
  EXPECT_EQ(expected, method0.save);
  // The last entry of its list: nothing changes.
  game.setSave(whole);
  EXPECT_EQ(whole, game.run({"-f0", "-p0", "-s1", "-w3"}).save);

  // A record size that cannot hold the lists, or runs past the save: left as method 0 leaves it.
  for (const std::uint32_t size : {0u, 0x62Eu, 0xFFFFFFF0u}) {
    Bytes unfit = whole;
    gamedata::putU32(unfit, entry + 8, size);
    game.setSave(unfit);
    const RunResult refused = game.run({"-p0", "-s1", "-w1"});
    EXPECT_EQ(bannerThen("0 Ilsabet Vane\nWhacking Spark Needle\n"
                         "\noops, spell sections lie outside the save file"),
              refused.output);
    Bytes left = expected;
    gamedata::putU32(left, entry + 8, size);
    EXPECT_EQ(left, refused.save) << "size " << size;
  }
}

}  // namespace
