// A game's folder as the spell lookup sees it: a loose spell of the override folder by its name,
// and an archive by the path the index's archive table gives it, each looked for and read once
// per run, over the folder a front end gives (a folder on disk, or files handed over in memory).
#ifndef GRIMTRIM_SPELLBOOK_GAME_FOLDER_H_
#define GRIMTRIM_SPELLBOOK_GAME_FOLDER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/bytes.h"
#include "formats/spell_archive.h"
#include "spellbook/folder_layout.h"

class GameFolder {
 public:
  // Looks things up in `files`, which is borrowed.
  explicit GameFolder(FolderReader& files) : files_(files) {}

  // The whole loose file of the override folder whose name is `name` and `ending`
  // (kLooseSpellEnding, ...), regardless of ASCII case, looked up among the files the folder
  // lists (so a name holding "/" or ".." opens nothing); nothing when there is none, or it is
  // empty or cannot be read.
  [[nodiscard]] std::optional<View> overrideFile(std::string_view name, std::string_view ending);
  // The archive at `path`, as the index's archive table gives it: relative to the game's folder,
  // either separator, any case (archiveIn()); where there is no such file, the ".cbf" file of the
  // same folder and base name. A compressed archive is read as the archive it holds
  // (compressed_archive.h). nullptr when it is missing or cannot be read.
  [[nodiscard]] ArchiveBytes* archive(std::string_view path);

 private:
  FolderReader& files_;
  // By ending: each loose file's folded name and path.
  std::map<std::string, std::map<std::string, std::string>, std::less<>> looseNames_;
  std::map<std::string, std::vector<std::uint8_t>> looseFiles_;    // by path; empty: unusable
  std::map<std::string, std::unique_ptr<ArchiveBytes>> archives_;  // by path as the index has it
};

#endif  // GRIMTRIM_SPELLBOOK_GAME_FOLDER_H_
