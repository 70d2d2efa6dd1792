// Archives in the two compressed forms older releases ship: read as the archive they hold, only
// as far as asked, and refused plainly when damaged, in both forms of a run.
#include "formats/compressed_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/compressed_out.h"
#include "gamedata/installation.h"
#include "support/in_process.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;
using gamedata::Bytes;

const Bytes& sampleArchive() {
  static const Bytes archive = gamedata::buildGame(gamedata::sampleGame()).spellArchive;
  return archive;
}

// `file` read as an archive, and what it gave for [offset, offset + length).
struct Read {
  Bytes bytes;
  InflateTrouble trouble;
};
Read readFrom(Bytes& file, std::uint64_t offset, std::uint64_t length) {
  const std::unique_ptr<ArchiveBytes> archive =
      readableArchive(std::make_unique<WholeArchive>(viewOf(file)));
  const View view = archive->bytes(offset, length);
  return {Bytes(view.data, view.data + view.size), archive->trouble()};
}

Bytes part(const Bytes& bytes, std::size_t offset, std::size_t length) {
  const std::size_t end = std::min(bytes.size(), offset + length);
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(offset, end)),
               bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

// `blocks` with the stream of every block after the first damaged: the first, which holds the
// archive's header, still inflates.
Bytes damagedAfterFirstBlock(Bytes blocks) {
  for (std::size_t at = 0x14 + gamedata::getU32(blocks, 0x10); at + 8 < blocks.size();
       at += 8 + gamedata::getU32(blocks, at + 4)) {
    blocks[at + 8 + 2] ^= 0x55;
  }
  return blocks;
}

TEST(CompressedArchive, EachFormReadsAsTheArchiveItHolds) {
  const Bytes& archive = sampleArchive();
  // Small blocks, so that a read runs across several of them.
  for (Bytes file : {gamedata::blockCompressed(archive, 100),
                     gamedata::streamCompressed(archive, "SPELLS.BIF")}) {
    for (const auto& [offset, length] :
         std::vector<std::pair<std::size_t, std::size_t>>{{0, 20},
                                                          {90, 30},
                                                          {250, 700},
                                                          {archive.size() - 5, 5},
                                                          {archive.size() - 5, 50},
                                                          {0, archive.size()},
                                                          {archive.size(), 1}}) {
      const Read read = readFrom(file, offset, length);
      EXPECT_EQ(InflateTrouble::None, read.trouble);
      EXPECT_EQ(part(archive, offset, length), read.bytes) << offset << "+" << length;
    }
  }
}

TEST(CompressedArchive, ABlockFarLargerThanTheUsualOneIsRead) {
  // Some 50 KiB of archive in one block: a block may be far larger than the usual 8 KiB.
  const Bytes archive = gamedata::buildGame(gamedata::scaledGame(400, 400, 400, 4)).spellArchive;
  ASSERT_LT(8192u, archive.size());
  Bytes file = gamedata::blockCompressed(archive, 64 << 10);
  const Read read = readFrom(file, 0, archive.size());
  EXPECT_EQ(InflateTrouble::None, read.trouble);
  EXPECT_EQ(archive, read.bytes);
}

