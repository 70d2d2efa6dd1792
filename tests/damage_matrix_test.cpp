// The damage matrix: every offset, count and length field the program reads, in every file,
// set to the values that break naive code, and every file cut at each structure boundary; the
// program runs on each damaged set with every kind of command line.
//
// What must hold for every run, whatever the damage: the program ends by itself with status 0
// (1 only where a file is too short for its signature), writes nothing to standard error (so
// no sanitizer report), keeps the save's size, leaves the save as it was unless it printed a
// "Whacking" line, and even then changes no byte outside what the damaged save itself names as
// the chosen member's spell sections and their six fields; where it says it left the free
// space as method 0 does, nothing outside the known spells changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace {

using gamedata::Bytes;
using gamedata::GameFiles;

// The run that whacks: member 0, the second spell of level 1 (known spell 1, "Frost Veil").
constexpr std::int32_t kMember = 0;
constexpr std::size_t kWhackedSpell = 1;  // index into the sample's spells
constexpr std::size_t kNamedMember = 1;   // named through the string table

struct CommandLine {
  std::vector<std::string> options;
  std::int32_t method;  // -1: no whack can run
};

const std::vector<CommandLine>& commandLines() {
  static const std::vector<CommandLine> all = {
      {{}, -1},
      {{"-p0"}, -1},
      {{"-p0", "-s1"}, -1},
      {{"-f0", "-p0", "-s1", "-w2"}, 0},
      {{"-f1", "-p0", "-s1", "-w2"}, 1},
      {{"-f7", "-p0", "-s1", "-w2"}, 7},
  };
  return all;
}

enum class File { Save, StringTable, SpellArchive, ResourceIndex };

Bytes& fileOf(GameFiles& files, File file) {
  switch (file) {
    case File::Save:
      return files.save;
    case File::StringTable:
      return files.stringTable;
    case File::SpellArchive:
      return files.spellArchive;
    case File::ResourceIndex:
      break;
  }
  return files.resourceIndex;
}

// Settings for each run. Under the sanitizers the leak check at exit takes longer than the run
// itself, and no damage changes what the program allocates (the same few paths whatever the
// files hold), so the matrix leaves it to the other end-to-end tests; every other check stays.
const std::vector<std::string>& environment() {
  static const std::vector<std::string> settings = [] {
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    return std::vector<std::string>{std::string("ASAN_OPTIONS=") + (sanitizer ? sanitizer : "") +
                                    ":detect_leaks=0"};
  }();
  return settings;
}

// Messages after which the whack promises the record is as method 0 leaves it.
bool leftAsMethodZero(const std::string& output) {
  for (const char* message :
       {"oops, end of known spells not base of spell memorizatin",
        "oops, end of spell memorization not base of memorized spells",
        "\noops, spell sections lie outside the save file", "free space left as by method 0"}) {
    if (output.find(message) != std::string::npos) return true;
  }
  return false;
}

// Runs every command line on `damaged`, checking what must hold for every run. `status` is
// the exit status every run must have. The free-space methods only differ in what they do to
// the save, so `everyMethod` false runs the whack under the default method alone. Gives the
// number of runs that whacked, so that a matrix that never reaches the edit cannot pass.
int runAll(TempFolder& folder, const GameFiles& damaged, int status, const std::string& what,
           bool everyMethod = true) {
  int whacks = 0;
  gamedata::writeGame(folder.path(), damaged);
  for (const CommandLine& line : commandLines()) {
    if (!everyMethod && line.method != -1 && line.method != 1) continue;
    std::vector<std::string> args = line.options;
    args.push_back(gamedata::kSaveName);
    args.push_back(gamedata::kConfigName);
    RunResult run = Started(folder.path(), args, environment()).wait();
    run.save = readFile(folder / gamedata::kSaveName);
    std::string context = what + ", options:";
    for (const std::string& option : line.options)
      context += " " + option;
    SCOPED_TRACE(context);
    EXPECT_EQ(status, run.status) << run.output;
    EXPECT_EQ("", run.errors);
    EXPECT_EQ(damaged.save.size(), run.save.size());
    if (run.save != damaged.save) gamedata::writeFile(folder / gamedata::kSaveName, damaged.save);
    const bool whacked = run.output.find("Whacking ") != std::string::npos;
    if (line.method < 0 || !whacked) {
      EXPECT_TRUE(damaged.save == run.save) << "the save changed without a whack";
      continue;
    }
    ++whacks;
    const std::int32_t method = leftAsMethodZero(run.output) ? 0 : line.method;
    const std::int64_t outside = gamedata::changeOutside(
        damaged.save, run.save, gamedata::whackableRanges(damaged.save, kMember, method));
    EXPECT_EQ(-1, outside) << "byte changed outside the member's spell sections\n" << run.output;
  }
  return whacks;
}

