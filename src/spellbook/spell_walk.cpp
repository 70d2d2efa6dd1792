#include "spellbook/spell_walk.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "formats/spell_header.h"
#include "spellbook/settings.h"

namespace {

// The spell-book spells; every other type is never listed, counted or whacked.
constexpr std::uint16_t kSpellBookType = 1;

// Known spells resolved in one pass over the two tables at a time. A real spell book holds a
// few hundred, all resolved in one pass; a damaged count is taken in slices of this many, so
// that the memory the lookup needs stays small.
constexpr std::int32_t kSlice = 4096;

}  // namespace

SpellWalk walkSpells(const Game& game, const Creature& creature, std::int32_t level,
                     std::int32_t number, SpellListener& listener) {
  SpellWalk walk;
  const std::optional<KnownSpells> known = KnownSpells::of(creature);
  if (!known) {
    walk.end = WalkEnd::KnownOutsideSave;
    return walk;
  }
  if (game.spells == nullptr) return walk;  // a game lent without a source has nothing to find
  // A whack resolves its spells as a listing does. On a large index the names of even a few
  // spells lie far apart, so a pass over the index costs nearly as much for one name as for a
  // whole spell book: a pass for fewer names first would only add passes.
  // Each kept spell's number is its position among the kept spells of its level: what -w takes
  // with -s at that level, whether or not a level was chosen.
  std::unordered_map<std::int32_t, std::int32_t> lastNumber;
  std::vector<ResRef> names;
  // 64-bit positions: a slice past the last spell must not wrap.
  const std::int64_t count = known->count();
  for (std::int64_t first = 0; first < count; first += kSlice) {
    const std::int64_t last = count - first > kSlice ? first + kSlice : count;
    names.clear();
    names.reserve(static_cast<std::size_t>(last - first));
    for (std::int64_t j = first; j < last; ++j)
      names.push_back(known->name(static_cast<std::int32_t>(j)));
    const std::vector<FoundSpell> found = game.spells->find(names);
    if (game.spells->failure() != InflateTrouble::None) {
      walk.end = WalkEnd::SourceFailed;
      walk.failure = game.spells->failure();
      return walk;
    }
    for (std::int64_t j = first; j < last; ++j) {
      const auto position = static_cast<std::int32_t>(j);
      const FoundSpell& spell = found[static_cast<std::size_t>(j - first)];
      if (!spell.inIndex) {
        walk.end = WalkEnd::NameNotInIndex;
        walk.missingName = names[static_cast<std::size_t>(j - first)];
        return walk;
      }
      if (!spell.inArchive) continue;  // not in the archive: passed over, not counted
      const std::optional<SpellHeader> header = SpellHeader::at(spell.data, 0);
      if (!header) {
        walk.end = WalkEnd::NotASpell;
        return walk;
      }
      if (header->type() != kSpellBookType) continue;
      const std::int32_t spellLevel = header->level();
      if (level != kNotGiven && spellLevel != level) continue;
      const KeptSpell kept{position, spellLevel, ++lastNumber[spellLevel],
                           stringText(game.stringTable, header->nameRef())};
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
