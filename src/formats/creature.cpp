#include "formats/creature.h"

#include "formats/class_lists.h"

namespace {

// Creature record.
constexpr std::uint64_t kVersion = 0x004;  // 4 bytes, after "CRE "
constexpr std::uint64_t kNameRef = 0x008;
constexpr std::uint64_t kFixedSize = 0x2B8;  // version 1.0: up to the last spell section field
// How much further on the spell-section fields of the longer headers lie.
constexpr std::uint64_t kLongHeaderShift = 0x68;     // "V9.0"
constexpr std::uint64_t kLongestHeaderShift = 0xA4;  // "V1.2"
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

CreatureVersion creatureVersionAt(const View& save, std::uint64_t offset) {
  if (hasSignature(save, offset + kVersion, "V9.0", 4)) return CreatureVersion::LongHeader;
  if (hasSignature(save, offset + kVersion, "V1.2", 4)) return CreatureVersion::LongestHeader;
  if (hasSignature(save, offset + kVersion, "V2.2", 4)) return CreatureVersion::ByClass;
  return CreatureVersion::Usual;
}

std::optional<Creature> Creature::of(const PartyMember& member) {
  const View& save = member.save();
  const std::uint64_t offset = member.creatureOffset();
  // Only the three letters are the signature; the fourth byte may hold anything.
  if (!hasSignature(save, offset, "CRE", 3)) return std::nullopt;
  const CreatureVersion version = creatureVersionAt(save, offset);
  std::uint64_t shift = 0;
  std::uint64_t fixedSize = kFixedSize;
  switch (version) {
    case CreatureVersion::LongHeader:
      shift = kLongHeaderShift;
      break;
    case CreatureVersion::LongestHeader:
      shift = kLongestHeaderShift;
      break;
    case CreatureVersion::ByClass:
      fixedSize = kClassRecordHeaderSize;
      break;
    case CreatureVersion::Usual:
      break;
  }
  if (!inside(save, offset, fixedSize + shift)) return std::nullopt;
  return Creature(save, offset, version, shift);
}

bool Creature::knowsSpells() const {
  if (!keepsSpellsByClass()) return knownCount() != 0;
  for (int list = 0; list < kClassListCount; ++list) {
    if (classListAt(*this, list).count != 0) return true;
  }
  return false;
}

StrRef Creature::nameRef() const {
  return loadU32(save_, offset_ + kNameRef);
}

std::uint32_t Creature::knownOffset() const {
  return loadU32(save_, spellField(kKnownOffset));
}

std::int32_t Creature::knownCount() const {
  return loadI32(save_, spellField(kKnownCount));
}

std::uint32_t Creature::memorizationOffset() const {
  return loadU32(save_, spellField(kMemorizationOffset));
}

std::int32_t Creature::memorizationCount() const {
  return loadI32(save_, spellField(kMemorizationCount));
}

std::uint32_t Creature::memorizedOffset() const {
  return loadU32(save_, spellField(kMemorizedOffset));
}

std::uint32_t Creature::memorizedCount() const {
  return loadU32(save_, spellField(kMemorizedCount));
}

void Creature::setKnownCount(std::int32_t count) const {
  storeU32(save_, spellField(kKnownCount), static_cast<std::uint32_t>(count));
}

void Creature::setMemorizationOffset(std::uint32_t offset) const {
  storeU32(save_, spellField(kMemorizationOffset), offset);
}

void Creature::setMemorizedOffset(std::uint32_t offset) const {
  storeU32(save_, spellField(kMemorizedOffset), offset);
}

void Creature::setMemorizedCount(std::uint32_t count) const {
  storeU32(save_, spellField(kMemorizedCount), count);
}

std::optional<KnownSpells> KnownSpells::of(const Creature& creature) {
  if (creature.keepsSpellsByClass()) return KnownSpells(creature.save(), creature.offset(), 0);
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
