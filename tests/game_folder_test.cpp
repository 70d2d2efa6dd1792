// The game's folder in place of a configuration file: spells found as the installed game finds
// them, end to end on an installation laid out as current editions lay theirs out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/installation.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

class Installed {
 public:
  Installed() {
    fs::create_directories(game_);
    gamedata::writeInstallation(game_, false);
  }
  // A path in the game's folder; "../" leads out of it into the test's own folder.
  [[nodiscard]] fs::path operator/(const fs::path& part) const { return game_ / part; }
  // Runs grimtrim in the game's folder on the newer save, naming the folder as ".".
  [[nodiscard]] RunResult run(std::vector<std::string> options) const {
    options.push_back(gamedata::kInstalledSave);
    options.push_back(".");
    return runGrimtrim(game_, options);
  }

 private:
  TempFolder folder_;
  fs::path game_ = folder_.path() / "game";
};

// What Orla Venn's level-1 spells list as when every file of the installation is read.
constexpr char kLevelOne[] =
    "1 Orla Venn\nLevel 1, Spell 1: Ember Dart\nLevel 1, Spell 2: Frost Veil, Reworked\n"
    "Level 1, Spell 3: Witchlight\nLevel 1, Spell 4: Hush of Ash\n";

TEST(GameFolder, FindsSpellsAsTheGameDoes) {
  const Installed game;
  // Override first (a loose file replaces the archive's Frost Veil; loose names in any case),
  // the index's spell entries by name regardless of case (an entry of another type with the
  // same name comes first), the archive its locator numbers, entries holding file parts only;
  // a spell of an archive that is missing is passed over; a priest spell is not listed.
  const RunResult levels = game.run({"-p0"});
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 1\nLevel 2\nLevel 1\nLevel 3\nLevel 1\nLevel 2\n"
                       "\n\nUse -sN to select the spell level to display"),
            levels.output);
  EXPECT_EQ(0, levels.status);
  if (errorsCollected()) {
    EXPECT_NE(std::string::npos, levels.errors.find("data/patch/Lost.bif"));
    EXPECT_NE(std::string::npos, levels.errors.find("en_US"));
  }

  EXPECT_EQ(bannerThen(kLevelOne), game.run({"-p0", "-s1"}).output);
  // Level 2 is held by two archives and the override folder together.
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 2, Spell 1: Spark Swarm\nLevel 2, Spell 2: Mirror Haze\n"
                       "Level 2, Spell 3: Shade Blade\nLevel 2, Spell 4: Sticky Strands\n"),
            game.run({"-p0", "-s2"}).output);
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 3, Spell 1: Storm Lance\n"),
            game.run({"-p0", "-s3"}).output);

  // The party's names need no spell, and a save in another folder is read the same way.
  EXPECT_EQ(bannerThen("1 Orla Venn\n2 Bramwick\n3 Tamsin\n4 Ilse -- no spells\n"
                       "\n\nUse -pN to select the party member"),
            game.run({}).output);
}

TEST(GameFolder, ANameThatIsNowhereStopsTheMemberAndNeverOpensAPath) {
  const Installed game;
  // Tamsin knows "../WZ1": it names no loose file (never a path built from the save's bytes),
  // even with a file of that name beside the override folder, and the index lacks it.
  gamedata::writeFile(game / "WZ1.spl", std::string("SPL V1  "));
  const RunResult run = game.run({"-p2", "-s1"});
  EXPECT_EQ(
      bannerThen("3 Tamsin\nLevel 1, Spell 1: Witchlight\nknown spell <../WZ1> not found in .key"),
      run.output);
  EXPECT_EQ(0, run.status);
}

TEST(GameFolder, AnArchivePathOutOfTheFolderIsNeverFollowed) {
  const Installed game;
  // The index sends the spell archive up and out, where a copy of it lies: the archive counts
  // as missing, and only the loose spells are listed.
  gamedata::Bytes index = readFile(game / gamedata::kInstalledIndexName);
  const std::string stored = "data\\SPELLS.BIF";
  const auto at = std::search(index.begin(), index.end(), stored.begin(), stored.end());
  ASSERT_NE(index.end(), at);
  gamedata::putText(index, static_cast<std::size_t>(at - index.begin()), "..\\x\\SPELLS.BIF",
                    stored.size());
  gamedata::writeFile(game / gamedata::kInstalledIndexName, index);
  fs::create_directories(game / "../x");
  fs::copy_file(game / "data/spells.bif", game / "../x/SPELLS.BIF");
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 1, Spell 1: Frost Veil, Reworked\n"
                       "Level 1, Spell 2: Hush of Ash\n"),
            game.run({"-p0", "-s1"}).output);
}

