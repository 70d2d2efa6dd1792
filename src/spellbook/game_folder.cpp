#include "spellbook/game_folder.h"

#include "formats/ascii.h"
#include "formats/compressed_archive.h"

std::optional<View> GameFolder::overrideFile(std::string_view name, std::string_view ending) {
  // The override folder is listed once for each ending, when the first such file is looked for.
  auto names = looseNames_.find(ending);
  if (names == looseNames_.end()) {
    names = looseNames_.emplace(std::string(ending), looseFilesIn(files_, ending)).first;
  }
  const auto found = names->second.find(foldedText(name));
  if (found == names->second.end()) return std::nullopt;
  // A loose file is small: read whole, once. An empty or unreadable one is no file, and the
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
