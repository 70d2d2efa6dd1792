#include "formats/save_game.h"

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

}  // namespace

std::int32_t partyCount(const View& save) {
  if (!inside(save, 0, kHeaderSize)) return 0;
  return loadI32(save, kPartyCount);
}

std::optional<PartyMember> PartyMember::at(const View& save, std::int32_t index) {
  if (!inside(save, 0, kHeaderSize)) return std::nullopt;
  // Signed 64-bit arithmetic: a negative index must not wrap to a record inside the file.
  const std::int64_t offset = std::int64_t{loadU32(save, kPartyTableOffset)} +
                              std::int64_t{index} * std::int64_t{kPartyMemberSize};
  if (offset < 0 || !inside(save, static_cast<std::uint64_t>(offset), kPartyMemberSize)) {
    return std::nullopt;
  }
  return PartyMember(save, static_cast<std::uint64_t>(offset));
}

std::uint16_t PartyMember::listingNumber() const {
  return loadU16(save_, offset_ + kListingNumber);
}

Text PartyMember::name() const {
  const std::uint64_t length = textLength(save_, offset_ + kName, kPartyMemberSize - kName);
  return {textAt(save_, offset_ + kName), static_cast<int>(length)};
}

std::uint32_t PartyMember::creatureOffset() const {
  return loadU32(save_, offset_ + kCreatureOffset);
}

std::optional<Creature> Creature::of(const PartyMember& member) {
  const View& save = member.save();
  const std::uint64_t offset = member.creatureOffset();
  // Only the three letters are the signature; the fourth byte may hold anything.
  if (!inside(save, offset, kCreatureFixedSize) || !hasSignature(save, offset, "CRE", 3)) {
    return std::nullopt;
  }
  return Creature(save, offset);
}

StrRef Creature::nameRef() const {
  return loadU32(save_, offset_ + kNameRef);
}

std::uint32_t Creature::knownOffset() const {
  return loadU32(save_, offset_ + kKnownOffset);
}

std::int32_t Creature::knownCount() const {
  return loadI32(save_, offset_ + kKnownCount);
}

std::uint32_t Creature::memorizationOffset() const {
  return loadU32(save_, offset_ + kMemorizationOffset);
}

std::int32_t Creature::memorizationCount() const {
  return loadI32(save_, offset_ + kMemorizationCount);
}

std::uint32_t Creature::memorizedOffset() const {
  return loadU32(save_, offset_ + kMemorizedOffset);
}

std::uint32_t Creature::memorizedCount() const {
  return loadU32(save_, offset_ + kMemorizedCount);
}

void Creature::setKnownCount(std::int32_t count) const {
  storeU32(save_, offset_ + kKnownCount, static_cast<std::uint32_t>(count));
}

void Creature::setMemorizationOffset(std::uint32_t offset) const {
  storeU32(save_, offset_ + kMemorizationOffset, offset);
}

void Creature::setMemorizedOffset(std::uint32_t offset) const {
  storeU32(save_, offset_ + kMemorizedOffset, offset);
}

void Creature::setMemorizedCount(std::uint32_t count) const {
  storeU32(save_, offset_ + kMemorizedCount, count);
}

std::optional<KnownSpells> KnownSpells::of(const Creature& creature) {
  const std::int32_t count = creature.knownCount();
  const std::uint64_t offset = creature.inSave(creature.knownOffset());
  if (count > 0 &&
      !inside(creature.save(), offset, static_cast<std::uint64_t>(count) * kKnownSpellSize)) {
    return std::nullopt;
  }
  return KnownSpells(creature.save(), offset, count);
}

std::uint64_t KnownSpells::name(std::int32_t j) const {
  return loadU64(save_, offset_ + static_cast<std::uint64_t>(j) * kKnownSpellSize);
}

std::optional<MemorizationEntry> MemorizationEntry::at(const View& save, std::uint64_t offset) {
  if (!inside(save, offset, kMemorizationEntrySize)) return std::nullopt;
  return MemorizationEntry(save, offset);
}

std::optional<MemorizationSection> MemorizationSection::at(const View& save, std::uint64_t offset,
                                                           std::int32_t count) {
  if (count < 0 ||
      !inside(save, offset, static_cast<std::uint64_t>(count) * kMemorizationEntrySize)) {
    return std::nullopt;
  }
  return MemorizationSection(save, offset, count);
}

std::uint16_t MemorizationEntry::level() const {
  return loadU16(save_, offset_ + kLevelWord);
}

std::uint16_t MemorizationEntry::slots() const {
  return loadU16(save_, offset_ + kSlotsWord);
}

std::uint16_t MemorizationEntry::firstIndex() const {
  return loadU16(save_, offset_ + kFirstIndexWord);
}

std::uint16_t MemorizationEntry::spellCount() const {
  return loadU16(save_, offset_ + kSpellCountWord);
}

void MemorizationEntry::setFirstIndex(std::uint16_t index) const {
  storeU16(save_, offset_ + kFirstIndexWord, index);
}

void MemorizationEntry::setSpellCount(std::uint16_t count) const {
  storeU16(save_, offset_ + kSpellCountWord, count);
}
