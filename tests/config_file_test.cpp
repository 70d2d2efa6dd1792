#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "support/run_program.h"

namespace {

using gamedata::writeFile;

// The lines readConfigLine() gives for a file holding `text`, read into 256-byte buffers.
std::vector<std::string> linesOf(const std::string& text) {
  TempFolder folder;
  writeFile(folder / "config", text);
  ConfigFile config{std::fopen((folder / "config").string().c_str(), "rb")};
  std::vector<std::string> lines;
  char buffer[256];
  while (readConfigLine(config, buffer, sizeof buffer))
    lines.emplace_back(buffer);
  std::fclose(config.stream);
  return lines;
}

TEST(ConfigFile, LinesReadLikeTextModeFgets) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ((Lines{"a.tlk\n", "b.bif\n", "c.key"}), linesOf("a.tlk\nb.bif\nc.key"));
  EXPECT_EQ((Lines{"a.tlk\n", "b.bif\n"}), linesOf("a.tlk\r\nb\r.bif\r\n"));  // every CR goes
  EXPECT_EQ((Lines{"a.tlk\n", "b"}), linesOf("a.tlk\nb\x1A.bif\nc.key\n"));   // 0x1A ends the file
  EXPECT_EQ((Lines{"\n", " x \n"}), linesOf("\n x \n"));
  EXPECT_EQ((Lines{}), linesOf(""));
  EXPECT_EQ((Lines{}), linesOf("\r\r\x1A"
                               "a\n"));
  // At most 255 bytes a line: the rest of a long line is read as the next one.
  EXPECT_EQ((Lines{std::string(255, 'a'), "\n", "b\n"}), linesOf(std::string(255, 'a') + "\nb\n"));
  EXPECT_EQ((Lines{std::string(254, 'a') + "\n", "b\n"}), linesOf(std::string(254, 'a') + "\nb\n"));
  EXPECT_EQ((Lines{std::string(255, 'a'), "aa\n"}), linesOf(std::string(257, 'a') + "\n"));
}

// Runs grimtrim in a folder holding the sample set, with the configuration file replaced.
RunResult runWithConfig(const std::string& config) {
  TempFolder folder;
  gamedata::writeGame(folder.path(), gamedata::buildGame(gamedata::sampleGame()));
  writeFile(folder / gamedata::kConfigName, config);
  return runGrimtrim(folder.path(), {gamedata::kSaveName, gamedata::kConfigName});
}

TEST(ConfigFile, MissingLinesNameTheFileThatWasExpected) {
  const RunResult none = runWithConfig("");
  EXPECT_EQ(bannerThen("error reading .tlk file location"), none.output);
  EXPECT_EQ(1, none.status);
  const RunResult one = runWithConfig("sample.tlk\n");
  EXPECT_EQ(bannerThen("error reading spell.bif file location"), one.output);
  EXPECT_EQ(1, one.status);
  const RunResult two = runWithConfig("sample.tlk\nspells.bif\n");
  EXPECT_EQ(bannerThen("error reading .key file location"), two.output);
  EXPECT_EQ(1, two.status);
}

TEST(ConfigFile, PathsAreTakenAsWritten) {
  // Spaces around the path stay part of it. (Windows itself ignores spaces at the end of a
  // file name, but not at its start.)
  const RunResult spaces = runWithConfig("  sample.tlk  \nspells.bif\nsample.key\n");
  EXPECT_EQ(bannerThen("Cannot open .tlk file <  sample.tlk  >"), spaces.output);
  EXPECT_EQ(1, spaces.status);
  const RunResult empty = runWithConfig("sample.tlk\n\nsample.key\n");
  EXPECT_EQ(bannerThen("Cannot open spell.bif file <>"), empty.output);
  EXPECT_EQ(1, empty.status);
  // A 255-character line leaves its line feed to be read as the next, empty, path.
  std::string longPath;
  while (longPath.size() < 244)
    longPath += "./";
  longPath += "/sample.tlk";
  ASSERT_EQ(255u, longPath.size());
  const RunResult longLine = runWithConfig(longPath + "\nspells.bif\nsample.key\n");
  EXPECT_EQ(bannerThen("Cannot open spell.bif file <>"), longLine.output);
  EXPECT_EQ(1, longLine.status);
  // CR LF line ends and a last line without a line feed read the same paths.
  const RunResult windows = runWithConfig("sample.tlk\r\nspells.bif\r\nsample.key");
  EXPECT_EQ(0, windows.status);
  EXPECT_EQ(0u, windows.output.find(bannerThen("0 Selwyn\n")));
}

TEST(ConfigFile, FileThatCannotBeOpened) {
  TempFolder folder;
  const RunResult missing = runGrimtrim(folder.path(), {"save.gam", "nowhere.cfg"});
  EXPECT_EQ(bannerThen("cannot open config <nowhere.cfg>"), missing.output);
  EXPECT_EQ(1, missing.status);
  // A folder in the configuration file's place is the game's folder: this one holds no game.
  const RunResult directory = runGrimtrim(folder.path(), {"save.gam", "."});
  EXPECT_EQ(bannerThen("no dialog.tlk in game folder <.>"), directory.output);
  EXPECT_EQ(1, directory.status);
}

}  // namespace
