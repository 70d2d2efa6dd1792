#include "spellbook/whack.h"

#include <cstdio>

#include "app/settings.h"
#include "formats/save_game.h"
#include "formats/string_table.h"

namespace {

constexpr std::int32_t kLeaveDuplicate = 0;  // free-space method 0
constexpr std::int32_t kShrinkKnown = 1;     // free-space method 1, the default

constexpr std::uint16_t kSpellLevelOne = 0;  // level word of a spell-level-1 entry

// Index of the first memorization entry that can take the duplicated memorized spell: spell
// level 1 with a non-zero slots word. -1 when there is none.
std::int64_t levelOneEntry(std::uint64_t entries, std::int32_t count) {
  for (std::int64_t e = 0; e < count; ++e) {
    const std::uint64_t entry = entries + static_cast<std::uint64_t>(e) * kMemorizationEntrySize;
    if (memorizationLevel(entry) == kSpellLevelOne && memorizationSlots(entry) != 0) return e;
  }
  return -1;
}

}  // namespace

void whackSpell(std::uint64_t creature, std::int32_t j, SpellHeader header) {
  const View& save = g_saveGameView;
  const StrRef name = header.nameRef();
  std::printf("Whacking %.*s\n", stringLength(name), stringText(name));

  // Everything below works from the values as they stand before the first store.
  const std::uint64_t knownOffset = knownSpellsOffset(creature);
  const std::int32_t knownCount = knownSpellsCount(creature);
  const std::uint64_t memorizationAt = memorizationOffset(creature);
  const std::int32_t entryCount = memorizationCount(creature);
  const std::uint64_t memorizedAt = memorizedSpellsOffset(creature);
  const std::uint32_t memorizedCount = memorizedSpellsCount(creature);

  // The later known spells move down over the whacked one; the last 12 bytes keep their old
  // contents, so that without further work the last spell is known twice.
  const std::uint64_t known = creature + knownOffset;
  const std::uint64_t whacked = known + static_cast<std::uint64_t>(j) * kKnownSpellSize;
  moveBytes(save, whacked, whacked + kKnownSpellSize,
            static_cast<std::uint64_t>(knownCount - j - 1) * kKnownSpellSize);

  const std::int32_t method = g_settings.method;
  if (method == kLeaveDuplicate) return;
  if (method != kShrinkKnown) {
    std::printf("\nunknown free space method %d, using default", method);
  }

  // Method 1 shifts the sections behind the known spells, so they must lie back to back.
  if (knownOffset + static_cast<std::uint64_t>(knownCount) * kKnownSpellSize != memorizationAt) {
    std::printf("oops, end of known spells not base of spell memorizatin");
    return;
  }
  if (static_cast<std::int64_t>(memorizationAt) +
          std::int64_t{entryCount} * std::int64_t{kMemorizationEntrySize} !=
      static_cast<std::int64_t>(memorizedAt)) {
    std::printf("oops, end of spell memorization not base of memorized spells");
    return;
  }
  // Nothing is stored until the whole edit is known to be possible: a save is either edited
  // completely or left as method 0 leaves it, never in a state the game may not load.
  const std::uint64_t entries = creature + memorizationAt;
  const std::uint64_t memorized = creature + memorizedAt;
  if (entryCount < 0 ||
      !inside(save, entries, static_cast<std::uint64_t>(entryCount) * kMemorizationEntrySize) ||
      !inside(save, memorized, std::uint64_t{memorizedCount} * kMemorizedSpellSize)) {
    std::printf("\noops, spell sections lie outside the save file");
    return;
  }
  if (memorizedCount == 0) {
    std::printf("\nno memorized spell to duplicate, free space left as by method 0");
    return;
  }
  // Moving the section down does not change which entry this is.
  const std::int64_t found = levelOneEntry(entries, entryCount);
  if (found < 0) {
    std::printf("\nno spell level 1 memorization entry, free space left as by method 0");
    return;
  }

  setKnownSpellsCount(creature, knownCount - 1);
  const std::uint64_t movedEntries = entries - kKnownSpellSize;
  moveBytes(save, movedEntries, entries,
            static_cast<std::uint64_t>(entryCount) * kMemorizationEntrySize);
  setMemorizationOffset(creature, static_cast<std::uint32_t>(memorizationAt - kKnownSpellSize));
  // The 12 bytes freed in front of the memorized spells take a copy of the first of them.
  moveBytes(save, memorized - kMemorizedSpellSize, memorized, kMemorizedSpellSize);
  setMemorizedSpellsOffset(creature, static_cast<std::uint32_t>(memorizedAt - kMemorizedSpellSize));
  setMemorizedSpellsCount(creature, memorizedCount + 1);
  std::printf("\nfirst memorized spell of lowest spell level will be duplicated");

  // The level-1 entry counts the copy; every later entry's spells are now one index further
  // on. 16-bit sums that wrap: nothing carries into the neighbouring words.
  const std::uint64_t target =
      movedEntries + static_cast<std::uint64_t>(found) * kMemorizationEntrySize;
  setMemorizationSpellCount(target, static_cast<std::uint16_t>(memorizationSpellCount(target) + 1));
  for (std::int64_t e = found + 1; e < entryCount; ++e) {
    const std::uint64_t entry =
        movedEntries + static_cast<std::uint64_t>(e) * kMemorizationEntrySize;
    setMemorizationFirstIndex(entry, static_cast<std::uint16_t>(memorizationFirstIndex(entry) + 1));
  }
}
