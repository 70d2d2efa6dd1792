#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using gamedata::GameDef;
using gamedata::GameFiles;
using gamedata::MemberDef;
using gamedata::putU32;

MemberDef member(std::uint16_t listing, const char* partyName, const char* creatureName,
                 std::vector<std::string> known) {
  MemberDef def;
  def.listing = listing;
  def.partyName = partyName;
  def.creatureName = creatureName;
  def.known = std::move(known);
  return def;
}

// A caster named in its party record, a fighter without spells named only through the string
// table, and a caster whose listing number is not its index.
GameDef party() {
  GameDef game;
  game.spells = {{"EMBER", "Ember Dart", 1}, {"MIRROR", "Mirror Twin", 2}};
  game.party = {member(0, "Selwyn", "Selwyn Ashgrove", {"EMBER", "MIRROR"}),
                member(1, "", "Tamsin of the Ford", {}), member(9, "", "Maren Vey", {"MIRROR"})};
  return game;
}

std::string out(const std::string& text) {
  return bannerThen(text);
}

TEST(PartyReport, WithoutAMemberEveryNameIsListed) {
  const RunResult run = runOn(gamedata::buildGame(party()));
  EXPECT_EQ(out("0 Selwyn\n"
                "1 Tamsin of the Ford -- no spells\n"
                "9 Maren Vey\n"
                "\n\nUse -pN to select the party member"),
            run.output);
  EXPECT_EQ(0, run.status);
  // With -w, the -w hint follows each member without spells, and only those.
  EXPECT_EQ(out("0 Selwyn\n"
                "1 Tamsin of the Ford -- no spells\n"
                "\n\nUse -wN to whack spell number N"
                "9 Maren Vey\n"
                "\n\nUse -pN to select the party member"),
            runOn(gamedata::buildGame(party()), {"-w2", "-s1"}).output);
}

TEST(PartyReport, AChosenMemberGetsTheHintsThatFit) {
  const GameFiles files = gamedata::buildGame(party());
  struct Case {
    std::vector<std::string> options;
    std::string expected;
  };
  for (const Case& c : {
           Case{{"-p0"},
                "0 Selwyn\nLevel 1\nLevel 2\n"
                "\n\nUse -sN to select the spell level to display"},
           Case{{"-p0", "-w3"},
                "0 Selwyn\nLevel 1\nLevel 2\n"
                "\n\nUse -wN to whack spell number N"
                "\n\nUse -sN to select the spell level to display"},
           Case{{"-p0", "-s2"}, "0 Selwyn\nLevel 2, Spell 1: Mirror Twin\n"},
           Case{{"-p0", "-s3", "-w1"}, "0 Selwyn\n\n\nUse -wN to whack spell number N"},
           Case{{"-p1"},
                "1 Tamsin of the Ford -- no spells\n"
                "\n\nUse -sN to select the spell level to display"},
           Case{{"-p1", "-w1"},
                "1 Tamsin of the Ford -- no spells\n"
                "\n\nUse -wN to whack spell number N"
                "\n\nUse -sN to select the spell level to display"},
           Case{{"-p1", "-s1", "-w1"},
                "1 Tamsin of the Ford -- no spells\n"
                "\n\nUse -wN to whack spell number N"},
           Case{{"-p2", "-s2"}, "9 Maren Vey\nLevel 2, Spell 1: Mirror Twin\n"},
           Case{{"-p-1", "-s2"},
                "0 Selwyn\n1 Tamsin of the Ford -- no spells\n9 Maren Vey\n"
                "\n\nUse -pN to select the party member"},
       }) {
    const RunResult run = runOn(files, c.options);
    EXPECT_EQ(out(c.expected), run.output) << c.options[0];
    EXPECT_EQ(0, run.status);
  }
}

TEST(PartyReport, NamesOutsideTheStringTablePrintTheFallback) {
  GameFiles files = gamedata::buildGame(party());
  putU32(files.save, files.layout.members[1].creature + 8, 0xFFFFFFFF);
  putU32(files.save, files.layout.members[2].creature + 8, 5);  // one past the last string
  EXPECT_EQ(out("0 Selwyn\n1 strref error -- no spells\n9 strref error\n"
                "\n\nUse -pN to select the party member"),
            runOn(files).output);
}

TEST(PartyReport, DamagedPartyTablesEndTheWalkWithAMessage) {
  const GameFiles whole = gamedata::buildGame(party());
  const auto& members = whole.layout.members;
  struct Case {
    std::size_t field;
    std::uint32_t value;
    std::vector<std::string> options;
    std::string expected;
  };
  const std::string hint = "\n\nUse -pN to select the party member";
  const std::string levelHint = "\n\nUse -sN to select the spell level to display";
  for (const Case& c : {
           Case{0x24, 0, {}, hint},
           Case{0x24, 0x80000000, {}, hint},
           Case{0x24, 1, {}, "0 Selwyn\n" + hint},
           Case{0x24,
                0x7FFFFFFF,
                {},
                "0 Selwyn\n1 Tamsin of the Ford -- no spells\n9 Maren Vey\n"
                "oops, missed CRE pointer" +
                    hint},  // record 3 is creature bytes
           Case{0x20, 0xFFFFFFFF, {}, "oops, party member 0 lies outside the save file" + hint},
           Case{0x24, 0, {"-p1"}, "1 Tamsin of the Ford -- no spells\n" + levelHint},
           Case{0x24, 3, {"-p99"}, "oops, party member 99 lies outside the save file" + levelHint},
           Case{0x24, 3, {"-p-2"}, "oops, party member -2 lies outside the save file" + levelHint},
           Case{members[1].record + 4, 0, {}, "0 Selwyn\noops, missed CRE pointer" + hint},
           Case{members[1].record + 4,
                0xFFFFFFFF,
                {"-p1", "-s1", "-w1"},
                "oops, missed CRE pointer"},
       }) {
    GameFiles files = whole;
    putU32(files.save, c.field, c.value);
    const RunResult run = runOn(files, c.options);
    EXPECT_EQ(out(c.expected), run.output) << "field " << c.field << " = " << c.value;
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(files.save, run.save);
  }
}

TEST(PartyReport, AShortSaveHasNobodyInIt) {
  GameFiles files = gamedata::buildGame(party());
  files.save.resize(0x27);
  EXPECT_EQ(out("\n\nUse -pN to select the party member"), runOn(files).output);
  EXPECT_EQ(out("oops, party member 0 lies outside the save file"
                "\n\nUse -sN to select the spell level to display"),
            runOn(files, {"-p0"}).output);
}

}  // namespace
