// Saves of the family's other games: the party laid out by the save's version and its first
// member's creature, and each creature read by its own version.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "formats/creature.h"
#include "support/in_process.h"
#include "support/run_program.h"

namespace {

using gamedata::Bytes;
using gamedata::GameDef;
using gamedata::GameFiles;
using gamedata::SaveFormat;

GameFiles sampleIn(SaveFormat format) {
  GameDef game = gamedata::sampleGame();
  game.format = format;
  return gamedata::buildGame(game);
}

// The offsets a run changed in member `m`'s creature record, from the record's start less
// `shift`: where the same change stands in a record of version 1.0.
std::set<std::uint64_t> changedInCreature(const GameFiles& files, const Bytes& after, std::size_t m,
                                          std::uint64_t shift) {
  std::set<std::uint64_t> changed;
  const std::uint64_t creature = files.layout.members[m].creature;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] != files.save[i]) changed.insert(i - creature - shift);
  }
  return changed;
}

TEST(SaveLayouts, TheLayoutIsTheSavesVersionAndItsFirstCreaturesAndElseTheUsualOne) {
  const SaveLayout usual{0x160, 0xC0};
  const GameFiles longHeader = sampleIn(SaveFormat::LongHeader);
  Bytes save = sampleIn(SaveFormat::Usual).save;
  EXPECT_EQ(usual, saveLayoutOf(viewOf(save)));
  save = longHeader.save;
  EXPECT_EQ((SaveLayout{0x180, 0xC0}), saveLayoutOf(viewOf(save)));
  save = sampleIn(SaveFormat::LongestHeader).save;
  EXPECT_EQ((SaveLayout{0x168, 0xC8}), saveLayoutOf(viewOf(save)));
  save = gamedata::buildGame(gamedata::classGame()).save;
  EXPECT_EQ((SaveLayout{0x340, 0x1BE}), saveLayoutOf(viewOf(save)));

  // A save of version 1.1 whose first member cannot tell: the usual layout.
  const std::size_t first = longHeader.layout.members[0].creature;
  const std::vector<std::pair<std::size_t, std::uint32_t>> damage = {
      {4, 0x302E3256},          // "V2.0": another version, whatever the creatures say
      {first + 4, 0x302E3156},  // the first creature is "V1.0"
      {0x24, 0},                // no first member
      {0xB4 + 4, 0xFFFFFFF0},   // its creature lies past the end of the file
  };
  for (const auto& [offset, value] : damage) {
    save = longHeader.save;
    gamedata::putU32(save, offset, value);
    EXPECT_EQ(usual, saveLayoutOf(viewOf(save))) << "at " << offset;
  }
  save.assign(longHeader.save.begin(), longHeader.save.begin() + 0xB4 + 6);  // cut in its entry
  EXPECT_EQ(usual, saveLayoutOf(viewOf(save)));
}

TEST(SaveLayouts, LongerCreatureHeadersListAndWhackAsVersionOneDoes) {
  const GameFiles usual = sampleIn(SaveFormat::Usual);
  const std::string whacked =
      "1 Brother Aldric\nWhacking Feather Step\n"
      "\nfirst memorized spell of lowest spell level will be duplicated";
  for (const auto& [format, shift] : {std::pair{SaveFormat::LongHeader, std::uint64_t{0x68}},
                                      std::pair{SaveFormat::LongestHeader, std::uint64_t{0xA4}}}) {
    const GameFiles files = sampleIn(format);
    EXPECT_EQ(bannerThen("0 Selwyn\n1 Brother Aldric\n2 Tamsin -- no spells\n3 Quill\n4 Maren\n"
                         "5 Hollis the Grey\n\n\nUse -pN to select the party member"),
              runOn(files).output);
    EXPECT_EQ(bannerThen("0 Selwyn\nLevel 1, Spell 1: Ember Dart\nLevel 1, Spell 2: Frost Veil\n"
                         "Level 1, Spell 3: Witchlight\nLevel 1, Spell 4: Lesser Ward\n"
                         "Level 1, Spell 5: Slumber Dust\n"),
              runOn(files, {"-p0", "-s1"}).output);
    const RunResult one = runOn(files, {"-p1", "-s1", "-w1"});
    EXPECT_EQ(bannerThen(whacked), one.output);
    // Brother Aldric's 7 known spells are 6, in the count field of the longer header.
    EXPECT_EQ(6u, gamedata::getU32(one.save, files.layout.members[1].creature + shift + 0x2A4));
    // The bytes changed are those a whack changes in version 1.0, moved by the longer header.
    EXPECT_EQ(changedInCreature(usual, runOn(usual, {"-p1", "-s1", "-w1"}).save, 1, 0),
              changedInCreature(files, one.save, 1, shift));
    const RunResult zero = runOn(files, {"-f0", "-p0", "-s1", "-w3"});
    EXPECT_EQ(bannerThen("0 Selwyn\nWhacking Witchlight\n"), zero.output);
    EXPECT_EQ(changedInCreature(usual, runOn(usual, {"-f0", "-p0", "-s1", "-w3"}).save, 0, 0),
              changedInCreature(files, zero.save, 0, shift));
  }
}

TEST(SaveLayouts, ACreatureCutInsideItsLongerHeaderIsMissed) {
  // The save ends 8 bytes past where a version 1.0 record's spell fields end, short of where
  // the last member's own fields end.
  for (const SaveFormat format : {SaveFormat::LongHeader, SaveFormat::LongestHeader}) {
    GameFiles files = sampleIn(format);
    files.save.resize(files.layout.members.back().creature + 0x2B8 + 8);
    EXPECT_EQ(bannerThen("0 Selwyn\n1 Brother Aldric\n2 Tamsin -- no spells\n3 Quill\n4 Maren\n"
                         "oops, missed CRE pointer\n\nUse -pN to select the party member"),
              runOn(files).output);
  }
}

TEST(SaveLayouts, SpellsKeptByClassNeedTheGamesSpellTable) {
  // The sample's data files hold no spell table: the member's spells cannot be named, and its
  // save is left as it was.
  const GameFiles files = gamedata::buildGame(gamedata::classGame());
  EXPECT_EQ(bannerThen("1 Ysolde Marrow -- no spells\n2 Corvin Ashe\n"
                       "\n\nUse -pN to select the party member"),
            runOn(files).output);
  EXPECT_EQ(bannerThen("2 Corvin Ashe\nspell table LISTSPLL.2DA not found"
                       "\n\nUse -sN to select the spell level to display"),
            runOn(files, {"-p1"}).output);
  const RunResult whack = runOn(files, {"-p1", "-s1", "-w1"});
  EXPECT_EQ(bannerThen("2 Corvin Ashe\nspell table LISTSPLL.2DA not found"), whack.output);
  EXPECT_EQ(0, whack.status);
  EXPECT_EQ(files.save, whack.save);

  // Spells of a book are known through any class or domain list: the last of each; innate
  // abilities, songs and shapes are none.
  for (const std::uint64_t count : {0x4B6u + 62 * 4, 0x5D6u + 8 * 4, 0x5FEu, 0x606u, 0x60Eu}) {
    Bytes save = files.save;
    gamedata::putU32(save, files.layout.members[0].creature + count, 1);
    const std::optional<PartyMember> idle =
        PartyMember::at(viewOf(save), saveLayoutOf(viewOf(save)), 0);
    ASSERT_TRUE(idle.has_value());
    EXPECT_EQ(count < 0x5FE, Creature::of(*idle)->knowsSpells()) << "count at " << count;
  }
}

}  // namespace
