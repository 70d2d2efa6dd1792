// Exported characters: a ".chr" file given in place of the save is a party of one, listed and
// whacked in place, and its record read by its own version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/class_game.h"
#include "support/run_program.h"
#include "support/sample_set.h"
#include "support/temp_folder.h"

namespace {

using gamedata::Bytes;

// The sample's wizard exported, as make_sample writes it beside the sample.
Bytes sampleCharacter() {
  TempFolder folder;
  gamedata::writeFamilySaves(folder.path());
  return readFile(folder / gamedata::kCharacterName);
}

RunResult runWith(const SampleSet& sample, const Bytes& character,
                  std::vector<std::string> options) {
  gamedata::writeFile(sample / "hero.chr", character);
  options.insert(options.end(), {"hero.chr", gamedata::kConfigName});
  RunResult result = runGrimtrim(sample.path(), options);
  result.save = readFile(sample / "hero.chr");
  return result;
}

TEST(Characters, ACharacterIsAPartyOfOneListedAsTheSavesMember) {
  const SampleSet sample;
  const Bytes character = sampleCharacter();
  EXPECT_EQ(bannerThen("0 Selwyn\n\n\nUse -pN to select the party member"),
            runWith(sample, character, {}).output);
  EXPECT_EQ(bannerThen("0 Selwyn\nLevel 1, Spell 1: Ember Dart\nLevel 1, Spell 2: Frost Veil\n"
                       "Level 1, Spell 3: Witchlight\nLevel 1, Spell 4: Lesser Ward\n"
                       "Level 1, Spell 5: Slumber Dust\n"),
            runWith(sample, character, {"-p0", "-s1"}).output);
  EXPECT_EQ(bannerThen("oops, party member 1 lies outside the save file"),
            runWith(sample, character, {"-p1", "-s1"}).output);
  // Without a name of its own, the creature's name; any version of the header.
  Bytes unnamed = character;
  gamedata::putText(unnamed, 0, "CHR V9.9", 8);
  gamedata::putText(unnamed, 0x08, "", 32);
  EXPECT_EQ(bannerThen("0 Selwyn Ashgrove\n\n\nUse -pN to select the party member"),
            runWith(sample, unnamed, {}).output);
  // A header cut short holds nobody.
  const Bytes cut(character.begin(), character.begin() + 0x2F);
  EXPECT_EQ(bannerThen("\n\nUse -pN to select the party member"), runWith(sample, cut, {}).output);
  EXPECT_EQ(bannerThen("oops, party member 0 lies outside the save file"
                       "\n\nUse -sN to select the spell level to display"),
            runWith(sample, cut, {"-p0"}).output);
  // A record offset or size pointing anywhere: the record's own checks.
  for (const std::uint32_t offset : {0u, 0x2Fu, 0xFFFFFFF0u}) {
    Bytes misplaced = character;
    gamedata::putU32(misplaced, 0x28, offset);
    EXPECT_EQ(
        bannerThen("oops, missed CRE pointer\n\nUse -sN to select the spell level to display"),
        runWith(sample, misplaced, {"-p0"}).output);
  }
  // Neither a save nor a character: refused as before.
  EXPECT_EQ(bannerThen("<hero.chr> is not a save file, first chars are not \"GAME\""),
            runWith(sample, Bytes{'C', 'H', 'R', 'X', 0, 0}, {}).output);
}

TEST(Characters, AWhackEditsTheRecordWhereTheHeaderPlacesIt) {
  const SampleSet sample;
  const Bytes character = sampleCharacter();
  const RunResult whack = runWith(sample, character, {"-p0", "-s1", "-w3"});
  EXPECT_EQ(bannerThen("0 Selwyn\nWhacking Witchlight\n"
                       "\nfirst memorized spell of lowest spell level will be duplicated"),
            whack.output);
  // The same edit as in the save, at the offset the header gives the record.
  const RunResult inSave = sample.run({"-p0", "-s1", "-w3"});
  const Bytes saved = readFile(sample / gamedata::kSaveName);
  const std::size_t record = gamedata::getU32(saved, gamedata::getU32(saved, 0x20) + 4);
  ASSERT_EQ(character.size(), whack.save.size());
  for (std::size_t i = 0; i < character.size(); ++i) {
    const bool inRecord = i >= 0x64;
    const std::uint8_t expected = inRecord ? inSave.save[record + i - 0x64] : character[i];
    ASSERT_EQ(expected, whack.save[i]) << "at " << i;
  }
}

TEST(Characters, ACharacterKeptByClassIsWrittenAnewShorterUnderMethodOne) {
  TempFolder folder;
  gamedata::writeClassGame(folder.path());
  const std::string character = gamedata::kClassCharacter;
  const RunResult whack =
      runGrimtrim(folder.path(), {"-p0", "-s1", "-w2", character, gamedata::kClassConfigName});
  EXPECT_EQ(bannerThen("0 Ilsabet Vane\nWhacking Gloom Veil\n"
                       "\nlater lists and records moved down, the save is 16 bytes shorter"),
            whack.output);
  // The header as it was but for the record's size; the record as the game writes it without
  // the spell.
  gamedata::ClassMemberDef sorcerer = gamedata::classParty()[0];
  sorcerer.lists[0].entries.erase(sorcerer.lists[0].entries.begin() + 1);
  EXPECT_EQ(gamedata::makeCharacter("CHR V2.2", "Ilsabet Vane",
                                    gamedata::makeClassRecord(sorcerer, 1), 0x224),
            readFile(folder / character));
  // Method 0 in place, the file's size kept.
  gamedata::writeFile(folder / character, gamedata::classCharacter());
  const RunResult method0 =
      runGrimtrim(folder.path(), {"-f0", "-p0", "-s1", "-w3", character, "."});
  EXPECT_EQ(bannerThen("0 Ilsabet Vane\nWhacking Ember Ward, Remade\n"), method0.output);
  EXPECT_EQ(gamedata::classCharacter(), readFile(folder / character));
}

}  // namespace
