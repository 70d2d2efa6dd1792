#include "formats/save_game.h"

View g_saveGameView;

namespace {

// Saved game header.
constexpr std::uint64_t kHeaderSize = 0x28;
constexpr std::uint64_t kPartyTableOffset = 0x20;  // dword, from the start of the file
constexpr std::uint64_t kPartyCount = 0x24;        // dword, signed

// Party record.
constexpr std::uint64_t kListingNumber = 0x02;   // word
constexpr std::uint64_t kCreatureOffset = 0x04;  // dword, from the start of the file
constexpr std::uint64_t kName = 0xC0;            // bytes up to a NUL

// Creature record.
constexpr std::uint64_t kCreatureFixedSize = 0x2B8;  // up to the last spell section field
constexpr std::uint64_t kNameRef = 0x008;
constexpr std::uint64_t kKnownOffset = 0x2A0;
constexpr std::uint64_t kKnownCount = 0x2A4;
constexpr std::uint64_t kMemorizationOffset = 0x2A8;
constexpr std::uint64_t kMemorizationCount = 0x2AC;
constexpr std::uint64_t kMemorizedOffset = 0x2B0;
constexpr std::uint64_t kMemorizedCount = 0x2B4;

// Spell memorization entry, eight words of which four are used.
constexpr std::uint64_t kLevelWord = 0x0;
constexpr std::uint64_t kSlotsWord = 0x2;
constexpr std::uint64_t kFirstIndexWord = 0x8;
constexpr std::uint64_t kSpellCountWord = 0xC;

const View& save() {
  return g_saveGameView;
}

}  // namespace

std::int32_t partyCount() {
  if (!inside(save(), 0, kHeaderSize)) return 0;
  return loadI32(save(), kPartyCount);
}

std::uint64_t partyMember(std::int32_t index) {
  if (!inside(save(), 0, kHeaderSize)) return kNowhere;
  // Signed 64-bit arithmetic: a negative index must not wrap to a record inside the file.
  const std::int64_t offset = std::int64_t{loadU32(save(), kPartyTableOffset)} +
                              std::int64_t{index} * std::int64_t{kPartyMemberSize};
  if (offset < 0 || !inside(save(), static_cast<std::uint64_t>(offset), kPartyMemberSize)) {
    return kNowhere;
  }
  return static_cast<std::uint64_t>(offset);
}

std::uint16_t listingNumber(std::uint64_t member) {
  return loadU16(save(), member + kListingNumber);
}

const char* memberName(std::uint64_t member) {
  return textAt(save(), member + kName);
}

int memberNameLength(std::uint64_t member) {
  if (!inside(save(), member, kPartyMemberSize)) return 0;
  return static_cast<int>(textLength(save(), member + kName, kPartyMemberSize - kName));
}

std::uint64_t creatureOf(std::uint64_t member) {
  const std::uint64_t creature = loadU32(save(), member + kCreatureOffset);
  // Only the three letters are the signature; the fourth byte may hold anything.
  if (!inside(save(), creature, kCreatureFixedSize) || !hasSignature(save(), creature, "CRE", 3)) {
    return kNowhere;
  }
  return creature;
}

StrRef creatureNameRef(std::uint64_t creature) {
  return loadU32(save(), creature + kNameRef);
}

std::uint32_t knownSpellsOffset(std::uint64_t creature) {
  return loadU32(save(), creature + kKnownOffset);
}

std::int32_t knownSpellsCount(std::uint64_t creature) {
  return loadI32(save(), creature + kKnownCount);
}

std::uint32_t memorizationOffset(std::uint64_t creature) {
  return loadU32(save(), creature + kMemorizationOffset);
}

std::int32_t memorizationCount(std::uint64_t creature) {
  return loadI32(save(), creature + kMemorizationCount);
}

std::uint32_t memorizedSpellsOffset(std::uint64_t creature) {
  return loadU32(save(), creature + kMemorizedOffset);
}

std::uint32_t memorizedSpellsCount(std::uint64_t creature) {
  return loadU32(save(), creature + kMemorizedCount);
}

void setKnownSpellsCount(std::uint64_t creature, std::int32_t count) {
  storeU32(save(), creature + kKnownCount, static_cast<std::uint32_t>(count));
}

void setMemorizationOffset(std::uint64_t creature, std::uint32_t offset) {
  storeU32(save(), creature + kMemorizationOffset, offset);
}

void setMemorizedSpellsOffset(std::uint64_t creature, std::uint32_t offset) {
  storeU32(save(), creature + kMemorizedOffset, offset);
}

void setMemorizedSpellsCount(std::uint64_t creature, std::uint32_t count) {
  storeU32(save(), creature + kMemorizedCount, count);
}

std::uint16_t memorizationLevel(std::uint64_t entry) {
  return loadU16(save(), entry + kLevelWord);
}

std::uint16_t memorizationSlots(std::uint64_t entry) {
  return loadU16(save(), entry + kSlotsWord);
}

std::uint16_t memorizationFirstIndex(std::uint64_t entry) {
  return loadU16(save(), entry + kFirstIndexWord);
}

std::uint16_t memorizationSpellCount(std::uint64_t entry) {
  return loadU16(save(), entry + kSpellCountWord);
}

void setMemorizationFirstIndex(std::uint64_t entry, std::uint16_t index) {
  storeU16(save(), entry + kFirstIndexWord, index);
}

void setMemorizationSpellCount(std::uint64_t entry, std::uint16_t count) {
  storeU16(save(), entry + kSpellCountWord, count);
}
