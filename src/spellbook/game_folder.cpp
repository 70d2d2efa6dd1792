#include "spellbook/game_folder.h"

#include "formats/compressed_archive.h"

namespace {

// The path of the ".cbf" file that stands for the archive at `path` in older releases: the same
// folder and base name, the extension replaced.
std::string compressedPathOf(std::string_view path) {
  const std::size_t name = path.find_last_of("/\\") + 1;  // 0 without a folder
  const std::size_t dot = path.rfind('.');
  const std::size_t base = dot != std::string_view::npos && dot >= name ? dot : path.size();
  return std::string(path.substr(0, base)) + ".cbf";
}

}  // namespace

std::optional<View> GameFolder::overrideSpell(std::string_view name) {
  // The override folder is listed once, when the first spell is looked for.
  if (!looseSpells_) looseSpells_ = looseSpellsIn(files_);
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
  std::optional<std::string> file = archiveIn(files_, path);
  if (!file) file = archiveIn(files_, compressedPathOf(path));
  if (file) archive = files_.openArchive(*file);
  if (archive) archive = readableArchive(std::move(archive));
  return archives_.emplace(key, std::move(archive)).first->second.get();
}
