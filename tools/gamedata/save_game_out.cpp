// The saved game ("GAME"): its header, the party table and the creature records after it.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "gamedata/layout_internal.h"

namespace gamedata {

namespace {

constexpr std::size_t kCreatureHeaderSize = 0x2D4;
constexpr std::size_t kSaveHeaderSize = 0xB4;

// One creature record, its spell sections laid back to back from `sectionsAt`.
Bytes makeCreature(const MemberDef& member, std::uint32_t nameRef, std::uint32_t seed,
                   MemberLayout& layout) {
  const std::size_t known = member.sectionsAt;
  const std::size_t memorization = known + member.known.size() * 12;
  const std::size_t memorized = memorization + member.memorization.size() * 16;
  const std::size_t items = memorized + member.memorized.size() * 12;
  const std::size_t end = std::max(items + 0x50, kCreatureHeaderSize);
  Bytes bytes;
  fill(bytes, 0, end, seed);
  putText(bytes, 0, "CRE V1.0", 8);
  putU32(bytes, 0x008, nameRef);
  putU32(bytes, 0x00C, nameRef);  // tooltip
  putU32(bytes, 0x2A0, static_cast<std::uint32_t>(known));
  putU32(bytes, 0x2A4, static_cast<std::uint32_t>(member.known.size()));
  putU32(bytes, 0x2A8, static_cast<std::uint32_t>(memorization));
  putU32(bytes, 0x2AC, static_cast<std::uint32_t>(member.memorization.size()));
  putU32(bytes, 0x2B0, static_cast<std::uint32_t>(memorized));
  putU32(bytes, 0x2B4, static_cast<std::uint32_t>(member.memorized.size()));
  putU32(bytes, 0x2B8, static_cast<std::uint32_t>(items + 0x28));  // item slots
  putU32(bytes, 0x2BC, static_cast<std::uint32_t>(items));         // items
  putU32(bytes, 0x2C0, 1);
  putU32(bytes, 0x2C4, static_cast<std::uint32_t>(end));  // effects
  putU32(bytes, 0x2C8, 0);
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

Bytes makeSave(const GameDef& game, const std::vector<std::uint32_t>& creatureRefs,
               Layout& layout) {
  Bytes bytes;
  fill(bytes, 0, kSaveHeaderSize, 99);
  putText(bytes, 0, "GAMEV2.0", 8);
  layout.partyTable = kSaveHeaderSize;
  putU32(bytes, 0x20, static_cast<std::uint32_t>(layout.partyTable));
  putU32(bytes, 0x24, static_cast<std::uint32_t>(game.party.size()));
  std::size_t next = layout.partyTable + game.party.size() * kPartyMemberSize;
  bytes.resize(next);
  layout.members.assign(game.party.size(), MemberLayout{});
  for (std::size_t i = 0; i < game.party.size(); ++i) {
    const MemberDef& member = game.party[i];
    MemberLayout& at = layout.members[i];
    at.record = layout.partyTable + i * kPartyMemberSize;
    const Bytes creature =
        makeCreature(member, creatureRefs[i], static_cast<std::uint32_t>(i + 1), at);
    at.creature = next;
    at.known += next;
    at.memorization += next;
    at.memorized += next;
    fill(bytes, at.record, at.record + kPartyMemberSize, static_cast<std::uint32_t>(100 + i));
    putU16(bytes, at.record + 0x00, 0);  // not selected
    putU16(bytes, at.record + 0x02, member.listing);
    putU32(bytes, at.record + 0x04, static_cast<std::uint32_t>(at.creature));
    putU32(bytes, at.record + 0x08, static_cast<std::uint32_t>(creature.size()));
    putText(bytes, at.record + 0xC0, member.partyName, 32);
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
