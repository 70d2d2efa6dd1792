#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/file_holder.h"
#include "support/sample_set.h"

namespace {

using gamedata::Bytes;
using gamedata::kConfigName;
using gamedata::kSaveName;

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
    EXPECT_EQ(bannerThen(c.expected), run.output) << c.file;
    EXPECT_EQ(1, run.status);
  }
}

TEST(OpenFiles, AFileInTheWrongPlaceFailsTheCheckOfThatPlace) {
  SampleSet set;
  gamedata::writeFile(set / kConfigName, std::string("sample.tlk\nsample.tlk\nsample.key\n"));
  const RunResult run = set.run();
  EXPECT_EQ(bannerThen("<sample.tlk> is not a spell.bif file, first chars are not \"BIFF\""),
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
      EXPECT_EQ(bannerThen(size == 0 ? c.mapping : c.signature), run.output)
          << c.file << " cut to " << size;
      EXPECT_EQ(1, run.status);
    }
  }
}

TEST(OpenFiles, MissingFilesAndFoldersCannotBeOpened) {
  SampleSet set;
  std::filesystem::remove(set / "spells.bif");
  EXPECT_EQ(bannerThen("Cannot open spell.bif file <spells.bif>"), set.run().output);
  std::filesystem::create_directory(set / "spells.bif");
  const RunResult folder = set.run();
  EXPECT_EQ(bannerThen("Cannot open spell.bif file <spells.bif>"), folder.output);
  EXPECT_EQ(1, folder.status);
  EXPECT_FALSE(std::filesystem::is_regular_file(set / "spells.bif"));  // never created

  SampleSet noSave;
  std::filesystem::remove(noSave / kSaveName);
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{}, std::vector<std::string>{"-p0", "-s1", "-w1"}}) {
    const RunResult run = noSave.run(options);
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), run.output);
    EXPECT_EQ(1, run.status);
    EXPECT_FALSE(std::filesystem::exists(noSave / kSaveName));
  }
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

// Other programs may read the files while grimtrim has them, but not write them; an editor
// has the save alone.
TEST(OpenFiles, ReadersShareAFileAndAnEditorHasItAlone) {
  using Use = FileHolder::Use;
  SampleSet set;
  const Bytes before = readFile(set / kSaveName);
  {
    FileHolder reader(set / kSaveName, Use::Reading);
    ASSERT_TRUE(reader.held());
    EXPECT_EQ(0, set.run().status);  // two readers side by side
    const RunResult editor = set.run({"-p0", "-s1", "-w1"});
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), editor.output);
    EXPECT_EQ(1, editor.status);
    EXPECT_EQ(before, readFile(set / kSaveName));
  }
  {
    FileHolder editor(set / kSaveName, Use::Writing);
    ASSERT_TRUE(editor.held());
    const RunResult reader = set.run();
    EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), reader.output);
    EXPECT_EQ(1, reader.status);
  }
  {
    FileHolder writer(set / "sample.key", Use::Writing);
    ASSERT_TRUE(writer.held());
    const RunResult run = set.run();
    EXPECT_EQ(bannerThen("Cannot open .key file <sample.key>"), run.output);
    EXPECT_EQ(1, run.status);
  }
}

TEST(OpenFiles, AReadOnlySaveListsButCannotBeEdited) {
  SampleSet set;
  if (!makeReadOnly(set / kSaveName)) GTEST_SKIP() << "a read-only file does not stop this user";
  const Bytes before = readFile(set / kSaveName);
  EXPECT_EQ(0, set.run({"-p0", "-s1"}).status);
  const RunResult edit = set.run({"-p0", "-s1", "-w1"});
  EXPECT_EQ(bannerThen("Cannot open save file <sample.gam>"), edit.output);
  EXPECT_EQ(1, edit.status);
  EXPECT_EQ(before, readFile(set / kSaveName));
  makeWritable(set / kSaveName);
}

}  // namespace
