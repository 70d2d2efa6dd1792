#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using gamedata::Bytes;
using gamedata::kConfigName;
using gamedata::kSaveName;

// A folder holding the sample set, for damaging one of its files.
class SampleSet {
 public:
  SampleSet() { gamedata::writeGame(folder_.path(), gamedata::buildGame(gamedata::sampleGame())); }
  std::filesystem::path operator/(const char* name) const { return folder_ / name; }
  RunResult run(std::vector<std::string> options = {}) const {
    options.push_back(kSaveName);
    options.push_back(kConfigName);
    return runGrimtrim(folder_.path(), options);
  }

 private:
  TempFolder folder_;
};

TEST(OpenFiles, EachFileIsCheckedForItsSignature) {
  struct Case {
    const char* file;
    const char* expected;
  };
  for (const Case& c : {
           Case{"sample.tlk", "<sample.tlk> is not a .tlk file, first chars are not \"TLK \""},
           Case{"spells.bif", "<spells.bif> is not a spell.bif file, first chars are not \"BIFF\""},
           Case{"sample.key", "<sample.key> is not a .key file, first chars are not \"KEY \""},
           Case{"sample.gam", "<sample.gam> is not a save file, first chars are not \"GAME\""},
       }) {
    SampleSet set;
    Bytes bytes = readFile(set / c.file);
    bytes[3] = static_cast<std::uint8_t>(bytes[3] ^ 0x20);  // case counts
    gamedata::writeFile(set / c.file, bytes);
    const RunResult run = set.run();
    EXPECT_EQ(kBanner + std::string(c.expected), run.output) << c.file;
    EXPECT_EQ(1, run.status);
  }
}

TEST(OpenFiles, AFileInTheWrongPlaceFailsTheCheckOfThatPlace) {
  SampleSet set;
  gamedata::writeFile(set / kConfigName, std::string("sample.tlk\nsample.tlk\nsample.key\n"));
  const RunResult run = set.run();
  EXPECT_EQ(
      kBanner + std::string("<sample.tlk> is not a spell.bif file, first chars are not \"BIFF\""),
      run.output);
  EXPECT_EQ(1, run.status);
}

TEST(OpenFiles, ShortFilesFailTheirSignatureAndEmptyOnesTheirMapping) {
  struct Case {
    const char* file;
    const char* mapping;
    const char* signature;
  };
  for (const Case& c : {
           Case{"sample.tlk", "Cannot create .tlk file mapping object",
                "<sample.tlk> is not a .tlk file, first chars are not \"TLK \""},
           Case{"spells.bif", "Cannot create spell.bif file mapping object",
                "<spells.bif> is not a spell.bif file, first chars are not \"BIFF\""},
           Case{"sample.key", "Cannot create .key file mapping object",
                "<sample.key> is not a .key file, first chars are not \"KEY \""},
           Case{"sample.gam", "Cannot create file mapping object",
                "<sample.gam> is not a save file, first chars are not \"GAME\""},
       }) {
    for (std::size_t size = 0; size < 4; ++size) {
      SampleSet set;
      Bytes bytes = readFile(set / c.file);
      bytes.resize(size);
      gamedata::writeFile(set / c.file, bytes);
      const RunResult run = set.run();
      EXPECT_EQ(kBanner + std::string(size == 0 ? c.mapping : c.signature), run.output)
          << c.file << " cut to " << size;
      EXPECT_EQ(1, run.status);
    }
  }
}

TEST(OpenFiles, MissingFilesAndFoldersCannotBeOpened) {
  SampleSet set;
  std::filesystem::remove(set / "spells.bif");
  EXPECT_EQ(kBanner + std::string("Cannot open spell.bif file <spells.bif>"), set.run().output);
  std::filesystem::create_directory(set / "spells.bif");
  const RunResult folder = set.run();
  EXPECT_EQ(kBanner + std::string("Cannot open spell.bif file <spells.bif>"), folder.output);
  EXPECT_EQ(1, folder.status);
  EXPECT_FALSE(std::filesystem::is_regular_file(set / "spells.bif"));  // never created

  SampleSet noSave;
  std::filesystem::remove(noSave / kSaveName);
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{}, std::vector<std::string>{"-p0", "-s1", "-w1"}}) {
    const RunResult run = noSave.run(options);
    EXPECT_EQ(kBanner + std::string("Cannot open save file <sample.gam>"), run.output);
    EXPECT_EQ(1, run.status);
    EXPECT_FALSE(std::filesystem::exists(noSave / kSaveName));
  }
}

// Holds a lock on a file as another program using it would.
class Holder {
 public:
  Holder(const std::filesystem::path& path, int operation) : fd_(::open(path.c_str(), O_RDONLY)) {
    EXPECT_EQ(0, ::flock(fd_, operation | LOCK_NB));
  }
  ~Holder() { ::close(fd_); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

 private:
  int fd_;
};

TEST(OpenFiles, ReadersShareAFileAndAnEditorHasItAlone) {
  SampleSet set;
  const Bytes before = readFile(set / kSaveName);
  {
    Holder reader(set / kSaveName, LOCK_SH);
    EXPECT_EQ(0, set.run().status);  // two readers side by side
    const RunResult editor = set.run({"-p0", "-s1", "-w1"});
    EXPECT_EQ(kBanner + std::string("Cannot open save file <sample.gam>"), editor.output);
    EXPECT_EQ(1, editor.status);
    EXPECT_EQ(before, readFile(set / kSaveName));
  }
  {
    Holder editor(set / kSaveName, LOCK_EX);
    const RunResult reader = set.run();
    EXPECT_EQ(kBanner + std::string("Cannot open save file <sample.gam>"), reader.output);
    EXPECT_EQ(1, reader.status);
  }
  {
    Holder writer(set / "sample.key", LOCK_EX);
    const RunResult run = set.run();
    EXPECT_EQ(kBanner + std::string("Cannot open .key file <sample.key>"), run.output);
    EXPECT_EQ(1, run.status);
  }
}

TEST(OpenFiles, AReadOnlySaveListsButCannotBeEdited) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  SampleSet set;
  std::filesystem::permissions(set / kSaveName, std::filesystem::perms::owner_read);
  const Bytes before = readFile(set / kSaveName);
  EXPECT_EQ(0, set.run({"-p0", "-s1"}).status);
  const RunResult edit = set.run({"-p0", "-s1", "-w1"});
  EXPECT_EQ(kBanner + std::string("Cannot open save file <sample.gam>"), edit.output);
  EXPECT_EQ(1, edit.status);
  EXPECT_EQ(before, readFile(set / kSaveName));
}

TEST(OpenFiles, OnlyAWhackChangesTheSaveAndItsSizeStays) {
  SampleSet set;
  const Bytes before = readFile(set / kSaveName);
  for (const std::vector<std::string>& options : {
           std::vector<std::string>{}, std::vector<std::string>{"-p0"},
           std::vector<std::string>{"-p0", "-s1"},
           std::vector<std::string>{"-f0", "-s1", "-w1"},   // no member: read-only
           std::vector<std::string>{"-p0", "-s1", "-w99"},  // opened for writing, nothing found
       }) {
    EXPECT_EQ(0, set.run(options).status);
    EXPECT_EQ(before, readFile(set / kSaveName));
  }
  const RunResult whack = set.run({"-p0", "-s1", "-w1"});
  EXPECT_EQ(0, whack.status);
  EXPECT_EQ(before.size(), whack.save.size());
  EXPECT_NE(before, whack.save);
}

}  // namespace
