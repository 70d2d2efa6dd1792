// A file that another program cuts short while the run has it mapped. The cut is made by a
// library preloaded into the program, right after the program maps the file, so no timing
// decides where the run meets it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using gamedata::GameDef;
using gamedata::GameFiles;

// The caster's known spells lie past the first pages of the save, as do the spell names in the
// resource index: whatever is cut to one page still holds the party table and the creature's
// fixed fields, so the member's line is printed before the run meets the cut.
GameDef farGame() {
  GameDef game;
  game.spells = {{"A1", "Aegis", 1}, {"A2", "Arc Light", 1}};
  game.unrelatedResources = 4000;
  gamedata::MemberDef caster;
  caster.partyName = "Selwyn";
  caster.known = {"A1", "A2"};
  caster.sectionsAt = 0x8000;
  caster.memorization = {{.level = 0, .slots = 2, .firstIndex = 0, .count = 1, .type = 1}};
  caster.memorized = {"A1"};
  game.party = {caster};
  return game;
}

// Runs grimtrim on a fresh copy of the game with `options`, the file named `cut` shortened as
// soon as the program has mapped it.
struct CutRun {
  RunResult result;
  bool coreFile = false;  // the run left a core file behind
};

CutRun runCut(const GameFiles& files, const std::string& cut, std::vector<std::string> options,
              bool elsewhere = false) {
  TempFolder folder;
  gamedata::writeGame(folder.path(), files);
  options.push_back(gamedata::kSaveName);
  options.push_back(gamedata::kConfigName);
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  // The address sanitizer insists on being the first library loaded; here it cannot be.
  std::vector<std::string> environment = {
      std::string("LD_PRELOAD=") + GRIMTRIM_CUT_SHORT, "CUT_SHORT_FILE=" + cut,
      std::string("ASAN_OPTIONS=") + (sanitizer ? sanitizer : "") + ":verify_asan_link_order=0"};
  if (elsewhere) environment.push_back("CUT_SHORT_ELSEWHERE=1");
  CutRun run;
  run.result = Started(folder.path(), options, environment).wait();
  run.result.save = readFile(folder / gamedata::kSaveName);
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    run.coreFile |= entry.path().filename().string().starts_with("core");
  return run;
}

bool pagesTooLarge() {
  return ::sysconf(_SC_PAGESIZE) > 0x4000;
}

TEST(CutShort, ASaveCutShortEndsTheListingAndTheWhackWithAMessage) {
  if (pagesTooLarge()) GTEST_SKIP() << "pages too large for the known spells to lie past one";
  const GameFiles files = gamedata::buildGame(farGame());
  const std::string message =
      "grimtrim: sample.gam was cut short by another program while in use\n";
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const gamedata::Bytes firstPage(files.save.begin(),
                                  files.save.begin() + static_cast<std::ptrdiff_t>(page));
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"-p0", "-s1"},
        std::vector<std::string>{"-f0", "-p0", "-s1", "-w2"},
        std::vector<std::string>{"-p0", "-s1", "-w2"}}) {
    SCOPED_TRACE(options.size() > 2 ? "whack" : "listing");
    const CutRun run = runCut(files, gamedata::kSaveName, options);
    EXPECT_EQ(1, run.result.status);
    EXPECT_EQ(bannerThen("0 Selwyn\n"), run.result.output);
    EXPECT_EQ(message, run.result.errors);
    EXPECT_FALSE(run.coreFile);
    EXPECT_EQ(firstPage, run.result.save) << "the save was written after the cut";
  }
}

TEST(CutShort, ADataFileCutShortIsNamed) {
  if (pagesTooLarge()) GTEST_SKIP() << "pages too large for the names to lie past one";
  const CutRun run =
      runCut(gamedata::buildGame(farGame()), gamedata::kResourceIndexName, {"-p0", "-s1"});
  EXPECT_EQ(1, run.result.status);
  EXPECT_EQ(bannerThen("0 Selwyn\n"), run.result.output);
  EXPECT_EQ("grimtrim: sample.key was cut short by another program while in use\n",
            run.result.errors);
}

// A bus error in memory that is none of the program's views is a fault of its own: it must not
// be passed off as a file cut short.
TEST(CutShort, AFaultElsewhereIsNotTakenForACutFile) {
  if (pagesTooLarge()) GTEST_SKIP() << "pages too large for the save to lie past one";
  const CutRun run =
      runCut(gamedata::buildGame(farGame()), gamedata::kSaveName, {"-p0", "-s1"}, true);
  EXPECT_EQ(-1, run.result.status) << "the process should have ended by the signal";
  EXPECT_EQ(std::string::npos, run.result.errors.find("cut short"));
}

}  // namespace
