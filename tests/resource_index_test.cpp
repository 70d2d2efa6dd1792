#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "formats/resource_index.h"
#include "support/in_process.h"

namespace {

using gamedata::Bytes;
using gamedata::getU32;
using gamedata::putText;
using gamedata::putU32;

constexpr std::size_t kResourceEntrySize = 14;
constexpr std::size_t kFileEntrySize = 16;

// An 8-byte name field as it stands in a save: `text`, then NUL bytes, then `tail`.
std::array<std::uint8_t, 8> name(const std::string& text, const std::string& tail = "") {
  std::array<std::uint8_t, 8> bytes{};
  std::memcpy(bytes.data(), text.data(), std::min<std::size_t>(text.size(), 8));
  std::memcpy(bytes.data() + 8 - tail.size(), tail.data(), tail.size());
  return bytes;
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
  ScopedView use(g_resourceIndexView, files.resourceIndex);
  EXPECT_EQ(storedLocator(files, 0), findLocator(name("EMBER").data()));
  EXPECT_EQ(storedLocator(files, 1), findLocator(name("WZ1FEATH").data()));
  EXPECT_EQ(storedLocator(files, 2), findLocator(name("WZ1VEIL").data()));
  // Whatever follows the name's NUL does not count.
  EXPECT_EQ(storedLocator(files, 0), findLocator(name("EMBER", "xy").data()));
  EXPECT_EQ(storedLocator(files, 2), findLocator(name("WZ1VEIL", "").data()));
  // Case counts, and a name is equal only up to a NUL in both.
  EXPECT_EQ(kNoLocator, findLocator(name("ember").data()));
  EXPECT_EQ(kNoLocator, findLocator(name("EMBE").data()));
  EXPECT_EQ(kNoLocator, findLocator(name("EMBERS").data()));
  EXPECT_EQ(kNoLocator, findLocator(name("WZ1FEAT").data()));
  EXPECT_EQ(kNoLocator, findLocator(name("WZ1VEILS").data()));
  EXPECT_EQ(kNoLocator, findLocator(name("").data()));
}

TEST(ResourceIndex, EntryNamesWithBytesAfterTheirNulStillMatch) {
  gamedata::GameFiles files = spells();
  // The index holds "EMBER\0" followed by other bytes; the save "EMBER" and NULs.
  putText(files.resourceIndex, files.layout.resourceTable + 6, "zz", 2);
  ScopedView use(g_resourceIndexView, files.resourceIndex);
  EXPECT_EQ(storedLocator(files, 0), findLocator(name("EMBER").data()));
}

TEST(ResourceIndex, TheFirstEqualEntryWins) {
  gamedata::GameFiles files = spells();
  const std::size_t second = files.layout.resourceTable + 2 * kResourceEntrySize;
  putText(files.resourceIndex, second, "EMBER", 8);
  putU32(files.resourceIndex, files.layout.resourceTable + 8, 0xFFFF);  // bytes 8 and 9
  ScopedView use(g_resourceIndexView, files.resourceIndex);
  EXPECT_EQ(storedLocator(files, 0), findLocator(name("EMBER").data()));
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
    ScopedView use(g_resourceIndexView, index);
    EXPECT_EQ(c.found, findLocator(name("WZ1VEIL").data()) != kNoLocator)
        << "field " << c.field << " = " << c.value;
  }
  // Cut anywhere, the index finds the name only while its entry is whole.
  const std::size_t end = table + 3 * kResourceEntrySize;
  for (std::size_t n = 0; n < whole.resourceIndex.size(); ++n) {
    Bytes cut(whole.resourceIndex.begin(),
              whole.resourceIndex.begin() + static_cast<std::ptrdiff_t>(n));
    ScopedView use(g_resourceIndexView, cut);
    EXPECT_EQ(n >= end, findLocator(name("WZ1VEIL").data()) != kNoLocator) << n;
  }
}

TEST(SpellArchive, LocatorsCompareInAllTheirBits) {
  gamedata::GameFiles files = spells();
  ScopedView use(g_spellArchiveView, files.spellArchive);
  const SpellHeader header = findSpellHeader(storedLocator(files, 2));
  ASSERT_EQ(files.layout.spellHeaders[2], header.offset);
  ASSERT_TRUE(header.isValid());
  EXPECT_EQ(1, header.type());
  EXPECT_EQ(1, header.level());
  EXPECT_EQ(files.layout.nameRefs[2], header.nameRef());
  EXPECT_EQ(2, findSpellHeader(storedLocator(files, 3)).type());
  // The spell the archive does not hold, and a locator equal only in its low bits.
  EXPECT_EQ(kNowhere, findSpellHeader(storedLocator(files, 4)).offset);
  EXPECT_EQ(kNowhere, findSpellHeader(storedLocator(files, 2) | 0x00100000).offset);
  EXPECT_EQ(kNowhere, findSpellHeader(storedLocator(files, 2) & 0xFFFF).offset);
}

TEST(SpellArchive, TheFirstEqualEntryWins) {
  gamedata::GameFiles files = spells();
  const std::size_t first = files.layout.fileTable;
  putU32(files.spellArchive, first + kFileEntrySize, getU32(files.spellArchive, first));
  ScopedView use(g_spellArchiveView, files.spellArchive);
  EXPECT_EQ(files.layout.spellHeaders[0], findSpellHeader(storedLocator(files, 0)).offset);
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
    ScopedView use(g_spellArchiveView, archive);
    const SpellHeader header = findSpellHeader(storedLocator(whole, 2));
    EXPECT_EQ(c.dataOffset, header.offset);
    EXPECT_EQ(c.valid, header.isValid()) << c.dataOffset;
  }
  // A header of exactly 0x38 bytes at the end of the file is whole.
  Bytes archive = whole.spellArchive;
  archive.resize(whole.layout.spellHeaders[3] + 0x38);
  ScopedView use(g_spellArchiveView, archive);
  EXPECT_TRUE(findSpellHeader(storedLocator(whole, 3)).isValid());
  archive.pop_back();
  ScopedView shorter(g_spellArchiveView, archive);
  EXPECT_FALSE(findSpellHeader(storedLocator(whole, 3)).isValid());
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
    ScopedView use(g_spellArchiveView, archive);
    EXPECT_EQ(kNowhere, findSpellHeader(storedLocator(whole, 0)).offset) << field;
  }
  Bytes header(whole.spellArchive.begin(), whole.spellArchive.begin() + 0x13);
  ScopedView use(g_spellArchiveView, header);
  EXPECT_EQ(kNowhere, findSpellHeader(storedLocator(whole, 0)).offset);
}

}  // namespace
