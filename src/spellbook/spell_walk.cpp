#include "spellbook/spell_walk.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "formats/spell_lookup.h"
#include "spellbook/settings.h"

namespace {

// The spell-book spells; every other type is never listed, counted or whacked.
constexpr std::uint16_t kSpellBookType = 1;

// Known spells resolved in one pass over the two tables at a time. A real spell book holds a
// few hundred, all resolved in one pass; a damaged count is taken in slices of this many, so
// that the memory the lookup needs stays small.
constexpr std::int32_t kSlice = 4096;

// The configured archive's answer for `names`: the index, then the archive's file table.
std::vector<FoundSpell> findConfigured(const Game& game, std::span<const ResRef> names,
                                       std::optional<std::uint32_t> archiveNumber) {
  const View& archive = game.spellArchive;
  const std::vector<SpellLocation> locations =
      locateSpells(game.resourceIndex, archive, names, archiveNumber);
  std::vector<FoundSpell> found(names.size());
  for (std::size_t n = 0; n < names.size(); ++n) {
    found[n].inIndex = locations[n].locator != kNoLocator;
    found[n].inArchive = locations[n].dataOffset.has_value();
    // A data offset past the archive's end leaves no bytes: no spell header stands there.
    if (found[n].inArchive)
      found[n].header = viewFrom(archive, *locations[n].dataOffset, archive.size);
  }
  return found;
}

}  // namespace

SpellWalk walkSpells(const Game& game, const Creature& creature, std::int32_t level,
                     std::int32_t number, SpellListener& listener) {
  SpellWalk walk;
  const std::optional<KnownSpells> known = KnownSpells::of(creature);
  if (!known) {
    walk.end = WalkEnd::KnownOutsideSave;
    return walk;
  }
  // A whack resolves its spells as a listing does. On a large index the names of even a few
  // spells lie far apart, so a pass over the index costs nearly as much for one name as for a
  // whole spell book: a pass for fewer names first would only add passes.
  // Each kept spell's number is its position among the kept spells of its level: what -w takes
  // with -s at that level, whether or not a level was chosen.
  std::unordered_map<std::int32_t, std::int32_t> lastNumber;
  const std::optional<std::uint32_t> archiveNumber =
      game.installed != nullptr ? std::nullopt
                                : archiveNumberNamed(game.resourceIndex, game.spellArchivePath);
  std::vector<ResRef> names;
  // 64-bit positions: a slice past the last spell must not wrap.
  const std::int64_t count = known->count();
  for (std::int64_t first = 0; first < count; first += kSlice) {
    const std::int64_t last = count - first > kSlice ? first + kSlice : count;
    names.clear();
    names.reserve(static_cast<std::size_t>(last - first));
    for (std::int64_t j = first; j < last; ++j)
      names.push_back(known->name(static_cast<std::int32_t>(j)));
    const std::vector<FoundSpell> found = game.installed != nullptr
                                              ? game.installed->find(names)
                                              : findConfigured(game, names, archiveNumber);
    for (std::int64_t j = first; j < last; ++j) {
      const auto position = static_cast<std::int32_t>(j);
      const FoundSpell& spell = found[static_cast<std::size_t>(j - first)];
      if (!spell.inIndex) {
        walk.end = WalkEnd::NameNotInIndex;
        walk.missingName = names[static_cast<std::size_t>(j - first)];
        return walk;
      }
      if (!spell.inArchive) continue;  // not in the archive: passed over, not counted
      const std::optional<SpellHeader> header = SpellHeader::at(spell.header, 0);
      if (!header) {
        walk.end = WalkEnd::NotASpell;
        return walk;
      }
      if (header->type() != kSpellBookType) continue;
      const std::int32_t spellLevel = header->level();
      if (level != kNotGiven && spellLevel != level) continue;
      const KeptSpell kept{position, spellLevel, ++lastNumber[spellLevel], header->nameRef()};
      listener.kept(kept);
      if (level != kNotGiven && number == kept.number) {
        walk.end = WalkEnd::Chosen;
        walk.chosen = kept;
        return walk;
      }
    }
  }
  return walk;
}
