#include "formats/save_game.h"

#include "formats/creature.h"

namespace {

// Saved game header.
constexpr std::uint64_t kHeaderSize = 0x28;
constexpr std::uint64_t kVersion = 0x04;           // 4 bytes, after "GAME"
constexpr std::uint64_t kPartyTableOffset = 0x20;  // dword, from the start of the file
constexpr std::uint64_t kPartyCount = 0x24;        // dword, signed

// Party record.
constexpr std::uint64_t kListingNumber = 0x02;   // word
constexpr std::uint64_t kCreatureOffset = 0x04;  // dword, from the start of the file
constexpr std::uint64_t kCreatureSize = 0x08;    // dword

// Exported character: its header is its one party record.
constexpr std::uint64_t kCharacterHeaderSize = 0x30;
constexpr std::uint64_t kCharacterName = 0x08;  // 32 bytes, NUL-padded
constexpr std::uint64_t kCharacterNameSize = 32;
constexpr std::uint64_t kCharacterCreature = 0x28;      // dword, from the start of the file
constexpr std::uint64_t kCharacterCreatureSize = 0x2C;  // dword

// The party layouts of the family's saves other than the usual one.
constexpr SaveLayout kClassSaveLayout{0x340, 0x1BE};     // "GAMEV2.2", creatures "V2.2"
constexpr SaveLayout kLongHeaderLayout{0x180, 0xC0};     // "GAMEV1.1", creatures "V9.0"
constexpr SaveLayout kLongestHeaderLayout{0x168, 0xC8};  // "GAMEV1.1", creatures "V1.2"
constexpr SaveLayout kCharacterLayout{kCharacterHeaderSize, kCharacterName, true};

}  // namespace

SaveLayout saveLayoutOf(const View& save) {
  if (hasSignature(save, 0, "CHR ", 4)) return kCharacterLayout;
  if (hasSignature(save, kVersion, "V2.2", 4)) return kClassSaveLayout;
  if (!hasSignature(save, kVersion, "V1.1", 4) || partyCount(save, SaveLayout{}) <= 0) return {};
  // The three layouts of this version share it: the first member's creature tells them apart,
  // and the first party record's creature offset stands at +0x04 in all three.
  const std::uint64_t first = loadU32(save, kPartyTableOffset);
  if (!inside(save, first, kCreatureOffset + 4)) return {};
  switch (creatureVersionAt(save, loadU32(save, first + kCreatureOffset))) {
    case CreatureVersion::LongHeader:
      return kLongHeaderLayout;
    case CreatureVersion::LongestHeader:
      return kLongestHeaderLayout;
    case CreatureVersion::Usual:
    case CreatureVersion::ByClass:
      break;
  }
  return {};
}

std::int32_t partyCount(const View& save, const SaveLayout& layout) {
  if (layout.character) return inside(save, 0, kCharacterHeaderSize) ? 1 : 0;
  if (!inside(save, 0, kHeaderSize)) return 0;
  return loadI32(save, kPartyCount);
}

std::optional<PartyMember> PartyMember::at(const View& save, const SaveLayout& layout,
                                           std::int32_t index) {
  if (layout.character) {
    if (index != 0 || !inside(save, 0, kCharacterHeaderSize)) return std::nullopt;
    return PartyMember(save, layout, 0);
  }
  if (!inside(save, 0, kHeaderSize)) return std::nullopt;
  return inTable(save, layout, loadU32(save, kPartyTableOffset), index);
}

std::optional<PartyMember> PartyMember::inTable(const View& save, const SaveLayout& layout,
                                                std::uint64_t table, std::int64_t index) {
  // Signed 64-bit arithmetic: a negative index must not wrap to a record inside the file. The
  // table's offset is a dword and the index at most 32 bits, so nothing here overflows.
  const std::int64_t offset =
      static_cast<std::int64_t>(table) + index * static_cast<std::int64_t>(layout.memberSize);
  if (offset < 0 || !inside(save, static_cast<std::uint64_t>(offset), layout.memberSize)) {
    return std::nullopt;
  }
  return PartyMember(save, layout, static_cast<std::uint64_t>(offset));
}

std::uint16_t PartyMember::listingNumber() const {
  return layout_.character ? 0 : loadU16(save_, offset_ + kListingNumber);
}

Text PartyMember::name() const {
  const std::uint64_t name = offset_ + layout_.nameOffset;
  const std::uint64_t field =
      layout_.character ? kCharacterNameSize : layout_.memberSize - layout_.nameOffset;
  const std::uint64_t length = textLength(save_, name, field);
  return {textAt(save_, name), static_cast<int>(length)};
}

std::uint64_t PartyMember::creatureOffsetField() const {
  return layout_.character ? kCharacterCreature : offset_ + kCreatureOffset;
}

std::uint32_t PartyMember::creatureOffset() const {
  return loadU32(save_, creatureOffsetField());
}

std::uint64_t PartyMember::creatureSizeField() const {
  return layout_.character ? kCharacterCreatureSize : offset_ + kCreatureSize;
}

std::uint32_t PartyMember::creatureSize() const {
  return loadU32(save_, creatureSizeField());
}
