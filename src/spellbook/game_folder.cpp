#include "spellbook/game_folder.h"

#include "formats/ascii.h"
#include "formats/compressed_archive.h"

std::optional<View> GameFolder::overrideSpell(std::string_view name) {
  // The override folder is listed once, when the first spell is looked for.
  if (!looseSpells_) looseSpells_ = looseFilesIn(files_, kLooseSpellEnding);
  const auto found = looseSpells_->find(foldedText(name));
  if (found == looseSpells_->end()) return std::nullopt;
  // A loose spell is small: read whole, once. An empty or unreadable one is no spell, and the
  // index is asked instead.
  auto [at, added] = looseFiles_.try_emplace(found->second);
  if (added && !files_.readWhole(found->second, at->second)) at->second.clear();
  if (at->second.empty()) return std::nullopt;
  return View{at->second.data(), at->second.size()};
}

ArchiveBytes* GameFolder::archive(std::string_view path) {
  const std::string key(path);
  if (const auto known = archives_.find(key); known != archives_.end()) return known->second.get();
  std::unique_ptr<ArchiveBytes> archive;
  // The archive as the index names it, in any of its forms; else its compressed file beside.
  if (const std::optional<std::string> file = archiveFileIn(files_, path)) {
    archive = files_.openArchive(*file);
  }
  if (archive) archive = readableArchive(std::move(archive));
  return archives_.emplace(key, std::move(archive)).first->second.get();
}
