// Where a run's known spells are found, chosen in one place for every front end: the spell
// archive a configuration names, or, for files found in a game's folder, the folder searched as
// the game searches it.
#ifndef GRIMTRIM_SPELLBOOK_RUN_SPELLS_H_
#define GRIMTRIM_SPELLBOOK_RUN_SPELLS_H_

#include <optional>
#include <vector>

#include "formats/spell_archive.h"
#include "spellbook/configured_spells.h"
#include "spellbook/folder_layout.h"
#include "spellbook/game_folder.h"
#include "spellbook/installed_spells.h"
#include "spellbook/run_files.h"
#include "spellbook/spell_source.h"

class RunSpells {
 public:
  // The configured spell archive of `files` (as read: `files.archive`); with `folder` (the game's
  // folder the files were found in), the folder's spells through the index of `files`. Both are
  // borrowed.
  RunSpells(const RunFiles& files, FolderReader* folder);
  RunSpells(const RunSpells&) = delete;
  RunSpells& operator=(const RunSpells&) = delete;

  [[nodiscard]] SpellSource& source();
  // The archives of the game's folder that could not be used so far, once each in the order
  // met; none with a configured archive.
  [[nodiscard]] const std::vector<UnusableArchive>& unusable() const;

 private:
  std::optional<ConfiguredSpells> configured_;
  std::optional<GameFolder> folder_;
  std::optional<InstalledSpells> installed_;
};

#endif  // GRIMTRIM_SPELLBOOK_RUN_SPELLS_H_
