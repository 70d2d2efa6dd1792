#include "formats/save_game.h"

namespace {

// Saved game header.
constexpr std::uint64_t kHeaderSize = 0x28;
constexpr std::uint64_t kVersion = 0x04;           // 4 bytes, after "GAME"
constexpr std::uint64_t kPartyTableOffset = 0x20;  // dword, from the start of the file
constexpr std::uint64_t kPartyCount = 0x24;        // dword, signed

// Party record.
constexpr std::uint64_t kListingNumber = 0x02;   // word
constexpr std::uint64_t kCreatureOffset = 0x04;  // dword, from the start of the file

// The party layouts of the family's saves other than the usual one.
constexpr SaveLayout kClassSaveLayout{0x340, 0x1BE};     // "GAMEV2.2"
constexpr SaveLayout kLongHeaderLayout{0x180, 0xC0};     // "GAMEV1.1", creatures "V9.0"
constexpr SaveLayout kLongestHeaderLayout{0x168, 0xC8};  // "GAMEV1.1", creatures "V1.2"

// Creature record.
constexpr std::uint64_t kCreatureVersion = 0x004;    // 4 bytes, after "CRE "
constexpr std::uint64_t kCreatureFixedSize = 0x2B8;  // up to the last spell section field
constexpr std::uint64_t kNameRef = 0x008;
// How much further on the spell-section fields of the longer headers lie.
constexpr std::uint64_t kLongHeaderShift = 0x68;     // "V9.0"
constexpr std::uint64_t kLongestHeaderShift = 0xA4;  // "V1.2"
constexpr std::uint64_t kKnownOffset = 0x2A0;
constexpr std::uint64_t kKnownCount = 0x2A4;
constexpr std::uint64_t kMemorizationOffset = 0x2A8;
constexpr std::uint64_t kMemorizationCount = 0x2AC;
constexpr std::uint64_t kMemorizedOffset = 0x2B0;
constexpr std::uint64_t kMemorizedCount = 0x2B4;

// A record that keeps its spells by class ("V2.2"): the counts of its lists, each a dword; a
// list is empty when its count is 0.
constexpr std::uint64_t kClassListCounts = 0x4B6;   // 63: seven classes, levels 1 to 9
constexpr std::uint64_t kDomainListCounts = 0x5D6;  // 9: levels 1 to 9
constexpr std::uint64_t kInnateCount = 0x5FE;
constexpr std::uint64_t kSongCount = 0x606;
constexpr std::uint64_t kShapeCount = 0x60E;
constexpr std::uint64_t kClassRecordFixedSize = 0x612;  // up to the last count

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

SaveLayout saveLayoutOf(const View& save) {
  if (hasSignature(save, kVersion, "V2.2", 4)) return kClassSaveLayout;
  if (!hasSignature(save, kVersion, "V1.1", 4) || partyCount(save) <= 0) return {};
  // The three layouts of this version share it: the first member's creature tells them apart,
  // and the first party record's creature offset stands at +0x04 in all three.
  const std::uint64_t first = loadU32(save, kPartyTableOffset);
  if (!inside(save, first, kCreatureOffset + 4)) return {};
  const std::uint64_t creature = loadU32(save, first + kCreatureOffset);
  if (hasSignature(save, creature + kCreatureVersion, "V9.0", 4)) return kLongHeaderLayout;
  if (hasSignature(save, creature + kCreatureVersion, "V1.2", 4)) return kLongestHeaderLayout;
  return {};
}

std::optional<PartyMember> PartyMember::at(const View& save, const SaveLayout& layout,
                                           std::int32_t index) {
  if (!inside(save, 0, kHeaderSize)) return std::nullopt;
  // Signed 64-bit arithmetic: a negative index must not wrap to a record inside the file.
  const std::int64_t offset = std::int64_t{loadU32(save, kPartyTableOffset)} +
                              std::int64_t{index} * static_cast<std::int64_t>(layout.memberSize);
  if (offset < 0 || !inside(save, static_cast<std::uint64_t>(offset), layout.memberSize)) {
    return std::nullopt;
  }
  return PartyMember(save, layout, static_cast<std::uint64_t>(offset));
}

std::uint16_t PartyMember::listingNumber() const {
  return loadU16(save_, offset_ + kListingNumber);
}

Text PartyMember::name() const {
  const std::uint64_t name = offset_ + layout_.nameOffset;
  const std::uint64_t length = textLength(save_, name, layout_.memberSize - layout_.nameOffset);
  return {textAt(save_, name), static_cast<int>(length)};
}

std::uint32_t PartyMember::creatureOffset() const {
  return loadU32(save_, offset_ + kCreatureOffset);
}

std::optional<Creature> Creature::of(const PartyMember& member) {
  const View& save = member.save();
  const std::uint64_t offset = member.creatureOffset();
  // Only the three letters are the signature; the fourth byte may hold anything.
  if (!hasSignature(save, offset, "CRE", 3)) return std::nullopt;
  // The version tells how long the header before the spell fields is; any version but these
  // is read as version 1.0 is.
  std::uint64_t shift = 0;
  bool byClass = false;
  if (hasSignature(save, offset + kCreatureVersion, "V9.0", 4)) {
    shift = kLongHeaderShift;
  } else if (hasSignature(save, offset + kCreatureVersion, "V1.2", 4)) {
    shift = kLongestHeaderShift;
  } else if (hasSignature(save, offset + kCreatureVersion, "V2.2", 4)) {
    byClass = true;
  }
  const std::uint64_t fixedSize = byClass ? kClassRecordFixedSize : kCreatureFixedSize + shift;
  if (!inside(save, offset, fixedSize)) return std::nullopt;
  return Creature(save, offset, shift, byClass);
}

bool Creature::knowsSpells() const {
  if (!byClass_) return knownCount() != 0;
  const auto anyListed = [&](std::uint64_t counts, std::uint64_t lists) {
    for (std::uint64_t i = 0; i < lists; ++i) {
      if (loadU32(save_, offset_ + counts + 4 * i) != 0) return true;
    }
    return false;
  };
  return anyListed(kClassListCounts, 63) || anyListed(kDomainListCounts, 9) ||
         anyListed(kInnateCount, 1) || anyListed(kSongCount, 1) || anyListed(kShapeCount, 1);
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
