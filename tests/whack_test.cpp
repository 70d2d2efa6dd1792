#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using gamedata::Bytes;
using gamedata::GameDef;
using gamedata::GameFiles;
using gamedata::getU16;
using gamedata::getU32;
using gamedata::MemberDef;
using gamedata::putU16;
using gamedata::putU32;

constexpr const char* kDuplicated =
    "\nfirst memorized spell of lowest spell level will be duplicated";

// A caster whose known spells A1, A2, A3 are spell-book spells of level 1 (numbers 1 to 3),
// with the sections laid out as in the worked example: known spells at 0x2C0, spell
// memorization at 0x2E4 (E0: level 1, index 0, count 1; E1: level 2, index 1, count 1),
// memorized spells X1, X2 at 0x304, ending at 0x31C.
GameDef example() {
  GameDef game;
  game.spells = {{"A1", "Aegis", 1}, {"A2", "Arc Light", 1}, {"A3", "Ashfall", 1}};
  MemberDef caster;
  caster.partyName = "Selwyn";
  caster.sectionsAt = 0x2C0;
  caster.known = {"A1", "A2", "A3"};
  caster.memorization = {{.level = 0, .slots = 1, .firstIndex = 0, .count = 1, .type = 1},
                         {.level = 1, .slots = 1, .firstIndex = 1, .count = 1, .type = 1}};
  caster.memorized = {"X1", "X2"};
  game.party = {caster};
  return game;
}

