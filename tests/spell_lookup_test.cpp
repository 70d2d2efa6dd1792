#include "formats/spell_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <vector>

#include "formats/locator_rule.h"
#include "formats/spell_archive.h"
#include "support/in_process.h"

namespace {

using gamedata::Bytes;
using gamedata::getU32;
using gamedata::putU32;

using Name = std::array<std::uint8_t, 8>;

ResRef keyOf(const Name& name) {
  ResRef key = 0;
  for (std::size_t i = 8; i-- > 0;)
    key = key << 8 | name[i];
  return key;
}

// The lookups done the plain way, one name at a time, byte by byte as bounded text: equal at
// the first position where both hold a NUL or after 8 equal bytes. Entries are read only while
// they lie whole inside the file.
std::optional<std::uint32_t> plainLocator(const Bytes& index, const Name& name) {
  if (index.size() < 0x18) return std::nullopt;
  const auto count = static_cast<std::int32_t>(getU32(index, 0x0C));
  const std::uint64_t table = getU32(index, 0x14);
  for (std::int64_t i = 0; i < count; ++i) {
    const std::uint64_t entry = table + static_cast<std::uint64_t>(i) * 14;
    if (entry + 14 > index.size()) break;
    bool equal = true;
    for (std::size_t k = 0; k < 8; ++k) {
      if (name[k] != index[entry + k]) {
        equal = false;
        break;
      }
      if (name[k] == 0) break;
    }
    if (equal) return getU32(index, entry + 10);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> plainDataOffset(const Bytes& archive, std::uint32_t locator) {
  if (archive.size() < 0x14) return std::nullopt;
  const auto count = static_cast<std::int32_t>(getU32(archive, 0x08));
  const std::uint64_t table = getU32(archive, 0x10);
  for (std::int64_t i = 0; i < count; ++i) {
    const std::uint64_t entry = table + static_cast<std::uint64_t>(i) * 16;
    if (entry + 16 > archive.size()) break;
    if (getU32(archive, entry) == locator) return getU32(archive, entry + 4);
  }
  return std::nullopt;
}

// Random tables whose names come from a tiny alphabet, so that duplicates, names that differ
// only after their NUL and all-zero names are common, and whose files are often cut short.
class RandomTables {
 public:
  explicit RandomTables(std::uint32_t seed) : random_(seed) {}

  Name name() {
    // Bytes that trip up word-at-a-time NUL searches (0x01, 0x80, 0xFF) stand beside letters.
    static constexpr std::array<std::uint8_t, 5> kBytes = {'A', 'B', 0x01, 0x80, 0xFF};
    Name name{};
    const std::size_t length = below(10);  // 8 and 9: no NUL at all
    for (std::size_t k = 0; k < 8; ++k) {
      name[k] = k < length ? kBytes[below(kBytes.size())]
                           : static_cast<std::uint8_t>(below(3) == 0 ? 0xFF : 0);
    }
    if (length < 8) name[length] = 0;
    return name;
  }

  std::uint32_t locator() {
    static constexpr std::array<std::uint32_t, 5> kLocators = {1, 2, 0x00100002, 0xFFFFFFFF, 7};
    return kLocators[below(kLocators.size())];
  }

  Bytes index(std::size_t entries, std::vector<Name>& names) {
    Bytes file(0x18 + entries * 14);
    putU32(file, 0, 0x2059454B);  // "KEY "
    putU32(file, 0x0C, static_cast<std::uint32_t>(entries + below(3)));
    putU32(file, 0x14, 0x18);
    for (std::size_t i = 0; i < entries; ++i) {
      names.push_back(name());
      std::copy(names.back().begin(), names.back().end(),
                file.begin() + static_cast<std::ptrdiff_t>(0x18 + i * 14));
      putU32(file, 0x18 + i * 14 + 10, locator());
    }
    return cut(file);
  }

  Bytes archive(std::size_t entries) {
    Bytes file(0x14 + entries * 16);
    putU32(file, 0, 0x46464942);  // "BIFF"
    putU32(file, 0x08, static_cast<std::uint32_t>(entries));
    putU32(file, 0x10, 0x14);
    for (std::size_t i = 0; i < entries; ++i) {
      putU32(file, 0x14 + i * 16, locator());
      putU32(file, 0x14 + i * 16 + 4, static_cast<std::uint32_t>(random_()));
    }
    return cut(file);
  }

  std::size_t below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

 private:
  // Half of the files end somewhere inside their last entries, or even inside the header.
  Bytes cut(Bytes file) {
    if (below(2) == 0) file.resize(file.size() - below(std::min<std::size_t>(file.size(), 40)));
    return file;
  }

  std::mt19937 random_;
};

TEST(SpellLookup, OnePassGivesWhatEachNameGivesOnItsOwn) {
  std::size_t found = 0;
  std::size_t missing = 0;
  for (std::uint32_t seed = 0; seed < 2000; ++seed) {
    RandomTables random(seed);
    std::vector<Name> stored;
    Bytes index = random.index(random.below(12), stored);
    Bytes archive = random.archive(random.below(8));
    // Wanted names: stored ones, stored ones with other bytes after their NUL, and new ones.
    std::vector<Name> wanted;
    for (std::size_t n = random.below(16); n > 0; --n) {
      Name name = stored.empty() || random.below(3) == 0 ? random.name()
                                                         : stored[random.below(stored.size())];
      if (random.below(3) == 0) {
        const auto nul = std::find(name.begin(), name.end() - 1, 0);
        if (nul != name.end() - 1) *(nul + 1) = 'B';
      }
      wanted.push_back(name);
    }
    std::vector<ResRef> keys;
    for (const Name& name : wanted)
      keys.push_back(keyOf(name));

    const std::vector<SpellLocation> all = locateSpells(viewOf(index), viewOf(archive), keys);
    ASSERT_EQ(wanted.size(), all.size());
    for (std::size_t n = 0; n < wanted.size(); ++n) {
      SpellLocation expected;
      const std::optional<std::uint32_t> locator = plainLocator(index, wanted[n]);
      if (locator && *locator != kNoLocator) {
        expected.locator = *locator;
        expected.dataOffset = plainDataOffset(archive, *locator);
      }
      ASSERT_EQ(expected, all[n]) << "seed " << seed << ", name " << n;
      ASSERT_EQ(expected.locator, findLocator(viewOf(index), keys[n])) << "seed " << seed;
      (expected.locator == kNoLocator ? missing : found) += 1;
    }
  }
  // The tables were random, not empty: both outcomes came up many times.
  EXPECT_GT(found, 1000u);
  EXPECT_GT(missing, 1000u);
}

}  // namespace

namespace {

// An index whose archive table names `archives` and whose resources are `resources` (name,
// locator); an archive whose file entries hold `locators`, each entry's data at 0x100 + its
// place.
Bytes indexNaming(const std::vector<std::string>& archives,
                  const std::vector<std::pair<std::string, std::uint32_t>>& resources) {
  Bytes index;
  gamedata::putText(index, 0, "KEY V1  ", 8);
  putU32(index, 0x08, static_cast<std::uint32_t>(archives.size()));
  putU32(index, 0x10, 0x18);
  std::size_t names = 0x18 + archives.size() * 12;
  for (std::size_t a = 0; a < archives.size(); ++a) {
    putU32(index, 0x18 + a * 12 + 4, static_cast<std::uint32_t>(names));
    gamedata::putU16(index, 0x18 + a * 12 + 8, static_cast<std::uint16_t>(archives[a].size() + 1));
    gamedata::putText(index, names, archives[a], archives[a].size() + 1);
    names += archives[a].size() + 1;
  }
  putU32(index, 0x0C, static_cast<std::uint32_t>(resources.size()));
  putU32(index, 0x14, static_cast<std::uint32_t>(names));
  for (std::size_t r = 0; r < resources.size(); ++r) {
    gamedata::putText(index, names + r * 14, resources[r].first, 8);
    putU32(index, names + r * 14 + 10, resources[r].second);
  }
  return index;
}

Bytes archiveHolding(const std::vector<std::uint32_t>& locators) {
  Bytes archive;
  gamedata::putText(archive, 0, "BIFFV1  ", 8);
  putU32(archive, 0x08, static_cast<std::uint32_t>(locators.size()));
  putU32(archive, 0x10, 0x14);
  for (std::size_t e = 0; e < locators.size(); ++e) {
    putU32(archive, 0x14 + e * 16, locators[e]);
    putU32(archive, 0x14 + e * 16 + 4, static_cast<std::uint32_t>(0x100 + e));
  }
  archive.resize(0x14 + locators.size() * 16);  // the last entry whole inside the file
  return archive;
}

ResRef nameKey(const char* text) {
  Name name{};
  for (std::size_t i = 0; i < 8 && text[i] != '\0'; ++i)
    name[i] = static_cast<std::uint8_t>(text[i]);
  return keyOf(name);
}

}  // namespace

TEST(SpellLookup, FilePartEntriesMatchOnlyForTheConfiguredArchivesNumber) {
  Bytes index =
      indexNaming({"data\\Common.bif", "data/SPELLS.bif", "data/Other.bif"},
                  {{"EMBER", 1u << 20 | 3}, {"VEIL", 2u << 20 | 4}, {"LAMP", 1u << 20 | 9}});
  // Entries that keep the file part only; LAMP's archive holds it whole after its file part.
  Bytes archive = archiveHolding({3, 4, 9, 1u << 20 | 9});
  const std::vector<ResRef> names = {nameKey("EMBER"), nameKey("VEIL"), nameKey("LAMP")};

  // The configured archive's file name, in another case and folder, numbers it 1.
  const std::optional<std::uint32_t> number = archiveNumberNamed(viewOf(index), "game/spells.bif");
  ASSERT_EQ(std::optional<std::uint32_t>(1), number);
  // Its ".cbf" file, as older releases ship it, stands for it.
  EXPECT_EQ(number, archiveNumberNamed(viewOf(index), "SPELLS.CBF"));
  const std::vector<SpellLocation> found =
      locateSpells(viewOf(index), viewOf(archive), names, number);
  EXPECT_EQ(std::optional<std::uint32_t>(0x100), found[0].dataOffset);  // file part, archive 1
  EXPECT_EQ(std::nullopt, found[1].dataOffset);  // the same file part under archive 2: never
  EXPECT_EQ(std::optional<std::uint32_t>(0x103), found[2].dataOffset);  // the whole locator wins

  // An archive the table does not name, and a table that does not lie inside the index: the
  // whole-locator compare alone.
  EXPECT_EQ(std::nullopt, archiveNumberNamed(viewOf(index), "absent.bif"));
  putU32(index, 0x10, static_cast<std::uint32_t>(index.size()));
  ASSERT_EQ(std::nullopt, archiveNumberNamed(viewOf(index), "spells.bif"));
  const std::vector<SpellLocation> whole = locateSpells(
      viewOf(index), viewOf(archive), names, archiveNumberNamed(viewOf(index), "spells.bif"));
  EXPECT_EQ(std::nullopt, whole[0].dataOffset);
  EXPECT_EQ(std::optional<std::uint32_t>(0x103), whole[2].dataOffset);
}

TEST(SpellLookup, EntriesAnswerAsTheirArchiveWasReached) {
  // Entries without the archive's number, one of them with bits 14-19 set, and one whole locator.
  Bytes archive = archiveHolding({3, 0x4003, 7, 1u << 20 | 7});
  const std::vector<Locator> wanted = {1u << 20 | 3, 1u << 20 | 0x4003, 1u << 20 | 7, 2u << 20 | 3};
  using Found = std::vector<std::optional<std::uint32_t>>;
  const auto dataOffsets = [&](const ArchiveMatch& match) {
    EntryFinder entries(match, wanted);
    entries.scan(viewOf(archive), fileEntries(viewOf(archive)));
    Found found;
    for (const Locator locator : wanted)
      found.push_back(entries.dataOffset(locator));
    return found;
  };
  // The configured archive, number 1: its own number's locators without it, bits 14-19 kept;
  // the whole locator before an earlier file part; never another archive's number.
  EXPECT_EQ((Found{0x100, 0x101, 0x103, std::nullopt}), dataOffsets(ArchiveMatch::named(1)));
  // An archive of a game's folder: the first entry whose bits 0-13 are the locator's.
  EXPECT_EQ((Found{0x100, 0x100, 0x102, 0x100}), dataOffsets(ArchiveMatch::numbered()));
}

TEST(SpellLookup, FoldingCaseTouchesCapitalsOnly) {
  EXPECT_EQ(nameKey("wz1ember"), foldCase(nameKey("WZ1EmBeR")));
  // '@', '[', bytes of 0x80 and above and the NUL stay as they are.
  const ResRef odd = 0x00C1DB405A41ull;  // "AZ@\xDB\xC1" then NULs, little-endian
  EXPECT_EQ(0x00C1DB407A61ull, foldCase(odd));
}
