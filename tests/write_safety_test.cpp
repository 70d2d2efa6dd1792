// Two programs on one save, and a flush that fails.
//
// A run can be held on purpose while it has its files open: the member it reports on is named
// through a string of a mebibyte, far more than a pipe holds, and nothing reads the run's output
// until the test says so. The run then waits in the write of the member's line, after it opened
// the save and before it looked at a spell, so the test knows another run overlaps it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "gamedata/class_game.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace {

using gamedata::Bytes;
using gamedata::GameDef;
using gamedata::GameFiles;

const std::string kLongName(1 << 20, 'N');
constexpr const char* kSaveBusy = "Cannot open save file <sample.gam>";

// A caster named through the long string, with the level-1 spells Aegis, Arc Light, Ashfall.
GameDef heldGame() {
  GameDef game;
  game.spells = {{"A1", "Aegis", 1}, {"A2", "Arc Light", 1}, {"A3", "Ashfall", 1}};
  gamedata::MemberDef caster;
  caster.creatureName = kLongName;
  caster.known = {"A1", "A2", "A3"};
  caster.memorization = {{.level = 0, .slots = 2, .firstIndex = 0, .count = 1, .type = 1}};
  caster.memorized = {"A1"};
  game.party = {caster};
  return game;
}

// The save after known spell j of the caster's three is whacked under method 0: the later
// entries one place down, the last entry as it was.
Bytes afterMethodZero(const GameFiles& files, std::size_t j) {
  const std::size_t known = files.layout.members[0].known;
  Bytes save = files.save;
  std::copy(files.save.begin() + static_cast<std::ptrdiff_t>(known + (j + 1) * 12),
            files.save.begin() + static_cast<std::ptrdiff_t>(known + 3 * 12),
            save.begin() + static_cast<std::ptrdiff_t>(known + j * 12));
  return save;
}

std::vector<std::string> withFiles(std::vector<std::string> options) {
  options.push_back(gamedata::kSaveName);
  options.push_back(gamedata::kConfigName);
  return options;
}

// Waits until `run` is held in the write of the member's line: more output waits in its pipe
// than a run that gives up ever prints, and it has not ended.
void waitUntilHeld(Started& run) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (run.unread() <= 4096) {
    ASSERT_FALSE(run.ended()) << "the run ended instead of holding the save";
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the run never took the save";
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

TEST(WriteSafety, OfTwoWritersExactlyOneEdits) {
  const GameFiles files = gamedata::buildGame(heldGame());
  const std::string held = kBanner + std::string("0 ") + kLongName + "\n";
  // Each round both start together, in either order; whichever opens the save first is held
  // there, so the other must meet it.
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempFolder folder;
    gamedata::writeGame(folder.path(), files);
    const std::vector<std::string> first = withFiles({"-f0", "-p0", "-s1", "-w1"});
    const std::vector<std::string> second = withFiles({"-f0", "-p0", "-s1", "-w2"});
    Started a(folder.path(), round % 2 == 0 ? first : second);
    Started b(folder.path(), round % 2 == 0 ? second : first);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!a.ended() && !b.ended()) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "neither run gave way";
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const bool aLost = a.ended();
    const RunResult loser = aLost ? a.wait() : b.wait();
    EXPECT_EQ(kBanner + std::string(kSaveBusy), loser.output);
    EXPECT_EQ(1, loser.status);
    EXPECT_EQ(files.save, readFile(folder / gamedata::kSaveName)) << "edited before the loser";
    const RunResult winner = aLost ? b.wait() : a.wait();
    EXPECT_EQ(0, winner.status);
    const bool aegis = winner.output == held + "Whacking Aegis\n";
    const bool arcLight = winner.output == held + "Whacking Arc Light\n";
    EXPECT_TRUE(aegis || arcLight) << winner.output.substr(held.size());
    EXPECT_EQ(afterMethodZero(files, aegis ? 0 : 1), readFile(folder / gamedata::kSaveName));
  }
}

TEST(WriteSafety, ReadersShareTheSaveButNotWithAWriter) {
  const GameFiles files = gamedata::buildGame(heldGame());
  TempFolder folder;
  gamedata::writeGame(folder.path(), files);
  const std::filesystem::path save = folder / gamedata::kSaveName;
  const std::string busy = kBanner + std::string(kSaveBusy);
  {
    // A writer holds the save: a reader is turned away, and nothing is edited yet.
    Started writer(folder.path(), withFiles({"-f0", "-p0", "-s1", "-w1"}));
    waitUntilHeld(writer);
    const RunResult reader = runGrimtrim(folder.path(), withFiles({"-p0"}));
    EXPECT_EQ(busy, reader.output);
    EXPECT_EQ(1, reader.status);
    EXPECT_EQ(files.save, readFile(save));
    const RunResult edit = writer.wait();
    EXPECT_EQ(kBanner + std::string("0 ") + kLongName + "\nWhacking Aegis\n", edit.output);
    EXPECT_EQ(afterMethodZero(files, 0), readFile(save));
  }
  gamedata::writeGame(folder.path(), files);
  {
    // Two readers hold it side by side; a third reads too, and a writer is turned away.
    Started first(folder.path(), withFiles({"-p0", "-s1"}));
    Started second(folder.path(), withFiles({"-p0", "-s1"}));
    waitUntilHeld(first);
    waitUntilHeld(second);
    const RunResult third = runGrimtrim(folder.path(), withFiles({}));
    EXPECT_EQ(0, third.status);
    const RunResult writer = runGrimtrim(folder.path(), withFiles({"-f0", "-p0", "-s1", "-w1"}));
    EXPECT_EQ(busy, writer.output);
    EXPECT_EQ(1, writer.status);
    const std::string listing = kBanner + std::string("0 ") + kLongName +
                                "\nLevel 1, Spell 1: Aegis\nLevel 1, Spell 2: Arc Light\n"
                                "Level 1, Spell 3: Ashfall\n";
    EXPECT_EQ(listing, first.wait().output);
    EXPECT_EQ(listing, second.wait().output);
    EXPECT_EQ(files.save, readFile(save));
  }
}

