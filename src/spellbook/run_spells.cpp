#include "spellbook/run_spells.h"

RunSpells::RunSpells(const RunFiles& files, FolderReader* folder) {
  if (folder != nullptr) {
    folder_.emplace(*folder);
    installed_.emplace(files.resourceIndex, *folder_);
  } else {
    configured_.emplace(files.resourceIndex, *files.archive, files.spellArchivePath);
  }
}

SpellSource& RunSpells::source() {
  if (installed_) return *installed_;
  return *configured_;
}

const std::vector<UnusableArchive>& RunSpells::unusable() const {
  static const std::vector<UnusableArchive> kNone;
  return installed_ ? installed_->unusable() : kNone;
}
