#include "spellbook/spell_walk.h"

#include <algorithm>
#include <optional>

#include "formats/spell_lookup.h"
#include "spellbook/settings.h"

namespace {

// The spell-book spells; every other type is never listed, counted or whacked.
constexpr std::uint16_t kSpellBookType = 1;

// Known spells resolved in one pass over the two tables at a time. A real spell book holds a
// few hundred; a damaged count is taken in slices, so the memory a walk needs stays small.
constexpr std::int32_t kSlice = 4096;

}  // namespace

SpellWalk walkSpells(const Game& game, const Creature& creature, std::int32_t level,
                     std::int32_t number) {
  SpellWalk walk;
  const std::optional<KnownSpells> known = KnownSpells::of(creature);
  if (!known) {
    walk.end = WalkEnd::KnownOutsideSave;
    return walk;
  }
  std::int32_t spellNumber = 0;
  std::vector<ResRef> names;
  for (std::int32_t first = 0; first < known->count(); first += kSlice) {
    const std::int32_t last = known->count() - first > kSlice ? first + kSlice : known->count();
    names.clear();
    for (std::int32_t j = first; j < last; ++j)
      names.push_back(known->name(j));
    const std::vector<SpellLocation> locations =
        locateSpells(game.resourceIndex, game.spellArchive, names);
    for (std::int32_t j = first; j < last; ++j) {
      const SpellLocation& location = locations[static_cast<std::size_t>(j - first)];
      if (location.locator == kNoLocator) {
        walk.end = WalkEnd::NameNotInIndex;
        walk.missingName = names[static_cast<std::size_t>(j - first)];
        return walk;
      }
      if (!location.dataOffset) continue;  // not in this archive: passed over, not counted
      const std::optional<SpellHeader> header =
          SpellHeader::at(game.spellArchive, *location.dataOffset);
      if (!header) {
        walk.end = WalkEnd::NotASpell;
        return walk;
      }
      if (header->type() != kSpellBookType) continue;
      const std::int32_t spellLevel = header->level();
      if (level == kNotGiven) {
        walk.kept.push_back({j, spellLevel, 0, header->nameRef()});
      } else if (spellLevel == level) {
        ++spellNumber;
        walk.kept.push_back({j, spellLevel, spellNumber, header->nameRef()});
        if (number == spellNumber) {
          walk.end = WalkEnd::Chosen;
          return walk;
        }
      }
    }
  }
  return walk;
}
