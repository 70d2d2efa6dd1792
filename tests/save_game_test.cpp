#include <gtest/gtest.h>

#include <string>

#include "formats/save_game.h"
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

TEST(SaveGame, PartyRecordsAndCreaturesAreFoundInPlace) {
  gamedata::GameFiles files = twoMembers();
  ScopedView use(g_saveGameView, files.save);
  const auto& members = files.layout.members;
  EXPECT_EQ(2, partyCount());
  ASSERT_EQ(members[1].record, partyMember(1));
  EXPECT_EQ(7, listingNumber(partyMember(0)));
  EXPECT_EQ("Selwyn", std::string(memberName(partyMember(0)), 6));
  EXPECT_EQ(6, memberNameLength(partyMember(0)));
  EXPECT_EQ(0, memberNameLength(partyMember(1)));
  EXPECT_EQ(members[1].creature, creatureOf(partyMember(1)));
  EXPECT_EQ(0x2D4u, knownSpellsOffset(members[0].creature));
}

TEST(SaveGame, RecordsOutsideTheFileAreNowhere) {
  gamedata::GameFiles files = twoMembers();
  Bytes& save = files.save;
  {
    ScopedView use(g_saveGameView, save);
    EXPECT_EQ(kNowhere, partyMember(-1000));
    EXPECT_EQ(kNowhere, partyMember(0x7FFFFFFF));
    EXPECT_EQ(kNowhere, partyMember(-2147483647 - 1));
  }
  putU32(save, 0x20, static_cast<std::uint32_t>(save.size() - 351));
  {
    ScopedView use(g_saveGameView, save);
    EXPECT_EQ(kNowhere, partyMember(0));
  }
  putU32(save, 0x20, static_cast<std::uint32_t>(save.size() - 352));
  {
    ScopedView use(g_saveGameView, save);
    EXPECT_EQ(save.size() - 352, partyMember(0));
  }
  // Indexes are signed: a negative one counts back from the table, never wrapping around.
  putU32(save, 0x20, 2 * 352);
  {
    ScopedView use(g_saveGameView, save);
    EXPECT_EQ(352u, partyMember(-1));
    EXPECT_EQ(0u, partyMember(-2));
    EXPECT_EQ(kNowhere, partyMember(-3));
  }
  Bytes header(save.begin(), save.begin() + 0x27);  // one byte short of the party count
  ScopedView use(g_saveGameView, header);
  EXPECT_EQ(0, partyCount());
  EXPECT_EQ(kNowhere, partyMember(0));
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
    ScopedView use(g_saveGameView, save);
    EXPECT_EQ(c.found, creatureOf(member.record) != kNowhere) << c.creatureOffset;
  }
  // Only three letters are checked, in their case.
  Bytes save = files.save;
  save[member.creature + 3] = 0xFF;
  {
    ScopedView use(g_saveGameView, save);
    EXPECT_EQ(member.creature, creatureOf(member.record));
  }
  save[member.creature + 2] = 'e';
  ScopedView use(g_saveGameView, save);
  EXPECT_EQ(kNowhere, creatureOf(member.record));
}

TEST(SaveGame, ANameWithoutNulEndsWithItsRecord) {
  gamedata::GameFiles files = twoMembers();
  const std::size_t record = files.layout.members[0].record;
  for (std::size_t i = record + 0xC0; i < record + 352; ++i)
    files.save[i] = 'a';
  ScopedView use(g_saveGameView, files.save);
  EXPECT_EQ(352 - 0xC0, memberNameLength(record));
}

}  // namespace
