// A game's folder on disk, as the command line reads it: the index and the string table found by
// their names, the override folder listed once, and each archive mapped when a spell needs it.
#ifndef GRIMTRIM_APP_GAME_FOLDER_H_
#define GRIMTRIM_APP_GAME_FOLDER_H_

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/mapped_file.h"
#include "spellbook/installed_spells.h"

// True when `path` names a folder: the run is then given the game's folder instead of a
// configuration file.
[[nodiscard]] bool isFolder(const char* path);

class FolderOnDisk final : public GameFolder {
 public:
  explicit FolderOnDisk(std::string root);
  ~FolderOnDisk() override;
  FolderOnDisk(const FolderOnDisk&) = delete;
  FolderOnDisk& operator=(const FolderOnDisk&) = delete;

  // The folder as given, for messages.
  [[nodiscard]] const std::string& root() const { return root_; }
  // The paths of the files at the folder's top whose names end in ".key", any case.
  [[nodiscard]] std::vector<std::string> indexPaths();
  // The string table: "dialog.tlk" at the top, else "lang/<language>/dialog.tlk" of en_US
  // where present, else of the first language in name order (any case throughout). Nothing
  // when there is none; `languages` is set to how many languages hold one, `language` to the
  // one used.
  [[nodiscard]] std::optional<std::string> stringTablePath(std::size_t& languages,
                                                           std::string& language);

  [[nodiscard]] std::optional<View> overrideSpell(std::string_view name) override;
  [[nodiscard]] ArchiveBytes* archive(std::string_view path) override;

 private:
  class MappedArchive;

  // The names `folder` holds, in byte order, listed once; none when it cannot be listed.
  const std::vector<std::string>& namesIn(const std::string& folder);
  // The path of the entry of `folder` named `name` regardless of ASCII case, the exact name
  // first; nothing when there is none.
  std::optional<std::string> childNamed(const std::string& folder, std::string_view name);

  std::string root_;
  std::map<std::string, std::vector<std::string>> listings_;
  std::optional<std::map<std::string, std::string>> overrideSpells_;  // folded stem: path
  std::map<std::string, std::vector<std::uint8_t>> looseFiles_;       // by path; empty: unreadable
  std::map<std::string, std::unique_ptr<MappedArchive>> archives_;  // by path as the index gives it
};

#endif  // GRIMTRIM_APP_GAME_FOLDER_H_
