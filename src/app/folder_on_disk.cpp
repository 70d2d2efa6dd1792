#include "app/folder_on_disk.h"

#include <algorithm>
#include <cstdio>

#include "app/platform_folder.h"
#include "app/platform_map.h"

namespace {

// An archive mapped whole: the system reads only the pages a lookup touches, its header, its
// file table and the spell headers it resolves.
class MappedArchive final : public ArchiveBytes {
 public:
  explicit MappedArchive(std::string path) { file_.path = std::move(path); }
  ~MappedArchive() override { unmapAndClose(file_); }
  MappedArchive(const MappedArchive&) = delete;
  MappedArchive& operator=(const MappedArchive&) = delete;

  // False when the file cannot be mapped (a file of 0 bytes cannot); whatever was opened is
  // closed again.
  bool map() {
    if (mapWholeFile(file_, false) == MapStep::Done) return true;
    unmapAndClose(file_);
    return false;
  }
  [[nodiscard]] std::uint64_t size() const override { return file_.view.size; }
  [[nodiscard]] View bytes(std::uint64_t offset, std::uint64_t length) override {
    return viewFrom(file_.view, offset, length);
  }

 private:
  MappedFile file_;
};

}  // namespace

bool isFolder(const char* path) {
  return pathKind(path) == PathKind::Folder;
}

std::string FolderOnDisk::onDisk(const std::string& path) const {
  return path.empty() ? root_ : root_ + "/" + path;
}

const std::vector<std::string>& FolderOnDisk::namesIn(const std::string& folder) {
  auto [at, added] = listings_.try_emplace(folder);
  if (!added) return at->second;
  if (!listFolder(onDisk(folder).c_str(), at->second)) at->second.clear();
  std::sort(at->second.begin(), at->second.end());
  return at->second;
}

bool FolderOnDisk::isFile(const std::string& path) {
  return pathKind(onDisk(path).c_str()) == PathKind::File;
}

bool FolderOnDisk::exists(const std::string& path) {
  return pathKind(onDisk(path).c_str()) != PathKind::Missing;
}

bool FolderOnDisk::readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
  // Loose spells are a few hundred bytes, so they are read in small steps rather than sized
  // first.
  std::FILE* file = openForReading(onDisk(path).c_str());
  if (file == nullptr) return false;
  std::uint8_t chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

std::unique_ptr<ArchiveBytes> FolderOnDisk::openArchive(const std::string& path) {
  auto archive = std::make_unique<MappedArchive>(onDisk(path));
  if (!archive->map()) return nullptr;
  return archive;
}