// `size` bytes of `file` from `offset`.
Bytes slice(const Bytes& file, std::size_t offset, std::size_t size) {
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(offset),
               file.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

void put(Bytes& file, std::size_t offset, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string out(const std::string& text) {
  return bannerThen("0 Selwyn\n" + text);
}

// The save after a whack of known spell j under method 0: the later entries moved down by
// one, the last entry left as it was, nothing else changed.
Bytes methodZero(const GameFiles& files, std::size_t j) {
  const auto& at = files.layout.members[0];
  const std::size_t count = getU32(files.save, at.creature + 0x2A4);
  Bytes save = files.save;
  put(save, at.known + j * 12, slice(files.save, at.known + (j + 1) * 12, (count - j - 1) * 12));
  return save;
}

TEST(Whack, WorkedExampleUnderMethodOne) {
  const GameFiles files = gamedata::buildGame(example());
  const Bytes& before = files.save;
  const std::size_t c = files.layout.members[0].creature;
  ASSERT_EQ(c + 0x2E4, files.layout.members[0].memorization);
  ASSERT_EQ(c + 0x304, files.layout.members[0].memorized);

  const RunResult run = runOn(files, {"-p0", "-s1", "-w2"});
  EXPECT_EQ(out(std::string("Whacking Arc Light\n") + kDuplicated), run.output);
  EXPECT_EQ(0, run.status);

  Bytes expected = before;
  putU32(expected, c + 0x2A4, 2);      // known spells count
  putU32(expected, c + 0x2A8, 0x2D8);  // spell memorization offset (count stays 2)
  putU32(expected, c + 0x2B0, 0x2F8);  // memorized spells offset
  putU32(expected, c + 0x2B4, 3);      // memorized spells count
  const Bytes a1 = slice(before, c + 0x2C0, 12);
  const Bytes a3 = slice(before, c + 0x2D8, 12);
  Bytes e0 = slice(before, c + 0x2E4, 16);
  Bytes e1 = slice(before, c + 0x2F4, 16);
  const Bytes x1 = slice(before, c + 0x304, 12);
  const Bytes x2 = slice(before, c + 0x310, 12);
  putU16(e0, 0xC, 2);  // E0's count
  putU16(e1, 0x8, 2);  // E1's first index
  put(expected, c + 0x2C0, a1);
  put(expected, c + 0x2CC, a3);
  put(expected, c + 0x2D8, e0);
  put(expected, c + 0x2E8, e1);
  put(expected, c + 0x2F8, x1);
  put(expected, c + 0x304, x1);
  put(expected, c + 0x310, x2);
  EXPECT_EQ(expected, run.save);
}

TEST(Whack, MethodZeroLeavesTheLastSpellTwice) {
  const GameFiles files = gamedata::buildGame(example());
  const RunResult middle = runOn(files, {"-f0", "-p0", "-s1", "-w2"});
  EXPECT_EQ(out("Whacking Arc Light\n"), middle.output);
  EXPECT_EQ(methodZero(files, 1), middle.save);
  const std::size_t known = files.layout.members[0].known;
  EXPECT_EQ(slice(files.save, known + 24, 12), slice(middle.save, known + 12, 12));
  // The last spell: nothing moves, and it stays known.
  const RunResult last = runOn(files, {"-f0", "-p0", "-s1", "-w3"});
  EXPECT_EQ(out("Whacking Ashfall\n"), last.output);
  EXPECT_EQ(files.save, last.save);
}

TEST(Whack, MethodOneOnTheLastAndOnTheOnlySpell) {
  const GameFiles files = gamedata::buildGame(example());
  const std::size_t c = files.layout.members[0].creature;
  const RunResult last = runOn(files, {"-p0", "-s1", "-w3"});
  EXPECT_EQ(out(std::string("Whacking Ashfall\n") + kDuplicated), last.output);
  EXPECT_EQ(2u, getU32(last.save, c + 0x2A4));
  EXPECT_EQ(slice(files.save, c + 0x2C0, 24), slice(last.save, c + 0x2C0, 24));
  EXPECT_EQ(0x2D8u, getU32(last.save, c + 0x2A8));

  GameDef game = example();
  game.party[0].known = {"A2"};
  const GameFiles one = gamedata::buildGame(game);
  const RunResult only = runOn(one, {"-p0", "-s1", "-w1"});
  EXPECT_EQ(out(std::string("Whacking Arc Light\n") + kDuplicated), only.output);
  EXPECT_EQ(0u, getU32(only.save, c + 0x2A4));
  EXPECT_EQ(0x2C0u, getU32(only.save, c + 0x2A8));  // the old known spells offset
  EXPECT_EQ(1, getU16(only.save, c + 0x2C0 + 16));  // E1's level word, moved down
  EXPECT_EQ(0x2E0u, getU32(only.save, c + 0x2B0));
  EXPECT_EQ(slice(one.save, c + 0x2EC, 12), slice(only.save, c + 0x2E0, 12));
}

TEST(Whack, TheDuplicateGoesToTheFirstLevelOneEntryWithSlots) {
  GameDef game = example();
  // Priest level 1 without slots, priest level 2, then wizard level 1 with the spells.
  game.party[0].memorization = {{.level = 0, .slots = 0, .firstIndex = 0, .count = 0, .type = 0},
                                {.level = 1, .slots = 0, .firstIndex = 0, .count = 0, .type = 0},
                                {.level = 0, .slots = 3, .firstIndex = 0, .count = 2, .type = 1},
                                {.level = 1, .slots = 1, .firstIndex = 2, .count = 1, .type = 1}};
  game.party[0].memorized = {"X1", "X1", "X2"};
  const GameFiles files = gamedata::buildGame(game);
  const auto& at = files.layout.members[0];
  const RunResult run = runOn(files, {"-p0", "-s1", "-w1"});
  EXPECT_EQ(out(std::string("Whacking Aegis\n") + kDuplicated), run.output);
  const std::size_t moved = at.memorization - 12;
  // The entries before the found one keep their index and count words; moved, but unchanged.
  EXPECT_EQ(slice(files.save, at.memorization, 32), slice(run.save, moved, 32));
  EXPECT_EQ(3, getU16(run.save, moved + 32 + 0xC));
  EXPECT_EQ(0, getU16(run.save, moved + 32 + 0x8));
  EXPECT_EQ(3, getU16(run.save, moved + 48 + 0x8));
  EXPECT_EQ(1, getU16(run.save, moved + 48 + 0xC));
  EXPECT_EQ(4u, getU32(run.save, at.creature + 0x2B4));
}

TEST(Whack, UnknownMethodsWarnThenActAsMethodOne) {
  const GameFiles files = gamedata::buildGame(example());
  const RunResult one = runOn(files, {"-p0", "-s1", "-w2"});
  for (const char* method : {"-f7", "-f-1", "-f2147483647"}) {
    const RunResult run = runOn(files, {method, "-p0", "-s1", "-w2"});
    EXPECT_EQ(out("Whacking Arc Light\n\nunknown free space method " + std::string(method + 2) +
                  ", using default" + kDuplicated),
              run.output);
    EXPECT_EQ(one.save, run.save);
  }
}

TEST(Whack, SixteenBitSumsWrapWithoutCarry) {
  GameDef game = example();
  game.party[0].memorization[0].count = 0xFFFF;
  game.party[0].memorization[1].firstIndex = 0xFFFF;
  GameFiles files = gamedata::buildGame(game);
  const auto& at = files.layout.members[0];
  putU16(files.save, at.memorization + 0xE, 0x1234);  // words never touched
  putU16(files.save, at.memorization + 16 + 0xA, 0x5678);
  const RunResult run = runOn(files, {"-p0", "-s1", "-w2"});
  const std::size_t moved = at.memorization - 12;
  EXPECT_EQ(0, getU16(run.save, moved + 0xC));
  EXPECT_EQ(0x1234, getU16(run.save, moved + 0xE));
  EXPECT_EQ(0, getU16(run.save, moved + 16 + 0x8));
  EXPECT_EQ(0x5678, getU16(run.save, moved + 16 + 0xA));
}

// Every check that fails before method 1 stores anything leaves the save as method 0 does.
TEST(Whack, FailedChecksLeaveTheMethodZeroState) {
  const GameFiles whole = gamedata::buildGame(example());
  const std::size_t c = whole.layout.members[0].creature;
  const std::string whacking = "Whacking Arc Light\n";
  struct Case {
    std::vector<std::pair<std::size_t, std::uint32_t>> fields;
    std::string expected;
  };
  for (const Case& test : {
           Case{{{0x2A8, 0x2E8}},
                whacking + "oops, end of known spells not base of spell memorizatin"},
           Case{{{0x2B0, 0x300}},
                whacking + "oops, end of spell memorization not base of memorized spells"},
           // m < 0 that still meets the layout check.
           Case{{{0x2AC, 0xFFFFFFFF}, {0x2B0, 0x2D4}},
                whacking + "\noops, spell sections lie outside the save file"},
           // Counted in 64 bits, -2^31 entries of 16 bytes do not wrap around to nothing.
           Case{{{0x2AC, 0x80000000}, {0x2B0, 0x2E4}},
                whacking + "oops, end of spell memorization not base of memorized spells"},
           Case{{{0x2B4, 0xFFFFFFFF}},
                whacking + "\noops, spell sections lie outside the save file"},
           Case{{{0x2B4, 0}},
                whacking + "\nno memorized spell to duplicate, free space left as by method 0"},
           Case{{{0x2AC, 0}, {0x2B0, 0x2E4}},
                whacking + "\nno spell level 1 memorization entry, free space left as by method 0"},
       }) {
    GameFiles files = whole;
    for (const auto& [field, value] : test.fields)
      putU32(files.save, c + field, value);
    const RunResult run = runOn(files, {"-p0", "-s1", "-w2"});
    EXPECT_EQ(out(test.expected), run.output);
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(methodZero(files, 1), run.save) << test.expected;
  }
  // No entry of spell level 1 with slots: E0's slots word is 0.
  GameFiles files = whole;
  putU16(files.save, whole.layout.members[0].memorization + 2, 0);
  const RunResult run = runOn(files, {"-p0", "-s1", "-w2", "-f9"});
  EXPECT_EQ(out(whacking + "\nunknown free space method 9, using default" +
                "\nno spell level 1 memorization entry, free space left as by method 0"),
            run.output);
  EXPECT_EQ(methodZero(files, 1), run.save);
}

TEST(Whack, MemorizedSpellsReachingTheEndOfTheFile) {
  GameFiles files = gamedata::buildGame(example());
  const auto& at = files.layout.members[0];
  const std::size_t end = at.memorized + 2 * 12;
  files.save.resize(end);  // the memorized spells are the file's last bytes
  const RunResult run = runOn(files, {"-p0", "-s1", "-w2"});
  EXPECT_EQ(out(std::string("Whacking Arc Light\n") + kDuplicated), run.output);
  EXPECT_EQ(end, run.save.size());
  putU32(files.save, at.creature + 0x2B4, 3);  // one memorized spell more than the file holds
  const RunResult outside = runOn(files, {"-p0", "-s1", "-w2"});
  EXPECT_EQ(out("Whacking Arc Light\n\noops, spell sections lie outside the save file"),
            outside.output);
  EXPECT_EQ(methodZero(files, 1), outside.save);
}

}  // namespace
