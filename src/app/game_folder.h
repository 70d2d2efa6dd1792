// A game's folder on disk, as the command line reads it: its folders listed when the layout
// rules need them, loose spells read whole, and each archive mapped when a spell needs it.
#ifndef GRIMTRIM_APP_GAME_FOLDER_H_
#define GRIMTRIM_APP_GAME_FOLDER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spellbook/game_layout.h"
#include "spellbook/installed_spells.h"

// True when `path` names a folder: the run is then given the game's folder instead of a
// configuration file.
[[nodiscard]] bool isFolder(const char* path);

class FolderOnDisk final : public GameFolder, public FolderListing {
 public:
  explicit FolderOnDisk(std::string root);
  ~FolderOnDisk() override;
  FolderOnDisk(const FolderOnDisk&) = delete;
  FolderOnDisk& operator=(const FolderOnDisk&) = delete;

  // The folder as given, for messages.
  [[nodiscard]] const std::string& root() const { return root_; }
  // Where `path`, relative to the game's folder, lies on disk.
  [[nodiscard]] std::string onDisk(const std::string& path) const;

  [[nodiscard]] const std::vector<std::string>& namesIn(const std::string& folder) override;
  [[nodiscard]] bool isFile(const std::string& path) override;
  [[nodiscard]] bool exists(const std::string& path) override;

  [[nodiscard]] std::optional<View> overrideSpell(std::string_view name) override;
  [[nodiscard]] ArchiveBytes* archive(std::string_view path) override;

 private:
  class MappedArchive;

  std::string root_;
  std::map<std::string, std::vector<std::string>> listings_;
  std::optional<std::map<std::string, std::string>> looseSpells_;   // folded name: path
  std::map<std::string, std::vector<std::uint8_t>> looseFiles_;     // by path; empty: unreadable
  std::map<std::string, std::unique_ptr<MappedArchive>> archives_;  // by path as the index gives it
};

#endif  // GRIMTRIM_APP_GAME_FOLDER_H_