// A dword field of one file, and the size of the structure it leads to.
struct Field {
  File file;
  std::size_t offset;
  std::uint32_t pointedSize;
  std::string name;
};

void damageEach(const std::vector<Field>& fields) {
  int whacks = 0;
  const GameFiles whole = gamedata::buildGame(gamedata::sampleGame());
  TempFolder folder;
  for (const Field& field : fields) {
    GameFiles files = whole;
    const auto size = static_cast<std::uint32_t>(fileOf(files, field.file).size());
    const std::set<std::uint32_t> values = {0,          1,    0xFFFFFFFF, 0x7FFFFFFF,
                                            0x80000000, size, size - 1,   field.pointedSize};
    for (std::uint32_t value : values) {
      GameFiles damaged = whole;
      gamedata::putU32(fileOf(damaged, field.file), field.offset, value);
      whacks += runAll(folder, damaged, 0, field.name + " = " + std::to_string(value));
    }
  }
  EXPECT_GT(whacks, 0) << "no damaged set reached the whack";
}

TEST(DamageMatrix, SaveFields) {
  const GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  const gamedata::MemberLayout& member = files.layout.members[kMember];
  const std::size_t c = member.creature;
  const auto strings = gamedata::getU32(files.stringTable, 0x0A);
  damageEach({
      {File::Save, 0x20, 352, "party table offset"},
      {File::Save, 0x24, 352, "party count"},
      {File::Save, member.record + 0x04, static_cast<std::uint32_t>(member.creatureSize),
       "creature offset"},
      {File::Save, c + 0x008, strings, "creature name reference"},
      {File::Save, c + 0x2A0, 12, "known spells offset"},
      {File::Save, c + 0x2A4, 12, "known spells count"},
      {File::Save, c + 0x2A8, 16, "spell memorization offset"},
      {File::Save, c + 0x2AC, 16, "spell memorization count"},
      {File::Save, c + 0x2B0, 12, "memorized spells offset"},
      {File::Save, c + 0x2B4, 12, "memorized spells count"},
  });
}

TEST(DamageMatrix, StringTableFields) {
  const GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  const std::uint32_t count = gamedata::getU32(files.stringTable, 0x0A);
  const std::size_t textArea = 0x12 + std::size_t{count} * 26;
  const auto texts = static_cast<std::uint32_t>(files.stringTable.size() - textArea);
  const std::size_t spell = 0x12 + files.layout.nameRefs[kWhackedSpell] * 26;
  const std::size_t member =
      0x12 + gamedata::getU32(files.save, files.layout.members[kNamedMember].creature + 8) * 26;
  const std::uint32_t spellLength = gamedata::getU32(files.stringTable, spell + 0x16);
  const std::uint32_t memberLength = gamedata::getU32(files.stringTable, member + 0x16);
  damageEach({
      {File::StringTable, 0x0A, 26, "string count"},
      {File::StringTable, spell + 0x12, spellLength, "spell name's text offset"},
      {File::StringTable, spell + 0x16, texts, "spell name's text length"},
      {File::StringTable, member + 0x12, memberLength, "member name's text offset"},
      {File::StringTable, member + 0x16, texts, "member name's text length"},
  });
}

