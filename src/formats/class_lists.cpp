#include "formats/class_lists.h"

namespace {

constexpr std::uint64_t kClassListOffsets = 0x3BA;   // 63 dwords: class c, level l at 9c + l - 1
constexpr std::uint64_t kClassListCounts = 0x4B6;    // likewise
constexpr std::uint64_t kDomainListOffsets = 0x5B2;  // 9 dwords: level l at l - 1
constexpr std::uint64_t kDomainListCounts = 0x5D6;
constexpr int kClasses = 7;
constexpr int kLevels = 9;
// The innate abilities', songs' and shapes' offsets; each count follows its offset.
constexpr std::uint64_t kOtherListOffsets[] = {0x5FA, 0x602, 0x60A};
// The item slots', the items' and the effects' offsets.
constexpr std::uint64_t kSectionOffsets[] = {0x612, 0x616, 0x61E};

}  // namespace

ClassList classListAt(const Creature& creature, int list) {
  ClassList at;
  const bool domain = list >= kClasses * kLevels;
  const auto slot = static_cast<std::uint64_t>(domain ? list - kClasses * kLevels : list);
  at.spellClass = domain ? SpellClass::Domain : static_cast<SpellClass>(list / kLevels + 1);
  at.level = static_cast<std::int32_t>(slot % kLevels) + 1;
  at.offsetField = (domain ? kDomainListOffsets : kClassListOffsets) + 4 * slot;
  at.countField = (domain ? kDomainListCounts : kClassListCounts) + 4 * slot;
  at.offset = loadU32(creature.save(), creature.inSave(at.offsetField));
  at.count = loadU32(creature.save(), creature.inSave(at.countField));
  return at;
}

std::array<std::uint64_t, kClassRecordOffsetFields> classRecordOffsetFields() {
  std::array<std::uint64_t, kClassRecordOffsetFields> fields{};
  std::size_t n = 0;
  for (std::uint64_t i = 0; i < kClasses * kLevels; ++i)
    fields[n++] = kClassListOffsets + 4 * i;
  for (std::uint64_t i = 0; i < kLevels; ++i)
    fields[n++] = kDomainListOffsets + 4 * i;
  for (const std::uint64_t field : kOtherListOffsets)
    fields[n++] = field;
  for (const std::uint64_t field : kSectionOffsets)
    fields[n++] = field;
  return fields;
}
