#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using gamedata::GameDef;
using gamedata::GameFiles;
using gamedata::MemberDef;
using gamedata::putText;
using gamedata::putU32;

constexpr const char* kLevelHint = "\n\nUse -sN to select the spell level to display";
constexpr const char* kWhackHint = "\n\nUse -wN to whack spell number N";

// The known spells P (type 1, level 1), Q (type 2, level 1), R (type 1, level 2), T (in the
// index but not in the archive) and U (type 1, level 1), in that stored order.
GameDef walk() {
  GameDef game;
  game.spells = {{"P", "Pyre", 1},
                 {"Q", "Quench", 1, 2},
                 {"R", "Rime", 2},
                 {"T", "Tide", 1, 1, true, false},
                 {"U", "Umbra", 1}};
  MemberDef caster;
  caster.partyName = "Selwyn";
  caster.known = {"P", "Q", "R", "T", "U"};
  caster.memorization = {{.level = 0, .slots = 2, .firstIndex = 0, .count = 1, .type = 1}};
  caster.memorized = {"P"};
  game.party = {caster};
  return game;
}

std::string out(const std::string& text) {
  return bannerThen("0 Selwyn\n" + text);
}

TEST(SpellListing, LevelsPrintEachTimeTheyChange) {
  const GameFiles files = gamedata::buildGame(walk());
  EXPECT_EQ(out(std::string("Level 1\nLevel 2\nLevel 1\n") + kLevelHint),
            runOn(files, {"-p0"}).output);
}

TEST(SpellListing, SpellsOfALevelAreNumberedInStoredOrder) {
  const GameFiles files = gamedata::buildGame(walk());
  EXPECT_EQ(out("Level 1, Spell 1: Pyre\nLevel 1, Spell 2: Umbra\n"),
            runOn(files, {"-p0", "-s1"}).output);
  EXPECT_EQ(out("Level 2, Spell 1: Rime\n"), runOn(files, {"-p0", "-s2"}).output);
  EXPECT_EQ(out(""), runOn(files, {"-p0", "-s3"}).output);
}

TEST(SpellListing, TheNumberedSpellIsTheOneWhacked) {
  const GameFiles files = gamedata::buildGame(walk());
  const RunResult run = runOn(files, {"-p0", "-s1", "-w2", "-f0"});
  EXPECT_EQ(out("Whacking Umbra\n"), run.output);
  // U was at position 4, the last: under method 0 nothing moves.
  EXPECT_EQ(files.save, run.save);
  const RunResult first = runOn(files, {"-p0", "-s1", "-w1", "-f0"});
  EXPECT_EQ(out("Whacking Pyre\n"), first.output);
  EXPECT_NE(files.save, first.save);
}

TEST(SpellListing, NumbersThatNoSpellHasWhackNothing) {
  const GameFiles files = gamedata::buildGame(walk());
  for (const char* number : {"-w3", "-w0", "-w-5", "-w2147483647"}) {
    const RunResult run = runOn(files, {"-p0", "-s1", number});
    EXPECT_EQ(out(kWhackHint), run.output) << number;
    EXPECT_EQ(files.save, run.save);
  }
  // Only spell-book spells count: Q is level 1 but of type 2.
  const RunResult run = runOn(files, {"-p0", "-s2", "-w2"});
  EXPECT_EQ(out(kWhackHint), run.output);
}

TEST(SpellListing, SpellsOfTypesOtherThanOneAreNeverListedCountedOrWhacked) {
  // Q (level 1) below and above type 1.
  for (const std::uint16_t type : {std::uint16_t{0}, std::uint16_t{0xFFFF}}) {
    GameDef game = walk();
    game.spells[1].type = type;
    const GameFiles files = gamedata::buildGame(game);
    EXPECT_EQ(out("Level 1, Spell 1: Pyre\nLevel 1, Spell 2: Umbra\n"),
              runOn(files, {"-p0", "-s1"}).output)
        << type;
    EXPECT_EQ(out("Whacking Umbra\n"), runOn(files, {"-p0", "-s1", "-w2", "-f0"}).output) << type;
  }
}

