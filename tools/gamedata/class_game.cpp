#include "gamedata/class_game.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "gamedata/game_def.h"
#include "gamedata/game_files.h"
#include "gamedata/layout_internal.h"
#include "gamedata/string_table_out.h"

namespace gamedata {

namespace {

constexpr std::size_t kHeaderSize = 0x62E;
constexpr std::size_t kSaveHeaderSize = 0xB4;
constexpr std::size_t kEntrySize = 0x340;
constexpr std::size_t kItemSlotsSize = 0x68;
constexpr std::size_t kItemSize = 20;
constexpr std::size_t kEffectSize = 264;
// The lists of a record in the order they lie: the 63 class lists, the 9 domain lists, then the
// innate abilities, songs and shapes.
constexpr std::size_t kLists = 75;
std::size_t listOffsetField(std::size_t list) {
  if (list < 63) return 0x3BA + 4 * list;
  if (list < 72) return 0x5B2 + 4 * (list - 63);
  return 0x5FA + 8 * (list - 72);
}
std::size_t listCountField(std::size_t list) {
  if (list < 63) return 0x4B6 + 4 * list;
  if (list < 72) return 0x5D6 + 4 * (list - 63);
  return listOffsetField(list) + 4;
}

ClassMemberDef memberOf(std::uint16_t listing, const char* name, std::vector<ClassListDef> lists) {
  ClassMemberDef member;
  member.listing = listing;
  member.name = name;
  member.lists = std::move(lists);
  return member;
}

std::vector<ClassEntryDef> spells(std::initializer_list<std::uint32_t> rows) {
  std::vector<ClassEntryDef> entries;
  for (const std::uint32_t row : rows)
    entries.push_back({row, 1, 1});
  return entries;
}

}  // namespace

std::size_t classListOffsetField(int spellClass, int level) {
  return listOffsetField(static_cast<std::size_t>(spellClass * 9 + level - 1));
}

std::size_t classListCountField(int spellClass, int level) {
  return listCountField(static_cast<std::size_t>(spellClass * 9 + level - 1));
}

Bytes makeClassRecord(const ClassMemberDef& member, std::uint32_t seed) {
  Bytes bytes;
  fill(bytes, 0, kHeaderSize, seed);
  putText(bytes, 0, "CRE V2.2", 8);
  putU32(bytes, 0x008, 0xFFFFFFFF);  // named in the party entry, as the game's saves are
  putU32(bytes, 0x00C, 0xFFFFFFFF);
  std::size_t next = kHeaderSize;
  for (std::size_t list = 0; list < kLists; ++list) {
    std::vector<ClassEntryDef> entries;
    if (list == 72) entries.assign(member.innate, ClassEntryDef{0, 1, 1});
    for (const ClassListDef& def : member.lists) {
      if (static_cast<std::size_t>(def.spellClass * 9 + def.level - 1) == list)
        entries = def.entries;
    }
    putU32(bytes, listOffsetField(list), static_cast<std::uint32_t>(next));
    putU32(bytes, listCountField(list), static_cast<std::uint32_t>(entries.size()));
    for (const ClassEntryDef& entry : entries) {
      putU32(bytes, next, entry.spell);
      putU32(bytes, next + 4, entry.memorized);
      putU32(bytes, next + 8, entry.remaining);
      putU32(bytes, next + 12, 0);
      next += 16;
    }
    // The level's slots and, for the sorcerers' lists (class 5), the free ones: the game works
    // them out again when it loads a save, so a spell taken out leaves them as they are.
    putU32(bytes, next, list < 72 ? 4 : 0);
    putU32(bytes, next + 4, list / 9 == 5 ? 1 : 0);
    next += 8;
  }
  const auto section = [&](std::size_t offsetField, std::size_t size, std::size_t count) {
    putU32(bytes, offsetField, count == 0 ? 0 : static_cast<std::uint32_t>(next));
    fill(bytes, next, next + size * count, seed + static_cast<std::uint32_t>(offsetField));
    next += size * count;
  };
  const auto slots = [&] {
    putU32(bytes, 0x612, static_cast<std::uint32_t>(next));
    fill(bytes, next, next + kItemSlotsSize, seed);
    next += kItemSlotsSize;
  };
  if (!member.itemSlotsLast) slots();
  section(0x616, kItemSize, member.items);
  putU32(bytes, 0x61A, static_cast<std::uint32_t>(member.items));
  section(0x61E, kEffectSize, member.effects);
  putU32(bytes, 0x622, static_cast<std::uint32_t>(member.effects));
  if (member.itemSlotsLast) slots();
  return bytes;
}

Bytes makeClassSave(const std::vector<ClassMemberDef>& party,
                    const std::vector<ClassMemberDef>& others, ClassSaveLayout& layout) {
  Bytes bytes;
  fill(bytes, 0, kSaveHeaderSize, 77);
  putText(bytes, 0, "GAMEV2.2", 8);
  for (const std::size_t field : {std::size_t{0x28}, std::size_t{0x78}})
    putU32(bytes, field, 0);
  // Not offsets, whatever they hold.
  putU32(bytes, 0x48, 0x7FFFFFF0);
  putU32(bytes, 0x6C, 0x7FFFFFF1);
  const auto table = [&](const std::vector<ClassMemberDef>& members, std::size_t at,
                         std::vector<ClassRecordLayout>& placed, std::uint32_t seed) {
    std::size_t next = at + members.size() * kEntrySize;
    fill(bytes, at, next, seed);
    for (std::size_t m = 0; m < members.size(); ++m) {
      const Bytes record = makeClassRecord(members[m], seed + static_cast<std::uint32_t>(m));
      const std::size_t entry = at + m * kEntrySize;
      putU16(bytes, entry + 0x02, members[m].listing);
      putU32(bytes, entry + 0x04, static_cast<std::uint32_t>(next));
      putU32(bytes, entry + 0x08, static_cast<std::uint32_t>(record.size()));
      putText(bytes, entry + 0x1BE, members[m].name, 32);
      bytes.insert(bytes.end(), record.begin(), record.end());
      placed.push_back({entry, next, record.size()});
      next += record.size();
    }
    return next;
  };
  putU32(bytes, 0x20, static_cast<std::uint32_t>(kSaveHeaderSize));
  putU32(bytes, 0x24, static_cast<std::uint32_t>(party.size()));
  layout.outOfPartyTable = table(party, kSaveHeaderSize, layout.party, 1);
  putU32(bytes, 0x30, static_cast<std::uint32_t>(layout.outOfPartyTable));
  putU32(bytes, 0x34, static_cast<std::uint32_t>(others.size()));
  layout.variables = table(others, layout.outOfPartyTable, layout.outOfParty, 41);
  putU32(bytes, 0x38, static_cast<std::uint32_t>(layout.variables));
  putU32(bytes, 0x3C, 3);
  layout.journal = layout.variables + 3 * 84;
  fill(bytes, layout.variables, layout.journal, 5);
  putU32(bytes, 0x50, static_cast<std::uint32_t>(layout.journal));
  putU32(bytes, 0x54, 2);
  layout.familiar = layout.journal + 2 * 12;
  fill(bytes, layout.journal, layout.familiar, 6);
  putU32(bytes, 0x68, static_cast<std::uint32_t>(layout.familiar));
  layout.lastDword = layout.familiar + 0x190;
  fill(bytes, layout.familiar, layout.lastDword, 8);
  putU32(bytes, layout.familiar + 0x48, static_cast<std::uint32_t>(layout.lastDword));
  putU32(bytes, layout.lastDword, 0);
  return bytes;
}

std::vector<ClassMemberDef> classParty() {
  ClassMemberDef sorcerer = memberOf(
      0, "Ilsabet Vane", {{5, 1, spells({1, 2, 3})}, {5, 2, spells({4, 10})}, {5, 3, spells({6})}});
  sorcerer.innate = 1;
  sorcerer.items = 2;
  sorcerer.effects = 1;
  // A wizard who is also a sorcerer; a row the game no longer uses and a row short of values
  // among the wizard's first-level spells.
  ClassMemberDef both = memberOf(1, "Dunmore Pike",
                                 {{5, 1, spells({3})},
                                  {5, 3, spells({7})},
                                  {6, 1, spells({2, 0, 1, 9})},
                                  {6, 2, spells({5})},
                                  {6, 4, spells({11})}});
  both.items = 1;
  both.effects = 2;
  both.itemSlotsLast = true;
  // Divine spells only: nothing of a spell book is listed.
  ClassMemberDef cleric =
      memberOf(2, "Brother Hale", {{1, 1, spells({8, 12})}, {7, 1, spells({8})}});
  ClassMemberDef innate = memberOf(3, "Wren", {});
  innate.innate = 2;
  return {sorcerer, both, cleric, innate};
}

std::vector<ClassMemberDef> classOthers() {
  return {memberOf(4, "Old Tobin", {{5, 1, spells({1})}})};
}

}  // namespace gamedata
