// Known spells found as the installed game finds them: first a loose spell file in the override
// folder, else the index's spell entry of that name (case ignored), in the archive that its
// locator numbers, at the entry that answers for the locator (locator_rule.h, a numbered
// archive).
#ifndef GRIMTRIM_SPELLBOOK_INSTALLED_SPELLS_H_
#define GRIMTRIM_SPELLBOOK_INSTALLED_SPELLS_H_

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formats/bytes.h"
#include "formats/spell_archive.h"
#include "spellbook/game_folder.h"
#include "spellbook/spell_source.h"

// Why an archive the index names could not be used; its spells are passed over.
enum class ArchiveTrouble : std::uint32_t {
  NotInTable = 0,    // the locator's archive number is not in the index's archive table
  Unreadable = 1,    // the file is missing or cannot be read
  NotAnArchive = 2,  // it does not begin with "BIFF"
  LacksEntry = 3,    // it holds no entry for a spell the index places in it
  Compressed = 4,    // it is compressed and cannot be inflated (`inflate` says why)
};

struct UnusableArchive {
  std::uint32_t number = 0;
  std::string_view path;  // as the archive table gives it; empty with NotInTable
  ArchiveTrouble trouble = ArchiveTrouble::NotInTable;
  InflateTrouble inflate = InflateTrouble::None;  // with Compressed
};

class InstalledSpells final : public SpellSource {
 public:
  // Finds spells in `folder` through the resource index `index`; both are borrowed.
  InstalledSpells(const View& index, GameFolder& folder) : index_(index), folder_(folder) {}

  [[nodiscard]] std::vector<FoundSpell> find(std::span<const ResRef> names) override;

  // Each archive that could not be used so far, once, in the order met.
  [[nodiscard]] const std::vector<UnusableArchive>& unusable() const { return unusable_; }

 protected:
  // The override folder's loose table first, else the index's entry of a text table of that
  // name in the archive its locator numbers.
  [[nodiscard]] std::optional<View> textTable(ResRef name) override;

 private:
  // The archive the index numbers `number`, its file table read into tables_; nullptr, and the
  // reason noted, when it cannot be used.
  ArchiveBytes* usableArchive(std::uint32_t number);
  void note(std::uint32_t number, std::string_view path, ArchiveTrouble trouble,
            InflateTrouble inflate = InflateTrouble::None);

  View index_;
  GameFolder& folder_;
  std::vector<UnusableArchive> unusable_;
  std::unordered_set<std::uint32_t> noted_;              // the numbers of unusable_
  std::unordered_map<std::uint32_t, FileTable> tables_;  // each archive's file table, by number
};

#endif  // GRIMTRIM_SPELLBOOK_INSTALLED_SPELLS_H_