TEST(SpellListing, LevelMinusOnePrintsNoLineUntilAnotherLevelHas) {
  GameDef game = walk();
  game.spells[0].level = -1;  // P
  game.spells[4].level = -1;  // U
  const GameFiles files = gamedata::buildGame(game);
  EXPECT_EQ(out(std::string("Level 2\nLevel -1\n") + kLevelHint), runOn(files, {"-p0"}).output);
}

TEST(SpellListing, ASpellMissingFromTheIndexStopsTheReport) {
  GameDef game = walk();
  game.party[0].known = {"P", "R", "NOTHERE8", "U"};
  const GameFiles files = gamedata::buildGame(game);
  // At most the name's 8 bytes are printed, although the entry holds more.
  EXPECT_EQ(
      out(std::string("Level 1\nLevel 2\nknown spell <NOTHERE8> not found in .key") + kLevelHint),
      runOn(files, {"-p0", "-w1"}).output);
  const RunResult whack = runOn(files, {"-p0", "-s1", "-w2"});
  EXPECT_EQ(out("known spell <NOTHERE8> not found in .key"), whack.output);
  EXPECT_EQ(files.save, whack.save);
}

TEST(SpellListing, AnIndexEntryHoldingLocatorMinusOneCountsAsMissing) {
  GameDef game = walk();
  game.unrelatedResources = 0;
  GameFiles files = gamedata::buildGame(game);
  putU32(files.resourceIndex, files.layout.resourceTable + 2 * 14 + 10, 0xFFFFFFFF);  // R
  EXPECT_EQ(out("Level 1\nknown spell <R> not found in .key" + std::string(kLevelHint)),
            runOn(files, {"-p0"}).output);
}

TEST(SpellListing, ABadSpellHeaderStopsTheReport) {
  GameDef game = walk();
  game.spells[2].signature = "SPL1";  // R
  const GameFiles files = gamedata::buildGame(game);
  EXPECT_EQ(out("Level 1\noops, missed SPL pointer" + std::string(kLevelHint)),
            runOn(files, {"-p0"}).output);
  EXPECT_EQ(out("oops, missed SPL pointer"), runOn(files, {"-p0", "-s1", "-w2"}).output);

  game = walk();
  game.unrelatedFiles = 0;
  GameFiles outside = gamedata::buildGame(game);
  putU32(outside.spellArchive, outside.layout.fileTable + 2 * 16 + 4,  // R
         static_cast<std::uint32_t>(outside.spellArchive.size() - 0x37));
  EXPECT_EQ(out("Level 1\noops, missed SPL pointer" + std::string(kLevelHint)),
            runOn(outside, {"-p0"}).output);
}

TEST(SpellListing, KnownSpellsOutsideTheSaveStopTheReport) {
  const GameFiles whole = gamedata::buildGame(walk());
  const auto& at = whole.layout.members[0];
  const auto size = whole.save.size();
  for (const auto& [field, value] : {
           std::pair<std::size_t, std::uint32_t>{0x2A4, 0x7FFFFFFF},
           // 0x15555556 entries of 12 bytes are 8 bytes more than 4 GiB: in 32 bits, 8 bytes.
           {0x2A4, 0x15555556},
           {0x2A4, static_cast<std::uint32_t>((size - at.known) / 12 + 1)},
           {0x2A0, 0xFFFFFFFF},
           {0x2A0, static_cast<std::uint32_t>(size - at.creature - 59)},
       }) {
    GameFiles files = whole;
    putU32(files.save, at.creature + field, value);
    const RunResult run = runOn(files, {"-p0", "-s1", "-w1"});
    EXPECT_EQ(out("oops, known spells lie outside the save file"), run.output) << field;
    EXPECT_EQ(files.save, run.save);
  }
  // A negative count lists nothing, like an empty list that is not empty.
  GameFiles negative = whole;
  putU32(negative.save, at.creature + 0x2A4, 0x80000000);
  EXPECT_EQ(out(std::string(kLevelHint)), runOn(negative, {"-p0"}).output);
}

}  // namespace
