// The saved game ("GAME"): its header, the party table and the creature records after it.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "gamedata/layout_internal.h"

namespace gamedata {

namespace {

constexpr std::size_t kCreatureHeaderSize = 0x2D4;

constexpr SaveFormatFacts kUsual{"GAMEV2.0", 0xB4, 0x160, 0xC0, "CRE V1.0", 0};
constexpr SaveFormatFacts kLongHeader{"GAMEV1.1", 0xB4, 0x180, 0xC0, "CRE V9.0", 0x68};
constexpr SaveFormatFacts kLongestHeader{"GAMEV1.1", 0xB8, 0x168, 0xC8, "CRE V1.2", 0xA4};
constexpr SaveFormatFacts kByClass{"GAMEV2.2", 0xB4, 0x340, 0x1BE, "CRE V2.2", 0};

// A creature record of version 2.2: its spells in lists by class and level, by domain, and of
// innate abilities, songs and shapes, each list followed by 8 bytes of slot counts. Only the first
// class's level-1 list holds spells (their numbers, how many are memorized and remain).
constexpr std::size_t kClassCreatureHeaderSize = 0x62E;
Bytes makeClassCreature(const MemberDef& member, std::uint32_t seed, MemberLayout& layout) {
  Bytes bytes;
  fill(bytes, 0, kClassCreatureHeaderSize, seed);
  putText(bytes, 0, "CRE V2.2", 8);
  putU32(bytes, 0x008, 0xFFFFFFFF);  // named in the party record instead
  putU32(bytes, 0x00C, 0xFFFFFFFF);
  std::size_t next = kClassCreatureHeaderSize;
  // Offsets and counts: 63 class lists (0x3BA, 0x4B6), 9 domain lists (0x5B2, 0x5D6), then
  // innate abilities, songs and shapes (0x5FA, 0x602, 0x60A, each count 4 bytes further on).
  auto list = [&](std::size_t offsetField, std::size_t countField,
                  const std::vector<std::uint32_t>& spells) {
    putU32(bytes, offsetField, static_cast<std::uint32_t>(next));
    putU32(bytes, countField, static_cast<std::uint32_t>(spells.size()));
    bytes.resize(next + spells.size() * 16 + 8);
    for (std::size_t i = 0; i < spells.size(); ++i) {
      putU32(bytes, next + i * 16, spells[i]);
      putU32(bytes, next + i * 16 + 4, 1);
      putU32(bytes, next + i * 16 + 8, 1);
      putU32(bytes, next + i * 16 + 12, 0);
    }
    next += spells.size() * 16;
    putU32(bytes, next, static_cast<std::uint32_t>(spells.size()));
    putU32(bytes, next + 4, static_cast<std::uint32_t>(spells.size()));
    next += 8;
  };
  for (std::size_t i = 0; i < 63; ++i)
    list(0x3BA + 4 * i, 0x4B6 + 4 * i, i == 0 ? member.classSpells : std::vector<std::uint32_t>{});
  for (std::size_t i = 0; i < 9; ++i)
    list(0x5B2 + 4 * i, 0x5D6 + 4 * i, {});
  for (const std::size_t field : {std::size_t{0x5FA}, std::size_t{0x602}, std::size_t{0x60A}})
    list(field, field + 4, {});
  layout.creatureSize = next;
  return bytes;
}

// One creature record, its spell sections laid back to back from `sectionsAt` (further on by
// as much as the format's header is longer).
Bytes makeCreature(const MemberDef& member, const SaveFormatFacts& facts, std::uint32_t nameRef,
                   std::uint32_t seed, MemberLayout& layout) {
  const std::size_t shift = facts.shift;
  const std::size_t known = member.sectionsAt + shift;
  const std::size_t memorization = known + member.known.size() * 12;
  const std::size_t memorized = memorization + member.memorization.size() * 16;
  const std::size_t items = memorized + member.memorized.size() * 12;
  const std::size_t end = std::max(items + 0x50, kCreatureHeaderSize + shift);
  Bytes bytes;
  fill(bytes, 0, end, seed);
  putText(bytes, 0, facts.creatureVersion, 8);
  putU32(bytes, 0x008, nameRef);
  putU32(bytes, 0x00C, nameRef);  // tooltip
  putU32(bytes, shift + 0x2A0, static_cast<std::uint32_t>(known));
  putU32(bytes, shift + 0x2A4, static_cast<std::uint32_t>(member.known.size()));
  putU32(bytes, shift + 0x2A8, static_cast<std::uint32_t>(memorization));
  putU32(bytes, shift + 0x2AC, static_cast<std::uint32_t>(member.memorization.size()));
  putU32(bytes, shift + 0x2B0, static_cast<std::uint32_t>(memorized));
  putU32(bytes, shift + 0x2B4, static_cast<std::uint32_t>(member.memorized.size()));
  putU32(bytes, shift + 0x2B8, static_cast<std::uint32_t>(items + 0x28));  // item slots
  putU32(bytes, shift + 0x2BC, static_cast<std::uint32_t>(items));         // items
  putU32(bytes, shift + 0x2C0, 1);
  putU32(bytes, shift + 0x2C4, static_cast<std::uint32_t>(end));  // effects
  putU32(bytes, shift + 0x2C8, 0);
  for (std::size_t i = 0; i < member.known.size(); ++i) {
    putText(bytes, known + i * 12, member.known[i], 8);
    putU16(bytes, known + i * 12 + 8, 0);
    putU16(bytes, known + i * 12 + 10, 1);
  }
  for (std::size_t i = 0; i < member.memorization.size(); ++i) {
    const MemorizationDef& def = member.memorization[i];
    const std::size_t entry = memorization + i * 16;
    putU16(bytes, entry + 0x0, def.level);
    putU16(bytes, entry + 0x2, def.slots);
    putU16(bytes, entry + 0x4, def.slots);  // slots after effects
    putU16(bytes, entry + 0x6, def.type);
    putU16(bytes, entry + 0x8, def.firstIndex);
    putU16(bytes, entry + 0xA, 0);
    putU16(bytes, entry + 0xC, def.count);
    putU16(bytes, entry + 0xE, 0);
  }
  for (std::size_t i = 0; i < member.memorized.size(); ++i) {
    putText(bytes, memorized + i * 12, member.memorized[i], 8);
    putU32(bytes, memorized + i * 12 + 8, 1);  // memorized, not yet cast
  }
  layout.creatureSize = end;
  layout.known = known;
  layout.memorization = memorization;
  layout.memorized = memorized;
  return bytes;
}

}  // namespace

const SaveFormatFacts& factsOf(SaveFormat format) {
  switch (format) {
    case SaveFormat::LongHeader:
      return kLongHeader;
    case SaveFormat::LongestHeader:
      return kLongestHeader;
    case SaveFormat::ByClass:
      return kByClass;
    case SaveFormat::Usual:
      break;
  }
  return kUsual;
}

Bytes makeSave(const GameDef& game, const std::vector<std::uint32_t>& creatureRefs,
               Layout& layout) {
  const SaveFormatFacts& facts = factsOf(game.format);
  Bytes bytes;
  fill(bytes, 0, facts.headerSize, 99);
  putText(bytes, 0, facts.saveVersion, 8);
  layout.partyTable = facts.headerSize;
  putU32(bytes, 0x20, static_cast<std::uint32_t>(layout.partyTable));
  putU32(bytes, 0x24, static_cast<std::uint32_t>(game.party.size()));
  std::size_t next = layout.partyTable + game.party.size() * facts.memberSize;
  bytes.resize(next);
  layout.members.assign(game.party.size(), MemberLayout{});
  for (std::size_t i = 0; i < game.party.size(); ++i) {
    const MemberDef& member = game.party[i];
    MemberLayout& at = layout.members[i];
    at.record = layout.partyTable + i * facts.memberSize;
    const auto seed = static_cast<std::uint32_t>(i + 1);
    const Bytes creature = game.format == SaveFormat::ByClass
                               ? makeClassCreature(member, seed, at)
                               : makeCreature(member, facts, creatureRefs[i], seed, at);
    at.creature = next;
    at.known += next;
    at.memorization += next;
    at.memorized += next;
    fill(bytes, at.record, at.record + facts.memberSize, static_cast<std::uint32_t>(100 + i));
    putU16(bytes, at.record + 0x00, 0);  // not selected
    putU16(bytes, at.record + 0x02, member.listing);
    putU32(bytes, at.record + 0x04, static_cast<std::uint32_t>(at.creature));
    putU32(bytes, at.record + 0x08, static_cast<std::uint32_t>(creature.size()));
    putText(bytes, at.record + facts.nameOffset, member.partyName, 32);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(next), creature.begin(),
                 creature.end());
    next += creature.size();
  }
  // The game's variables follow the creatures; nothing of them is read.
  putU32(bytes, 0x38, static_cast<std::uint32_t>(next));
  putU32(bytes, 0x3C, 3);
  fill(bytes, next, next + 3 * 84, 7);
  return bytes;
}

}  // namespace gamedata