TEST(DamageMatrix, ResourceIndexAndSpellArchiveFields) {
  const GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  const std::uint32_t fileCount = gamedata::getU32(files.spellArchive, 0x08);
  const std::size_t header = files.layout.spellHeaders[kWhackedSpell];
  std::size_t entry = files.layout.fileTable;
  for (std::uint32_t e = 0; e < fileCount; ++e, entry += 16) {
    if (gamedata::getU32(files.spellArchive, entry + 4) == header) break;
  }
  const auto strings = gamedata::getU32(files.stringTable, 0x0A);
  damageEach({
      {File::ResourceIndex, 0x0C, 14, "resource entry count"},
      {File::ResourceIndex, 0x14, 14, "resource entry table offset"},
      {File::SpellArchive, 0x08, 16, "file entry count"},
      {File::SpellArchive, 0x10, 16, "file entry table offset"},
      {File::SpellArchive, entry + 4, 0x38, "spell's data offset"},
      {File::SpellArchive, header + 0x08, strings, "spell header's name reference"},
  });
}

// Cuts one file at each of `boundaries` in turn; the program must stop at the signature of a
// file shorter than four bytes and otherwise run as on any damaged set. A cut data file is
// read the same way under every free-space method, so only the save's cuts run all three.
void cutAt(File file, std::set<std::size_t> boundaries, const std::string& name) {
  int whacks = 0;
  const GameFiles whole = gamedata::buildGame(gamedata::sampleGame());
  GameFiles damaged = whole;
  const std::size_t size = fileOf(damaged, file).size();
  boundaries.insert({0, 1, 4, size - 1});
  TempFolder folder;
  for (std::size_t cut : boundaries) {
    if (cut >= size) continue;
    damaged = whole;
    fileOf(damaged, file).resize(cut);
    whacks += runAll(folder, damaged, cut < 4 ? 1 : 0, name + " cut to " + std::to_string(cut),
                     file == File::Save);
  }
  EXPECT_GT(whacks, 0) << "no cut " << name << " reached the whack";
}

// Adds the start of each of `count` entries of `size` bytes from `table`, and the table's end.
void addEntries(std::set<std::size_t>& to, std::size_t table, std::size_t count, std::size_t size) {
  for (std::size_t e = 0; e <= count; ++e)
    to.insert(table + e * size);
}

TEST(DamageMatrix, SaveCutAtEachStructure) {
  const GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  const gamedata::Layout& layout = files.layout;
  std::set<std::size_t> cuts = {0x20, 0x24, 0x28};
  addEntries(cuts, layout.partyTable, layout.members.size(), 352);
  for (std::size_t m = 0; m < layout.members.size(); ++m) {
    const gamedata::MemberLayout& at = layout.members[m];
    const std::size_t c = at.creature;
    cuts.insert({c, c + 0x2A0, c + 0x2B8, c + at.creatureSize});
    const std::size_t known = gamedata::getU32(files.save, c + 0x2A4);
    const std::size_t entries = gamedata::getU32(files.save, c + 0x2AC);
    const std::size_t memorized = gamedata::getU32(files.save, c + 0x2B4);
    if (m == kMember) {
      addEntries(cuts, at.known, known, 12);
      addEntries(cuts, at.memorization, entries, 16);
      addEntries(cuts, at.memorized, memorized, 12);
    } else {
      cuts.insert({at.known, at.memorization, at.memorized, at.memorized + memorized * 12});
    }
  }
  cutAt(File::Save, cuts, "save");
}

TEST(DamageMatrix, DataFilesCutAtEachStructure) {
  const GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  const std::uint32_t strings = gamedata::getU32(files.stringTable, 0x0A);
  std::set<std::size_t> table = {0x0A, 0x0E, 0x12};
  addEntries(table, 0x12, strings, 26);
  const std::size_t textArea = 0x12 + std::size_t{strings} * 26;
  for (std::uint32_t s = 0; s < strings; ++s)
    table.insert(textArea + gamedata::getU32(files.stringTable, 0x12 + s * 26 + 0x12));
  cutAt(File::StringTable, table, "string table");

  std::set<std::size_t> archive = {0x08, 0x0C, 0x10, 0x14};
  addEntries(archive, files.layout.fileTable, gamedata::getU32(files.spellArchive, 0x08), 16);
  for (std::size_t header : files.layout.spellHeaders) {
    if (header != 0) archive.insert({header, header + 0x38});
  }
  cutAt(File::SpellArchive, archive, "spell archive");

  std::set<std::size_t> index = {0x0C, 0x10, 0x14, 0x18};
  addEntries(index, files.layout.resourceTable, gamedata::getU32(files.resourceIndex, 0x0C), 14);
  cutAt(File::ResourceIndex, index, "resource index");
}

}  // namespace