TEST(GameFolder, AnEmptyLooseSpellGivesWayToTheArchives) {
  const Installed game;
  // An empty loose file is no spell: the archive's Frost Veil is listed in its place.
  gamedata::writeFile(game / "override/wz1veil.SPL", std::string());
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 1, Spell 1: Ember Dart\nLevel 1, Spell 2: Frost Veil\n"
                       "Level 1, Spell 3: Witchlight\nLevel 1, Spell 4: Hush of Ash\n"),
            game.run({"-p0", "-s1"}).output);
}

TEST(GameFolder, WithoutEnUsTheFirstLanguageByNameIsRead) {
  const Installed game;
  // de_DE and fr_FR are left; fr_FR's table holds no strings, so reading it would show in the
  // spells' names.
  fs::remove_all(game / "lang/en_US");
  fs::create_directories(game / "lang/fr_FR");
  gamedata::writeFile(game / "lang/fr_FR/dialog.tlk", gamedata::makeStringTable({}));
  EXPECT_EQ(bannerThen(kLevelOne), game.run({"-p0", "-s1"}).output);
}

TEST(GameFolder, WhacksTheSpellItListsAndWritesNothingElse) {
  const Installed game;
  const fs::path save = game / gamedata::kInstalledSave;
  const auto before = fs::file_size(save);
  const fs::path index = game / gamedata::kInstalledIndexName;
  const auto indexTime = fs::last_write_time(index);
  const RunResult whack = game.run({"-p0", "-s2", "-w3"});
  EXPECT_EQ(bannerThen("1 Orla Venn\nWhacking Shade Blade\n"
                       "\nfirst memorized spell of lowest spell level will be duplicated"),
            whack.output);
  EXPECT_EQ(0, whack.status);
  EXPECT_EQ(before, fs::file_size(save));
  EXPECT_EQ(indexTime, fs::last_write_time(index));
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 2, Spell 1: Spark Swarm\nLevel 2, Spell 2: Mirror Haze\n"
                       "Level 2, Spell 3: Sticky Strands\n"),
            game.run({"-p0", "-s2"}).output);
}

TEST(GameFolder, AFolderWithoutOneIndexOrAStringTableIsRefused) {
  const Installed game;
  fs::copy_file(game / gamedata::kInstalledIndexName, game / "Second.KEY");
  const RunResult several = game.run({"-p0"});
  EXPECT_EQ(bannerThen("more than one .key file in game folder <.>"), several.output);
  EXPECT_EQ(1, several.status);

  fs::remove(game / gamedata::kInstalledIndexName);
  fs::remove(game / "Second.KEY");
  const RunResult none = game.run({"-p0"});
  EXPECT_EQ(bannerThen("no .key file in game folder <.>"), none.output);
  EXPECT_EQ(1, none.status);

  fs::remove_all(game / "lang");
  const RunResult noTable = game.run({"-p0"});
  EXPECT_EQ(bannerThen("no dialog.tlk in game folder <.>"), noTable.output);
  EXPECT_EQ(1, noTable.status);
}

TEST(GameFolder, AnArchiveThatCannotBeUsedOnlyPassesItsSpellsOver) {
  const Installed game;
  // The expansion's archive replaced by something else: its spells are passed over, and
  // standard error says which archive it was, once.
  gamedata::writeFile(game / "data/expansion.bif", std::string("not an archive at all"));
  const RunResult run = game.run({"-p0", "-s2"});
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 2, Spell 1: Spark Swarm\nLevel 2, Spell 2: Mirror Haze\n"
                       "Level 2, Spell 3: Sticky Strands\n"),
            run.output);
  EXPECT_EQ(0, run.status);
  if (!errorsCollected()) return;
  const std::size_t first = run.errors.find("data/Expansion.bif");
  ASSERT_NE(std::string::npos, first);
  EXPECT_EQ(std::string::npos, run.errors.find("data/Expansion.bif", first + 1));
}

}  // namespace
