#include "spellbook/class_whack.h"

#include <optional>
#include <utility>

#include "formats/class_lists.h"

namespace {

constexpr std::int32_t kLeaveCopy = 0;  // free-space method 0

// The save's own offsets into the file, from its header: those of the table of members out of
// the party, the variables, the journal and the familiar block, and two more that the game
// writes as 0.
constexpr std::uint64_t kSaveOffsetFields[] = {0x28, 0x30, 0x38, 0x50, 0x68, 0x78};
constexpr std::uint64_t kFamiliarBlock = 0x68;   // dword: the familiar block, 0 for none
constexpr std::uint64_t kFamiliarOffset = 0x48;  // in the familiar block: one more offset

// The stores that make the shorter save, worked out from the save as it was: each a dword field
// of the old save and its new value.
class Lowering {
 public:
  Lowering(const View& save, std::uint64_t record, std::uint64_t recordSize, std::uint64_t gap)
      : save_(save), record_(record), recordEnd_(record + recordSize), gap_(gap) {}

  // `field` (an offset in the old save, anywhere but over the bytes that leave) is to hold
  // `value`.
  void set(std::uint64_t field, std::uint32_t value) {
    if (inside(save_, field, 4) && outsideGap(field)) stores_.emplace_back(field, value);
  }
  // The offset into the file at `field` is lowered by 16 where it points past the entry.
  void lowerPastGap(std::uint64_t field) {
    if (!storable(field)) return;
    const std::uint32_t value = loadU32(save_, field);
    if (value > gap_) stores_.emplace_back(field, value - kClassEntrySize);
  }
  // Only a field inside the save, outside the record, and not over the bytes that leave.
  [[nodiscard]] bool storable(std::uint64_t field) const {
    return inside(save_, field, 4) && (field + 4 <= record_ || field >= recordEnd_) &&
           outsideGap(field);
  }
  [[nodiscard]] bool outsideGap(std::uint64_t field) const {
    return field + 4 <= gap_ || field >= gap_ + kClassEntrySize;
  }

  // The save without the entry's 16 bytes, every store made where its field now stands.
  [[nodiscard]] std::vector<std::uint8_t> shorterSave(
      const std::vector<std::pair<std::uint64_t, std::uint32_t>>& recordStores) const {
    std::vector<std::uint8_t> out(save_.data, save_.data + gap_);
    out.insert(out.end(), save_.data + gap_ + kClassEntrySize, save_.data + save_.size);
    const View shorter{out.data(), out.size()};
    for (const auto& stores : {recordStores, stores_}) {
      for (const auto& [field, value] : stores)
        storeU32(shorter, field < gap_ ? field : field - kClassEntrySize, value);
    }
    return out;
  }

 private:
  View save_;
  std::uint64_t record_;
  std::uint64_t recordEnd_;
  std::uint64_t gap_;  // where the entry's 16 bytes stand
  std::vector<std::pair<std::uint64_t, std::uint32_t>> stores_;
};

// Method 0: the later entries move down over the whacked one; the last stays where it was, and
// where it is now a copy, its amounts memorized and remaining become 0.
void leaveCopy(const View& save, std::uint64_t first, std::uint32_t count, std::uint32_t place) {
  const std::uint64_t at = first + std::uint64_t{place} * kClassEntrySize;
  moveBytes(save, at, at + kClassEntrySize, std::uint64_t{count - place - 1} * kClassEntrySize);
  if (place + 1 == count) return;
  const std::uint64_t last = first + std::uint64_t{count - 1} * kClassEntrySize;
  storeU32(save, last + kClassEntryMemorized, 0);
  storeU32(save, last + kClassEntryRemaining, 0);
}

}  // namespace

ClassWhack whackClassSpell(const PartyMember& member, const Creature& creature, std::int32_t list,
                           std::uint32_t place, std::int32_t method) {
  ClassWhack whack;
  whack.plan.method = method;
  whack.plan.unknownMethod = method != kLeaveCopy && method != 1;
  whack.plan.whacked = static_cast<std::int32_t>(place);
  const View& save = creature.save();
  const ClassList entries = classListAt(creature, list);
  const std::uint64_t record = creature.offset();
  const std::uint64_t first = record + entries.offset;
  if (method == kLeaveCopy) {
    leaveCopy(save, first, entries.count, place);
    whack.plan.end = WhackEnd::LeftZeroedCopy;
    return whack;
  }
  // The record is written anew only where its lists and its size fit what the game reads.
  const std::uint64_t size = member.creatureSize();
  if (entries.offset < kClassRecordHeaderSize ||
      std::uint64_t{entries.offset} + std::uint64_t{entries.count} * kClassEntrySize +
              kClassListTrailer >
          size ||
      !inside(save, record, size)) {
    leaveCopy(save, first, entries.count, place);
    whack.plan.end = WhackEnd::SectionsOutsideSave;
    return whack;
  }

  const std::uint64_t gap = first + std::uint64_t{place} * kClassEntrySize;
  const std::uint64_t inRecord = entries.offset + std::uint64_t{place} * kClassEntrySize;
  // The record's own fields: the list's count, and every offset into the record past the entry.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> recordStores;
  recordStores.emplace_back(record + entries.countField, entries.count - 1);
  for (const std::uint64_t field : classRecordOffsetFields()) {
    const std::uint32_t value = loadU32(save, record + field);
    if (value > inRecord) recordStores.emplace_back(record + field, value - kClassEntrySize);
  }
  Lowering lowering(save, record, size, gap);
  lowering.set(member.creatureSizeField(), static_cast<std::uint32_t>(size - kClassEntrySize));
  if (!member.layout().character) {
    // Everything after the record moves down: every offset of the save that points past it.
    for (const std::uint64_t field : kSaveOffsetFields)
      lowering.lowerPastGap(field);
    const std::int32_t party = partyCount(save, member.layout());
    for (std::int32_t i = 0; i < party; ++i) {
      const std::optional<PartyMember> other = PartyMember::at(save, member.layout(), i);
      if (!other) break;  // the records after it lie further on still
      lowering.lowerPastGap(other->creatureOffsetField());
    }
    const std::uint64_t outOfParty = loadU32(save, kOutOfPartyTable);
    for (std::int64_t i = 0; i < std::int64_t{loadI32(save, kOutOfPartyCount)}; ++i) {
      const std::optional<PartyMember> other =
          PartyMember::inTable(save, member.layout(), outOfParty, i);
      if (!other) break;
      lowering.lowerPastGap(other->creatureOffsetField());
    }
    if (const std::uint32_t familiar = loadU32(save, kFamiliarBlock); familiar != 0) {
      lowering.lowerPastGap(std::uint64_t{familiar} + kFamiliarOffset);
    }
  }
  whack.shorterSave = lowering.shorterSave(recordStores);
  whack.plan.end = WhackEnd::SaveShortened;
  return whack;
}
