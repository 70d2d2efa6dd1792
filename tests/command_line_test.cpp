#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options.h"
#include "support/run_program.h"

namespace {

const std::string kUsage = "\nUsage: GRIMTRIM [options] savefilename.gam configfile.cfg";

const std::string kHelp =
    "\nwhere options are:"
    "\n\t-fN use free space method N (see below)"
    "\n\t-pN select party member N (program will list Ns when no -p)"
    "\n\t-sN select spell level N (program will list Ns when no -s)"
    "\n\t-wN whack spell N (program will list Ns when no -w)"
    "\n\nConfig file format, one file location per line:"
    "\nline 1: dialog.tlk location and name"
    "\nline 2: spellfile.bif location and name"
    "\nline 3: keyfile.key location and name"
    "\n\nFree space methods are:"
    "\n0 - just leave last known spell (usu. some special ability or spell"
    "\n    sequencer) duplicated, game seems to detect this and the next save has"
    "\n    dropped the duplicate"
    "\n1 - (default) decrement known spells, move spell memorization down and"
    "\n    duplicate first memorized spell (party member had better have at least one"
    "\n    first level spell memorized)";

// Parses `options` followed by the two file names.
bool parse(std::vector<const char*> options, Settings& settings) {
  options.insert(options.begin(), "grimtrim");
  options.push_back("save.gam");
  options.push_back("config.cfg");
  return parseOptions(static_cast<int>(options.size()), options.data(), settings);
}

TEST(CommandLine, OptionValuesReadLikeAtoi) {
  EXPECT_EQ(2, optionValue("2x"));
  EXPECT_EQ(0, optionValue(""));
  EXPECT_EQ(0, optionValue("x7"));
  EXPECT_EQ(-1, optionValue("-1"));
  EXPECT_EQ(12, optionValue("+12"));
  EXPECT_EQ(7, optionValue(" \t\n\v\f\r7"));
  EXPECT_EQ(0, optionValue("- 5"));  // no white space between the sign and the digits
  EXPECT_EQ(0, optionValue("+-5"));
  EXPECT_EQ(0, optionValue("\x1f"
                           "5"));
  EXPECT_EQ(2147483647, optionValue("2147483647"));
  EXPECT_EQ(-2147483647 - 1, optionValue("2147483648"));  // wraps in 32 bits
  EXPECT_EQ(-2147483647 - 1, optionValue("-2147483648"));
  EXPECT_EQ(0, optionValue("4294967296"));
  EXPECT_EQ(1, optionValue("4294967297"));
  EXPECT_EQ(-1, optionValue("4294967295"));
  EXPECT_EQ(1410065407, optionValue("9999999999"));
  // 10^124 - 1 is -1 modulo 2^32: such an option is the same as one left out.
  EXPECT_EQ(-1, optionValue(std::string(124, '9').c_str()));
}

TEST(CommandLine, OptionsFillSettingsAndTheLastOneWins) {
  Settings settings;
  ASSERT_TRUE(parse({}, settings));
  EXPECT_EQ(1, settings.method);
  EXPECT_EQ(-1, settings.member);
  EXPECT_EQ(-1, settings.level);
  EXPECT_EQ(-1, settings.number);
  EXPECT_FALSE(editsSave(settings));

  ASSERT_TRUE(parse({"-F0", "-P2", "-s3", "-W4", "-p5"}, settings));
  EXPECT_EQ(0, settings.method);
  EXPECT_EQ(5, settings.member);
  EXPECT_EQ(3, settings.level);
  EXPECT_EQ(4, settings.number);
  EXPECT_TRUE(editsSave(settings));

  Settings bare;
  ASSERT_TRUE(parse({"-p", "-s-1", "-w"}, bare));
  EXPECT_EQ(0, bare.member);
  EXPECT_EQ(-1, bare.level);  // the same as leaving -s out
  EXPECT_FALSE(editsSave(bare));
}

TEST(CommandLine, BadOptionsAreRejected) {
  Settings settings;
  EXPECT_FALSE(parse({"-x3"}, settings));
  EXPECT_FALSE(parse({"p0"}, settings));
  EXPECT_FALSE(parse({"-"}, settings));
  EXPECT_FALSE(parse({"-p0", ""}, settings));
  EXPECT_FALSE(parse({"-p0", "--p1"}, settings));
}

TEST(CommandLine, TooFewArgumentsPrintUsageAndHelp) {
  TempFolder folder;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"save.gam"}}) {
    const RunResult run = runGrimtrim(folder.path(), args);
    EXPECT_EQ(bannerThen(kUsage + kHelp), run.output);
    EXPECT_EQ(1, run.status);
  }
}

TEST(CommandLine, BadOptionPrintsHelpWithoutUsage) {
  TempFolder folder;
  for (const std::vector<std::string>& args : {
           std::vector<std::string>{"-x3", "save.gam", "config.cfg"},
           // Options must come before the two file names.
           std::vector<std::string>{"save.gam", "-p0", "config.cfg"},
       }) {
    const RunResult run = runGrimtrim(folder.path(), args);
    EXPECT_EQ(bannerThen(kHelp), run.output);
    EXPECT_EQ(1, run.status);
  }
}

TEST(CommandLine, TheLastTwoArgumentsAreTheFiles) {
  TempFolder folder;
  // Exactly two arguments: nothing is scanned as an option, so "-p0" is the save's name and
  // the configuration file is looked for under "-x".
  const RunResult run = runGrimtrim(folder.path(), {"-p0", "-x"});
  EXPECT_EQ(bannerThen("cannot open config <-x>"), run.output);
  EXPECT_EQ(1, run.status);
}

}  // namespace