// A disk that fails the write-back is stood in for by a library, preloaded into the program,
// whose msync always fails as an I/O error makes it fail.
TEST(WriteSafety, AFailedFlushIsReportedAsAFailure) {
  GameDef game = heldGame();
  game.party[0].partyName = "Selwyn";
  TempFolder folder;
  gamedata::writeGame(folder.path(), gamedata::buildGame(game));
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  // The address sanitizer insists on being the first library loaded; here it cannot be.
  const std::vector<std::string> failing = {
      std::string("LD_PRELOAD=") + GRIMTRIM_FAIL_FLUSH,
      std::string("ASAN_OPTIONS=") + (sanitizer ? sanitizer : "") + ":verify_asan_link_order=0"};
  const RunResult edit =
      Started(folder.path(), withFiles({"-f0", "-p0", "-s1", "-w2"}), failing).wait();
  EXPECT_EQ(kBanner + std::string("0 Selwyn\nWhacking Arc Light\n") +
                "Cannot write save file <sample.gam>",
            edit.output);
  EXPECT_EQ(1, edit.status);
  EXPECT_EQ("", edit.errors);
  // A save opened only for reading is never flushed, so the same library changes nothing.
  const RunResult list = Started(folder.path(), withFiles({"-p0", "-s1"}), failing).wait();
  EXPECT_EQ(0, list.status);
  EXPECT_EQ("", list.errors);
}

// A save written anew shorter replaces the old one only once it is whole: where the new file
// cannot be made beside it (its name taken by a folder), the old save stays as it was.
TEST(WriteSafety, ASaveThatCannotBeWrittenAnewStaysAsItWas) {
  TempFolder folder;
  gamedata::writeClassGame(folder.path());
  const std::filesystem::path save = folder / gamedata::kClassSave;
  const Bytes before = readFile(save);
  std::filesystem::create_directories(save.string() + ".grimtrim-new/taken");
  const RunResult edit = runGrimtrim(
      folder.path(), {"-p0", "-s1", "-w1", gamedata::kClassSave, gamedata::kClassConfigName});
  EXPECT_EQ(bannerThen(std::string("0 Ilsabet Vane\nWhacking Spark Needle\n") +
                       "\nlater lists and records moved down, the save is 16 bytes shorter" +
                       "Cannot write save file <" + gamedata::kClassSave + ">"),
            edit.output);
  EXPECT_EQ(1, edit.status);
  EXPECT_EQ(before, readFile(save));
}

// A save reached through a link is written anew where it lies, and the link stays a link.
TEST(WriteSafety, ASaveWrittenAnewThroughALinkIsTheOneLinkedTo) {
  TempFolder folder;
  gamedata::writeClassGame(folder.path());
  const std::filesystem::path save = folder / gamedata::kClassSave;
  const Bytes before = readFile(save);
  std::filesystem::create_symlink(std::filesystem::absolute(save), folder / "linked.gam");
  const RunResult edit =
      runGrimtrim(folder.path(), {"-p0", "-s1", "-w1", "linked.gam", gamedata::kClassConfigName});
  EXPECT_EQ(0, edit.status);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "linked.gam"));
  EXPECT_EQ(before.size() - 16, readFile(save).size());
}

// Output that cannot be written must not pass for a good run; a whack that reached the save
// stays, since the save is flushed whether the output could be written or not.
TEST(WriteSafety, OutputThatCannotBeWrittenFailsTheRun) {
  GameDef game = heldGame();
  game.party[0].partyName = "Selwyn";
  TempFolder folder;
  const GameFiles files = gamedata::buildGame(game);
  gamedata::writeGame(folder.path(), files);
  const auto runToFullDevice = [&](const std::string& options) {
    const std::string command = "cd '" + folder.path().string() + "' && '" GRIMTRIM_PROGRAM "' " +
                                options + " sample.gam sample.cfg >/dev/full 2>errors";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const auto errors = [&] {
    const Bytes bytes = readFile(folder / "errors");
    return std::string(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(1, runToFullDevice("-p0"));
  EXPECT_EQ("grimtrim: cannot write standard output\n", errors());
  EXPECT_EQ(files.save, readFile(folder / "sample.gam"));
  EXPECT_EQ(1, runToFullDevice("-f0 -p0 -s1 -w2"));
  EXPECT_EQ(afterMethodZero(files, 1), readFile(folder / "sample.gam"));
  // The help goes the same way.
  EXPECT_EQ(1, runToFullDevice("-x"));
  EXPECT_EQ("grimtrim: cannot write standard output\n", errors());
}

}  // namespace