TEST(CompressedArchive, DamageMakesItUnusableAndNothingIsReadPastItsFile) {
  const Bytes blocks = gamedata::blockCompressed(sampleArchive(), 100);
  const Bytes stream = gamedata::streamCompressed(sampleArchive(), "SPELLS.BIF");
  const std::size_t lengths = 0x0C + 11;  // the stream's two lengths, after its name
  struct Case {
    const Bytes& file;
    std::size_t offset;
    std::uint32_t value;
    InflateTrouble trouble;
  };
  const std::vector<Case> cases = {
      {blocks, 0x08, (256u << 20) + 1, InflateTrouble::TooLarge},
      {blocks, 0x08, static_cast<std::uint32_t>(sampleArchive().size()) + 1,
       InflateTrouble::WrongLength},
      // The blocks hold one byte more than stated: the archive is not cut at the stated length.
      {blocks, 0x08, static_cast<std::uint32_t>(sampleArchive().size()) - 1,
       InflateTrouble::WrongLength},
      {blocks, 0x0C, 101, InflateTrouble::WrongLength},  // the first block says one byte more
      {blocks, 0x0C, 0, InflateTrouble::WrongLength},    // a block of no bytes: none is made
      {blocks, 0x0C, (8u << 20) + 1, InflateTrouble::TooLarge},
      {blocks, 0x10, 0x7FFFFFFF, InflateTrouble::BeyondFile},
      {blocks, 0x18, 0xDEADBEEF, InflateTrouble::DoesNotInflate},
      {stream, 0x08, 0xFFFFFFF0, InflateTrouble::BeyondFile},
      {stream, lengths, (256u << 20) + 1, InflateTrouble::TooLarge},
      {stream, lengths, static_cast<std::uint32_t>(sampleArchive().size()) + 1,
       InflateTrouble::WrongLength},
      {stream, lengths + 4, 0x7FFFFFFF, InflateTrouble::BeyondFile},
      {stream, lengths + 12, 0xDEADBEEF, InflateTrouble::DoesNotInflate},
  };
  for (const Case& c : cases) {
    Bytes file = c.file;
    gamedata::putU32(file, c.offset, c.value);
    const Read read = readFrom(file, 0, 1 << 20);
    EXPECT_EQ(c.trouble, read.trouble) << "at " << c.offset;
    EXPECT_TRUE(read.bytes.empty()) << "at " << c.offset;
  }
  // A block of no bytes, its compressed length 0 too, ahead of the first: refused, not stepped
  // over to the intact blocks after it.
  Bytes empty = blocks;
  empty.insert(empty.begin() + 0x0C, 8, 0);
  const Read afterEmpty = readFrom(empty, 0, 1 << 20);
  EXPECT_EQ(InflateTrouble::WrongLength, afterEmpty.trouble);
  EXPECT_TRUE(afterEmpty.bytes.empty());
  // Cut short anywhere: never a byte from past the end, and never all of the archive.
  for (const Bytes* whole : {&blocks, &stream}) {
    for (std::size_t n = 0; n < whole->size(); ++n) {
      Bytes cut(whole->begin(), whole->begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_LT(readFrom(cut, 0, 1 << 20).bytes.size(), sampleArchive().size()) << n;
    }
  }
}

// The sample set with its spell archive replaced by `archive` under `name`, named by its
// configuration file.
RunResult sampleWith(const std::string& name, const Bytes& archive,
                     std::vector<std::string> options) {
  TempFolder folder;
  gamedata::writeGame(folder.path(), gamedata::buildGame(gamedata::sampleGame()));
  gamedata::writeFile(folder / name, archive);
  gamedata::writeFile(folder / gamedata::kConfigName,
                      std::string("sample.tlk\n") + name + "\nsample.key\n");
  options.push_back(gamedata::kSaveName);
  options.push_back(gamedata::kConfigName);
  return runGrimtrim(folder.path(), options);
}

TEST(CompressedArchive, AConfiguredArchiveInEitherFormListsAsItDoesUncompressed) {
  const std::string listed =
      "0 Selwyn\nLevel 1, Spell 1: Ember Dart\nLevel 1, Spell 2: Frost Veil\n"
      "Level 1, Spell 3: Witchlight\nLevel 1, Spell 4: Lesser Ward\nLevel 1, Spell 5: Slumber "
      "Dust\n";
  const Bytes blocks = gamedata::blockCompressed(sampleArchive());
  const Bytes stream = gamedata::streamCompressed(sampleArchive(), "spells.bif");
  EXPECT_EQ(bannerThen(listed), sampleWith("spells.bif", blocks, {"-p0", "-s1"}).output);
  EXPECT_EQ(bannerThen(listed), sampleWith("spells.cbf", stream, {"-p0", "-s1"}).output);

  // Damage found when the archive is opened, or only when a spell's block is inflated: the
  // archive is named and why, and the run gives up.
  Bytes header = blocks;
  gamedata::putU32(header, 0x08, 0xFFFFFFFF);
  const RunResult atOpen = sampleWith("spells.bif", header, {"-p0", "-s1"});
  EXPECT_EQ(bannerThen("<spells.bif> is a compressed spell.bif file that states a length too "
                       "large to inflate"),
            atOpen.output);
  EXPECT_EQ(1, atOpen.status);
  // The first block, which holds the archive's header, damaged: found when the header is
  // inflated as the archive is opened.
  Bytes first = blocks;
  first[0x14 + 2] ^= 0x55;
  const RunResult inHeader = sampleWith("spells.bif", first, {"-p0", "-s1"});
  EXPECT_EQ(bannerThen("<spells.bif> is a compressed spell.bif file that does not inflate"),
            inHeader.output);
  EXPECT_EQ(1, inHeader.status);
  // Every block after the first damaged.
  const Bytes late = damagedAfterFirstBlock(gamedata::blockCompressed(sampleArchive(), 100));
  const RunResult onTheWay = sampleWith("spells.bif", late, {"-p0", "-s1"});
  EXPECT_EQ(bannerThen("0 Selwyn\n<spells.bif> is a compressed spell.bif file that does not "
                       "inflate"),
            onTheWay.output);
  EXPECT_EQ(1, onTheWay.status);
  // A file of none of the three forms is refused as ever.
  EXPECT_EQ(bannerThen("<spells.bif> is not a spell.bif file, first chars are not \"BIFF\""),
            sampleWith("spells.bif", Bytes{'B', 'I', 'F', 'C', 'V', '2'}, {"-p0"}).output);
}

TEST(CompressedArchive, AGameFoldersCompressedArchivesAreReadAndADamagedOneIsPassedOver) {
  TempFolder game;
  gamedata::writeInstallation(game.path(), false);
  // The expansion's archive ships as data/expansion.CBF, beside the index's data/Expansion.bif;
  // the main spell archive is turned into blocks under its own name.
  gamedata::writeFile(game / "data/spells.bif",
                      gamedata::blockCompressed(readFile(game / "data/spells.bif"), 512));
  const auto run = [&](std::vector<std::string> options) {
    options.push_back(gamedata::kInstalledSave);
    options.push_back(".");
    return runGrimtrim(game.path(), options);
  };
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 1, Spell 1: Ember Dart\n"
                       "Level 1, Spell 2: Frost Veil, Reworked\nLevel 1, Spell 3: Witchlight\n"
                       "Level 1, Spell 4: Hush of Ash\n"),
            run({"-p0", "-s1"}).output);
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 2, Spell 1: Spark Swarm\nLevel 2, Spell 2: Mirror Haze\n"
                       "Level 2, Spell 3: Shade Blade\nLevel 2, Spell 4: Sticky Strands\n"),
            run({"-p0", "-s2"}).output);

  // The stream damaged right after its start (its name "Expansion.bif" and two lengths).
  Bytes expansion = readFile(game / "data/expansion.CBF");
  expansion[0x0C + 14 + 8 + 2] ^= 0x55;
  gamedata::writeFile(game / "data/expansion.CBF", expansion);
  const RunResult damaged = run({"-p0", "-s2"});
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 2, Spell 1: Spark Swarm\nLevel 2, Spell 2: Mirror Haze\n"
                       "Level 2, Spell 3: Sticky Strands\n"),
            damaged.output);
  EXPECT_EQ(0, damaged.status);
  if (errorsCollected()) {
    EXPECT_NE(std::string::npos,
              damaged.errors.find("grimtrim: compressed archive <data/Expansion.bif> does not "
                                  "inflate\n"));
  }

  // The main spell archive's header intact, the rest of it damaged: found while its table is
  // read, and named for that, not for the spells it then seems to lack.
  gamedata::writeFile(game / "data/spells.bif",
                      damagedAfterFirstBlock(readFile(game / "data/spells.bif")));
  const RunResult table = run({"-p0", "-s1"});
  EXPECT_EQ(bannerThen("1 Orla Venn\nLevel 1, Spell 1: Frost Veil, Reworked\n"
                       "Level 1, Spell 2: Hush of Ash\n"),
            table.output);
  EXPECT_EQ(0, table.status);
  if (errorsCollected()) {
    EXPECT_NE(std::string::npos,
              table.errors.find("grimtrim: compressed archive <data\\SPELLS.BIF> does not "
                                "inflate\n"));
  }
}

}  // namespace
