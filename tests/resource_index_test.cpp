#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "formats/resource_index.h"
#include "formats/spell_archive.h"
#include "formats/spell_header.h"
#include "support/in_process.h"

namespace {

using gamedata::Bytes;
using gamedata::getU32;
using gamedata::putText;
using gamedata::putU32;

constexpr std::size_t kResourceEntrySize = 14;
constexpr std::size_t kFileEntrySize = 16;

// An 8-byte name field as it stands in a save: `text`, then NUL bytes, then `tail`.
ResRef name(const std::string& text, const std::string& tail = "") {
  std::array<std::uint8_t, 8> bytes{};
  std::memcpy(bytes.data(), text.data(), std::min<std::size_t>(text.size(), 8));
  std::memcpy(bytes.data() + 8 - tail.size(), tail.data(), tail.size());
  ResRef key = 0;
  for (std::size_t i = 8; i-- > 0;)
    key = key << 8 | bytes[i];
  return key;
}

// The spell header the archive's first entry for `locator` leads to, if it is one.
std::optional<SpellHeader> headerFor(Bytes& archive, Locator locator) {
  const std::optional<std::uint32_t> offset = dataOffsetOf(viewOf(archive), locator);
  if (!offset) return std::nullopt;
  return SpellHeader::at(viewOf(archive), *offset);
}

gamedata::GameFiles spells() {
  gamedata::GameDef game;
  game.unrelatedResources = 0;
  game.unrelatedFiles = 0;
  game.spells = {{"EMBER", "Ember Dart", 1},
                 {"WZ1FEATH", "Feather Step", 1},
                 {"WZ1VEIL", "Frost Veil", 1},
                 {"PR1MEND", "Mend Wounds", 1, 2},
                 {"GONE", "Gone", 2, 1, true, false}};
  return gamedata::buildGame(game);
}

// The locator the index holds for entry `e`, read from the bytes the builder wrote.
Locator storedLocator(const gamedata::GameFiles& files, std::size_t e) {
  return getU32(files.resourceIndex, files.layout.resourceTable + e * kResourceEntrySize + 10);
}

TEST(ResourceIndex, NamesCompareAsBoundedTextOfEightBytes) {
  gamedata::GameFiles files = spells();
  const View use = viewOf(files.resourceIndex);
  EXPECT_EQ(storedLocator(files, 0), findLocator(use, name("EMBER")));
  EXPECT_EQ(storedLocator(files, 1), findLocator(use, name("WZ1FEATH")));
  EXPECT_EQ(storedLocator(files, 2), findLocator(use, name("WZ1VEIL")));
  // Whatever follows the name's NUL does not count.
  EXPECT_EQ(storedLocator(files, 0), findLocator(use, name("EMBER", "xy")));
  EXPECT_EQ(storedLocator(files, 2), findLocator(use, name("WZ1VEIL", "")));
  // Case counts, and a name is equal only up to a NUL in both.
  EXPECT_EQ(kNoLocator, findLocator(use, name("ember")));
  EXPECT_EQ(kNoLocator, findLocator(use, name("EMBE")));
  EXPECT_EQ(kNoLocator, findLocator(use, name("EMBERS")));
  EXPECT_EQ(kNoLocator, findLocator(use, name("WZ1FEAT")));
  EXPECT_EQ(kNoLocator, findLocator(use, name("WZ1VEILS")));
  EXPECT_EQ(kNoLocator, findLocator(use, name("")));
}

TEST(ResourceIndex, EntryNamesWithBytesAfterTheirNulStillMatch) {
  gamedata::GameFiles files = spells();
  // The index holds "EMBER\0" followed by other bytes; the save "EMBER" and NULs.
  putText(files.resourceIndex, files.layout.resourceTable + 6, "zz", 2);
  const View use = viewOf(files.resourceIndex);
  EXPECT_EQ(storedLocator(files, 0), findLocator(use, name("EMBER")));
}

TEST(ResourceIndex, TheFirstEqualEntryWins) {
  gamedata::GameFiles files = spells();
  const std::size_t second = files.layout.resourceTable + 2 * kResourceEntrySize;
  putText(files.resourceIndex, second, "EMBER", 8);
  putU32(files.resourceIndex, files.layout.resourceTable + 8, 0xFFFF);  // bytes 8 and 9
  const View use = viewOf(files.resourceIndex);
  EXPECT_EQ(storedLocator(files, 0), findLocator(use, name("EMBER")));
}

TEST(ResourceIndex, OnlyEntriesInsideTheFileAreScanned) {
  const gamedata::GameFiles whole = spells();
  const std::size_t table = whole.layout.resourceTable;
  struct Case {
    std::size_t field;
    std::uint32_t value;
    bool found;  // is "WZ1VEIL", entry 2 of 5, found?
  };
  const auto size = static_cast<std::uint32_t>(whole.resourceIndex.size());
  for (const Case& c :
       {Case{0x0C, 2, false}, Case{0x0C, 0, false}, Case{0x0C, 0xFFFFFFFF, false},
        Case{0x0C, 0x7FFFFFFF, true}, Case{0x14, size, false}, Case{0x14, 0xFFFFFFFF, false},
        Case{0x14, 0, false}, Case{0x14, static_cast<std::uint32_t>(table - 14), true}}) {
    Bytes index = whole.resourceIndex;
    putU32(index, c.field, c.value);
    const View use = viewOf(index);
    EXPECT_EQ(c.found, findLocator(use, name("WZ1VEIL")) != kNoLocator)
        << "field " << c.field << " = " << c.value;
  }
  // Cut anywhere, the index finds the name only while its entry is whole.
  const std::size_t end = table + 3 * kResourceEntrySize;
  for (std::size_t n = 0; n < whole.resourceIndex.size(); ++n) {
    Bytes cut(whole.resourceIndex.begin(),
              whole.resourceIndex.begin() + static_cast<std::ptrdiff_t>(n));
    const View use = viewOf(cut);
    EXPECT_EQ(n >= end, findLocator(use, name("WZ1VEIL")) != kNoLocator) << n;
  }
}

TEST(ResourceIndex, ArchiveNumbersEndBelowTheTablesCount) {
  gamedata::GameFiles files = spells();
  EXPECT_EQ("data\\spells.bif", archivePath(viewOf(files.resourceIndex), 2));
  // A count one lower leaves the last entry's bytes in place, outside the table.
  putU32(files.resourceIndex, 0x08, 2);
  EXPECT_EQ("", archivePath(viewOf(files.resourceIndex), 2));
  EXPECT_EQ("data\\areas.bif", archivePath(viewOf(files.resourceIndex), 1));
}

TEST(SpellArchive, LocatorsCompareInAllTheirBits) {
  gamedata::GameFiles files = spells();
  const View use = viewOf(files.spellArchive);
  ASSERT_EQ(files.layout.spellHeaders[2], dataOffsetOf(use, storedLocator(files, 2)));
  const std::optional<SpellHeader> header = headerFor(files.spellArchive, storedLocator(files, 2));
  ASSERT_TRUE(header);
  EXPECT_EQ(1, header->type());
  EXPECT_EQ(1, header->level());
  EXPECT_EQ(files.layout.nameRefs[2], header->nameRef());
  EXPECT_EQ(2, headerFor(files.spellArchive, storedLocator(files, 3))->type());
  // The spell the archive does not hold, and a locator equal only in its low bits.
  EXPECT_EQ(std::nullopt, dataOffsetOf(use, storedLocator(files, 4)));
  EXPECT_EQ(std::nullopt, dataOffsetOf(use, storedLocator(files, 2) | 0x00100000));
  EXPECT_EQ(std::nullopt, dataOffsetOf(use, storedLocator(files, 2) & 0xFFFF));
}

TEST(SpellArchive, TheFirstEqualEntryWins) {
  gamedata::GameFiles files = spells();
  const std::size_t first = files.layout.fileTable;
  putU32(files.spellArchive, first + kFileEntrySize, getU32(files.spellArchive, first));
  EXPECT_EQ(files.layout.spellHeaders[0],
            dataOffsetOf(viewOf(files.spellArchive), storedLocator(files, 0)));
}

TEST(SpellArchive, HeadersMustLieInsideAndBeginWithSpl) {
  const gamedata::GameFiles whole = spells();
  const std::size_t entry = whole.layout.fileTable + 2 * kFileEntrySize;
  const auto size = static_cast<std::uint32_t>(whole.spellArchive.size());
  struct Case {
    std::uint32_t dataOffset;
    bool valid;
  };
  for (const Case& c : {Case{size, false}, Case{size - 0x37, false}, Case{size - 0x38, false},
                        Case{0xFFFFFFFF, false}, Case{0, false},
                        Case{static_cast<std::uint32_t>(whole.layout.spellHeaders[0]), true}}) {
    Bytes archive = whole.spellArchive;
    putU32(archive, entry + 4, c.dataOffset);
    EXPECT_EQ(c.dataOffset, dataOffsetOf(viewOf(archive), storedLocator(whole, 2)));
    EXPECT_EQ(c.valid, headerFor(archive, storedLocator(whole, 2)).has_value()) << c.dataOffset;
  }
  // A header of exactly 0x38 bytes at the end of the file is whole.
  Bytes archive = whole.spellArchive;
  archive.resize(whole.layout.spellHeaders[3] + 0x38);
  EXPECT_TRUE(headerFor(archive, storedLocator(whole, 3)));
  archive.pop_back();
  EXPECT_FALSE(headerFor(archive, storedLocator(whole, 3)));
}

TEST(SpellArchive, DamagedTablesFindNothing) {
  const gamedata::GameFiles whole = spells();
  for (const auto& [field, value] :
       {std::pair<std::size_t, std::uint32_t>{0x08, 0},
        {0x08, 0x80000000},
        {0x10, 0xFFFFFFFF},
        {0x10, static_cast<std::uint32_t>(whole.spellArchive.size())}}) {
    Bytes archive = whole.spellArchive;
    putU32(archive, field, value);
    EXPECT_EQ(std::nullopt, dataOffsetOf(viewOf(archive), storedLocator(whole, 0))) << field;
  }
  Bytes header(whole.spellArchive.begin(), whole.spellArchive.begin() + 0x13);
  EXPECT_EQ(std::nullopt, dataOffsetOf(viewOf(header), storedLocator(whole, 0)));
}

}  // namespace
