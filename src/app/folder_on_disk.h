// A game's folder on disk, as the command line reads it: its folders listed when the layout rules
// need them, loose spells read whole, and each archive mapped when a spell needs it.
#ifndef GRIMTRIM_APP_FOLDER_ON_DISK_H_
#define GRIMTRIM_APP_FOLDER_ON_DISK_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "spellbook/folder_layout.h"

// True when `path` names a folder: the run is then given the game's folder instead of a
// configuration file.
[[nodiscard]] bool isFolder(const char* path);

class FolderOnDisk final : public FolderReader {
 public:
  explicit FolderOnDisk(std::string root) : root_(std::move(root)) {}

  // Where `path`, relative to the game's folder, lies on disk.
  [[nodiscard]] std::string onDisk(const std::string& path) const;

  [[nodiscard]] const std::vector<std::string>& namesIn(const std::string& folder) override;
  [[nodiscard]] bool isFile(const std::string& path) override;
  [[nodiscard]] bool exists(const std::string& path) override;
  [[nodiscard]] bool readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) override;
  [[nodiscard]] std::unique_ptr<ArchiveBytes> openArchive(const std::string& path) override;

 private:
  std::string root_;
  std::map<std::string, std::vector<std::string>> listings_;
};

#endif  // GRIMTRIM_APP_FOLDER_ON_DISK_H_
