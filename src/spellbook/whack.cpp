#include "spellbook/whack.h"

#include <optional>

namespace {

constexpr std::int32_t kLeaveDuplicate = 0;  // free-space method 0
constexpr std::int32_t kShrinkKnown = 1;     // free-space method 1, the default

constexpr std::uint16_t kSpellLevelOne = 0;  // level word of a spell-level-1 entry

// Index of the first memorization entry that can take the duplicated memorized spell: spell
// level 1 with a non-zero slots word. -1 when there is none.
std::int32_t levelOneEntry(const MemorizationSection& section) {
  for (std::int32_t e = 0; e < section.count(); ++e) {
    const MemorizationEntry entry = section.entry(e);
    if (entry.level() == kSpellLevelOne && entry.slots() != 0) return e;
  }
  return -1;
}

}  // namespace

WhackPlan planWhack(const Creature& creature, std::int32_t j, std::int32_t method) {
  WhackPlan plan;
  plan.method = method;
  plan.unknownMethod = method != kLeaveDuplicate && method != kShrinkKnown;
  plan.whacked = j;
  plan.knownOffset = creature.knownOffset();
  plan.knownCount = creature.knownCount();
  plan.memorizationOffset = creature.memorizationOffset();
  plan.memorizationCount = creature.memorizationCount();
  plan.memorizedOffset = creature.memorizedOffset();
  plan.memorizedCount = creature.memorizedCount();
  if (method == kLeaveDuplicate) {
    plan.end = WhackEnd::LeftDuplicate;
    return plan;
  }
  // Method 1 shifts the sections behind the known spells, so they must lie back to back.
  if (std::uint64_t{plan.knownOffset} +
          static_cast<std::uint64_t>(plan.knownCount) * kKnownSpellSize !=
      plan.memorizationOffset) {
    plan.end = WhackEnd::KnownNotBeforeMemorization;
    return plan;
  }
  if (std::int64_t{plan.memorizationOffset} +
          std::int64_t{plan.memorizationCount} * std::int64_t{kMemorizationEntrySize} !=
      std::int64_t{plan.memorizedOffset}) {
    plan.end = WhackEnd::MemorizationNotBeforeMemorized;
    return plan;
  }
  const View& save = creature.save();
  const std::optional<MemorizationSection> section = MemorizationSection::at(
      save, creature.inSave(plan.memorizationOffset), plan.memorizationCount);
  if (!section || !inside(save, creature.inSave(plan.memorizedOffset),
                          std::uint64_t{plan.memorizedCount} * kMemorizedSpellSize)) {
    plan.end = WhackEnd::SectionsOutsideSave;
    return plan;
  }
  if (plan.memorizedCount == 0) {
    plan.end = WhackEnd::NoMemorizedSpell;
    return plan;
  }
  // Moving the section down does not change which entry this is.
  plan.levelOneEntry = levelOneEntry(*section);
  plan.end = plan.levelOneEntry < 0 ? WhackEnd::NoLevelOneEntry : WhackEnd::Shrunk;
  return plan;
}

void applyWhack(const Creature& creature, const WhackPlan& plan) {
  const View& save = creature.save();
  // The later known spells move down over the whacked one; the last 12 bytes keep their old
  // contents, so that without further work the last spell is known twice.
  const std::uint64_t whacked = creature.inSave(plan.knownOffset) +
                                static_cast<std::uint64_t>(plan.whacked) * kKnownSpellSize;
  moveBytes(save, whacked, whacked + kKnownSpellSize,
            static_cast<std::uint64_t>(plan.knownCount - plan.whacked - 1) * kKnownSpellSize);
  if (plan.end != WhackEnd::Shrunk) return;

  creature.setKnownCount(plan.knownCount - 1);
  const std::uint64_t entries = creature.inSave(plan.memorizationOffset);
  const std::uint64_t movedEntries = entries - kKnownSpellSize;
  moveBytes(save, movedEntries, entries,
            static_cast<std::uint64_t>(plan.memorizationCount) * kMemorizationEntrySize);
  creature.setMemorizationOffset(
      static_cast<std::uint32_t>(plan.memorizationOffset - kKnownSpellSize));
  // The 12 bytes freed in front of the memorized spells take a copy of the first of them.
  const std::uint64_t memorized = creature.inSave(plan.memorizedOffset);
  moveBytes(save, memorized - kMemorizedSpellSize, memorized, kMemorizedSpellSize);
  creature.setMemorizedOffset(
      static_cast<std::uint32_t>(plan.memorizedOffset - kMemorizedSpellSize));
  creature.setMemorizedCount(plan.memorizedCount + 1);

  // The level-1 entry counts the copy; every later entry's spells are now one index further
  // on. 16-bit sums that wrap: nothing carries into the neighbouring words. The plan checked the
  // section where it stood; where it now stands is checked once more as a whole.
  const std::optional<MemorizationSection> moved =
      MemorizationSection::at(save, movedEntries, plan.memorizationCount);
  if (!moved) return;
  const MemorizationEntry target = moved->entry(plan.levelOneEntry);
  target.setSpellCount(static_cast<std::uint16_t>(target.spellCount() + 1));
  for (std::int32_t e = plan.levelOneEntry + 1; e < moved->count(); ++e) {
    const MemorizationEntry entry = moved->entry(e);
    entry.setFirstIndex(static_cast<std::uint16_t>(entry.firstIndex() + 1));
  }
}

WhackPlan whackSpell(const Creature& creature, std::int32_t j, std::int32_t method) {
  const WhackPlan plan = planWhack(creature, j, method);
  applyWhack(creature, plan);
  return plan;
}
