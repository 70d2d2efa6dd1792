#include "spellbook/class_walk.h"

#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

#include "formats/class_lists.h"
#include "formats/spell_header.h"
#include "spellbook/settings.h"

namespace {

constexpr std::uint16_t kSpellBookType = 1;

// Entries resolved in one pass over the index and the archives at a time; a damaged list's
// entries are taken in slices of this many, so that the memory a lookup needs stays small.
constexpr std::size_t kSlice = 4096;

struct Entry {
  int list;
  std::uint32_t place;  // in its list
  ResRef name;
};

// The walk's state between slices.
class ClassWalk {
 public:
  ClassWalk(const Game& game, std::int32_t level, std::int32_t number, SpellListener& listener)
      : game_(game), level_(level), number_(number), listener_(listener) {}

  // Resolves the pending entries and walks them in order; false once the walk has ended.
  bool walkPending(const std::array<ClassList, kClassListCount>& lists, SpellWalk& walk) {
    if (pending_.empty()) return true;
    names_.clear();
    for (const Entry& entry : pending_)
      names_.push_back(entry.name);
    const std::vector<FoundSpell> found = game_.spells->find(names_);
    if (game_.spells->failure() != InflateTrouble::None) {
      walk.end = WalkEnd::SourceFailed;
      walk.failure = game_.spells->failure();
      return false;
    }
    for (std::size_t e = 0; e < pending_.size(); ++e) {
      const Entry& entry = pending_[e];
      if (!found[e].inIndex) {
        walk.end = WalkEnd::NameNotInIndex;
        walk.missingName = entry.name;
        return false;
      }
      if (!found[e].inArchive) continue;  // not in the archive: passed over, not counted
      const std::optional<SpellHeader> header = SpellHeader::at(found[e].data, 0);
      if (!header) {
        walk.end = WalkEnd::NotASpell;
        return false;
      }
      if (header->type() != kSpellBookType) continue;
      // The list's level is the spell's: one spell can stand at different levels for two
      // classes, and the spell file's own level is not what the game uses.
      const ClassList& list = lists[static_cast<std::size_t>(entry.list)];
      if (level_ != kNotGiven && list.level != level_) continue;
      const KeptSpell kept{static_cast<std::int32_t>(entry.place),
                           list.level,
                           ++lastNumber_[list.level],
                           stringText(game_.stringTable, header->nameRef()),
                           list.spellClass,
                           entry.list};
      listener_.kept(kept);
      if (level_ != kNotGiven && number_ == kept.number) {
        walk.end = WalkEnd::Chosen;
        walk.chosen = kept;
        return false;
      }
    }
    pending_.clear();
    return true;
  }

  std::vector<Entry>& pending() { return pending_; }

 private:
  const Game& game_;
  std::int32_t level_;
  std::int32_t number_;
  SpellListener& listener_;
  std::vector<Entry> pending_;
  std::vector<ResRef> names_;
  std::unordered_map<std::int32_t, std::int32_t> lastNumber_;  // by level, as walkSpells()
};

}  // namespace

SpellWalk walkClassSpells(const Game& game, const Creature& creature, std::int32_t level,
                          std::int32_t number, SpellListener& listener) {
  SpellWalk walk;
  std::array<ClassList, kClassListCount> lists;
  for (int l = 0; l < kClassListCount; ++l) {
    ClassList& list = lists[static_cast<std::size_t>(l)];
    list = classListAt(creature, l);
    if (list.count != 0 && !inside(creature.save(), creature.inSave(list.offset),
                                   std::uint64_t{list.count} * kClassEntrySize)) {
      walk.end = WalkEnd::KnownOutsideSave;
      return walk;
    }
  }
  if (game.spells == nullptr) return walk;  // a game lent without a source has nothing to find
  const std::vector<ResRef>* rows = game.spells->spellRows();
  if (rows == nullptr) {
    walk.end = WalkEnd::NoSpellTable;
    return walk;
  }
  ClassWalk walker(game, level, number, listener);
  for (int l = 0; l < kClassListCount; ++l) {
    const ClassList& list = lists[static_cast<std::size_t>(l)];
    const std::uint64_t first = creature.inSave(list.offset);
    for (std::uint32_t j = 0; j < list.count; ++j) {
      const std::uint32_t spell =
          loadU32(creature.save(), first + std::uint64_t{j} * kClassEntrySize);
      if (spell >= rows->size()) {
        // The entries before it are walked first: what they hold comes before this stop.
        if (!walker.walkPending(lists, walk)) return walk;
        walk.end = WalkEnd::NumberNotInTable;
        walk.spellNumber = spell;
        return walk;
      }
      const ResRef name = (*rows)[spell];
      if (isUnusedRow(name)) continue;
      walker.pending().push_back({l, j, name});
      if (walker.pending().size() == kSlice && !walker.walkPending(lists, walk)) return walk;
    }
  }
  static_cast<void>(walker.walkPending(lists, walk));
  return walk;
}
