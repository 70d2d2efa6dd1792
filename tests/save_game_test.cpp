#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "formats/creature.h"
#include "support/in_process.h"

namespace {

using gamedata::Bytes;
using gamedata::putU32;

gamedata::GameFiles twoMembers() {
  gamedata::GameDef game;
  gamedata::MemberDef named;
  named.listing = 7;
  named.partyName = "Selwyn";
  named.creatureName = "Selwyn Ashgrove";
  gamedata::MemberDef unnamed;
  unnamed.listing = 3;
  unnamed.creatureName = "Quill";
  game.party = {named, unnamed};
  return gamedata::buildGame(game);
}

// Offset of party record `index`, or nothing when the record is refused.
std::optional<std::uint64_t> recordAt(Bytes& save, std::int32_t index) {
  const std::optional<PartyMember> member = PartyMember::at(viewOf(save), SaveLayout{}, index);
  if (!member) return std::nullopt;
  return member->offset();
}

// Offset of the creature record that the party record at `record` points to, or nothing when
// the creature is refused.
std::optional<std::uint64_t> creatureAt(Bytes& save, std::int32_t index) {
  const std::optional<PartyMember> member = PartyMember::at(viewOf(save), SaveLayout{}, index);
  if (!member) return std::nullopt;
  const std::optional<Creature> creature = Creature::of(*member);
  if (!creature) return std::nullopt;
  return creature->offset();
}

TEST(SaveGame, PartyRecordsAndCreaturesAreFoundInPlace) {
  gamedata::GameFiles files = twoMembers();
  const View save = viewOf(files.save);
  const auto& members = files.layout.members;
  EXPECT_EQ(2, partyCount(save));
  ASSERT_EQ(members[1].record, recordAt(files.save, 1));
  const std::optional<PartyMember> first = PartyMember::at(save, SaveLayout{}, 0);
  const std::optional<PartyMember> second = PartyMember::at(save, SaveLayout{}, 1);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(7, first->listingNumber());
  EXPECT_EQ("Selwyn", std::string(first->name().address, 6));
  EXPECT_EQ(6, first->name().length);
  EXPECT_EQ(0, second->name().length);
  EXPECT_EQ(members[1].creature, creatureAt(files.save, 1));
  EXPECT_EQ(0x2D4u, Creature::of(*first)->knownOffset());
}

TEST(SaveGame, RecordsOutsideTheFileAreRefused) {
  gamedata::GameFiles files = twoMembers();
  Bytes& save = files.save;
  EXPECT_EQ(std::nullopt, recordAt(save, -1000));
  EXPECT_EQ(std::nullopt, recordAt(save, 0x7FFFFFFF));
  EXPECT_EQ(std::nullopt, recordAt(save, -2147483647 - 1));
  putU32(save, 0x20, static_cast<std::uint32_t>(save.size() - 351));
  EXPECT_EQ(std::nullopt, recordAt(save, 0));
  putU32(save, 0x20, static_cast<std::uint32_t>(save.size() - 352));
  EXPECT_EQ(save.size() - 352, recordAt(save, 0));
  // Indexes are signed: a negative one counts back from the table, never wrapping around.
  putU32(save, 0x20, 2 * 352);
  EXPECT_EQ(352u, recordAt(save, -1));
  EXPECT_EQ(0u, recordAt(save, -2));
  EXPECT_EQ(std::nullopt, recordAt(save, -3));
  Bytes header(save.begin(), save.begin() + 0x27);  // one byte short of the party count
  EXPECT_EQ(0, partyCount(viewOf(header)));
  EXPECT_EQ(std::nullopt, recordAt(header, 0));
}

TEST(SaveGame, CreatureRecordsMustLieInsideAndBeginWithCre) {
  gamedata::GameFiles files = twoMembers();
  const auto& member = files.layout.members[0];
  struct Case {
    std::uint32_t creatureOffset;
    bool found;
  };
  const auto size = static_cast<std::uint32_t>(files.save.size());
  for (const Case& c :
       {Case{0, false}, Case{size, false}, Case{size - 0x2B7, false}, Case{0xFFFFFFFF, false},
        Case{static_cast<std::uint32_t>(member.creature), true}}) {
    Bytes save = files.save;
    putU32(save, member.record + 4, c.creatureOffset);
    EXPECT_EQ(c.found, creatureAt(save, 0).has_value()) << c.creatureOffset;
  }
  // Only three letters are checked, in their case.
  Bytes save = files.save;
  save[member.creature + 3] = 0xFF;
  EXPECT_EQ(member.creature, creatureAt(save, 0));
  save[member.creature + 2] = 'e';
  EXPECT_EQ(std::nullopt, creatureAt(save, 0));
}

TEST(SaveGame, KnownSpellsAndMemorizationEntriesMustLieInside) {
  gamedata::GameFiles files = twoMembers();
  const auto& layout = files.layout.members[0];
  const std::size_t known = layout.creature + 0x2A0;
  const std::size_t count = layout.creature + 0x2A4;
  struct Case {
    std::uint32_t offset;
    std::int32_t count;
    bool found;
  };
  const auto room = static_cast<std::uint32_t>(files.save.size() - layout.creature);
  for (const Case& c :
       {Case{room - 24, 2, true}, Case{room - 23, 2, false}, Case{room, 0, true},
        Case{0xFFFFFFFF, -5, true}, Case{0, 0x7FFFFFFF, false}, Case{0xFFFFFFF4, 1, false}}) {
    Bytes save = files.save;
    putU32(save, known, c.offset);
    putU32(save, count, static_cast<std::uint32_t>(c.count));
    const std::optional<Creature> creature =
        Creature::of(*PartyMember::at(viewOf(save), SaveLayout{}, 0));
    ASSERT_TRUE(creature);
    EXPECT_EQ(c.found, KnownSpells::of(*creature).has_value()) << c.offset << " " << c.count;
  }
  Bytes save = files.save;
  EXPECT_TRUE(MemorizationEntry::at(viewOf(save), save.size() - 16));
  EXPECT_FALSE(MemorizationEntry::at(viewOf(save), save.size() - 15));
  EXPECT_FALSE(MemorizationEntry::at(viewOf(save), UINT64_MAX - 8));
}

TEST(SaveGame, ANameWithoutNulEndsWithItsRecord) {
  gamedata::GameFiles files = twoMembers();
  const std::size_t record = files.layout.members[0].record;
  for (std::size_t i = record + 0xC0; i < record + 352; ++i)
    files.save[i] = 'a';
  EXPECT_EQ(352 - 0xC0, PartyMember::at(viewOf(files.save), SaveLayout{}, 0)->name().length);
}

}  // namespace
