// Known spells found in the one spell archive a configuration names, through the resource index.
#ifndef GRIMTRIM_SPELLBOOK_CONFIGURED_SPELLS_H_
#define GRIMTRIM_SPELLBOOK_CONFIGURED_SPELLS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "formats/bytes.h"
#include "formats/spell_archive.h"
#include "spellbook/spell_source.h"

class ConfiguredSpells final : public SpellSource {
 public:
  // Finds spells through `index` in `archive`, whose path as configured is `archivePath`: its file
  // name finds its number in the index's archive table, for archives that keep only the file
  // part of a locator. Both are borrowed.
  ConfiguredSpells(const View& index, ArchiveBytes& archive, std::string_view archivePath)
      : index_(index), archive_(archive), archivePath_(archivePath) {}

  // The first entry of the index of each name (case counts), then the archive's entry that
  // answers for its locator (locator_rule.h, a named archive). A name the index lacks, or whose
  // entry holds 0xFFFFFFFF, is not in the index.
  [[nodiscard]] std::vector<FoundSpell> find(std::span<const ResRef> names) override;
  // A compressed archive that turned out not to inflate.
  [[nodiscard]] InflateTrouble failure() const override { return archive_.trouble(); }

 protected:
  // The index's first text table of that name (case ignored), in the archive, its entry found as
  // a spell's is.
  [[nodiscard]] std::optional<View> textTable(ResRef name) override;

 private:
  // The archive's file table, read on first use together with the archive's number.
  const FileTable& files();

  View index_;
  ArchiveBytes& archive_;
  std::string archivePath_;
  // Read on the first find: a run that lists only names never reads the archive.
  std::optional<std::uint32_t> archiveNumber_;
  std::optional<FileTable> files_;
};

#endif  // GRIMTRIM_SPELLBOOK_CONFIGURED_SPELLS_H_
