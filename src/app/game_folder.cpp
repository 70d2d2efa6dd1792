#include "app/game_folder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/platform_map.h"

namespace {

// The whole file at `path` into `bytes`; false when it cannot be read. Loose spells are a few
// hundred bytes, so they are read in small steps rather than sized first.
bool readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::FILE* file = openForReading(path.c_str());
  if (file == nullptr) return false;
  std::uint8_t chunk[4096];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

// Maps `file.path` read-only; on failure closes whatever was opened and leaves the view empty.
bool mapReadOnly(MappedFile& file) {
  if (mapWholeFile(file, false) == MapStep::Done) return true;
  unmapAndClose(file);
  return false;
}

}  // namespace

bool isFolder(const char* path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// An archive mapped whole: the system reads only the pages the lookup touches, its header, its
// file table and the spell headers it resolves.
class FolderOnDisk::MappedArchive final : public ArchiveBytes {
 public:
  explicit MappedArchive(std::string path) { file_.path = std::move(path); }
  ~MappedArchive() override { unmapAndClose(file_); }
  MappedArchive(const MappedArchive&) = delete;
  MappedArchive& operator=(const MappedArchive&) = delete;

  bool map() { return mapReadOnly(file_); }
  [[nodiscard]] std::uint64_t size() const override { return file_.view.size; }
  [[nodiscard]] View bytes(std::uint64_t offset, std::uint64_t length) override {
    return viewFrom(file_.view, offset, length);
  }

 private:
  MappedFile file_;
};

FolderOnDisk::FolderOnDisk(std::string root) : root_(std::move(root)) {}

FolderOnDisk::~FolderOnDisk() = default;

std::string FolderOnDisk::onDisk(const std::string& path) const {
  return path.empty() ? root_ : root_ + "/" + path;
}

const std::vector<std::string>& FolderOnDisk::namesIn(const std::string& folder) {
  auto [at, added] = listings_.try_emplace(folder);
  if (!added) return at->second;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(onDisk(folder), error), end;
       !error && entry != end; entry.increment(error)) {
    at->second.push_back(entry->path().filename().string());
  }
  std::sort(at->second.begin(), at->second.end());
  return at->second;
}

bool FolderOnDisk::isFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(onDisk(path), error);
}

bool FolderOnDisk::exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(onDisk(path), error);
}

std::optional<View> FolderOnDisk::overrideSpell(std::string_view name) {
  // The override folder is listed once, when the first spell is looked for.
  if (!looseSpells_) looseSpells_ = looseSpellsIn(*this);
  const auto found = looseSpells_->find(foldedText(name));
  if (found == looseSpells_->end()) return std::nullopt;
  // A loose spell is small: read whole once, rather than mapped.
  auto [at, added] = looseFiles_.try_emplace(found->second);
  if (added && !readWhole(onDisk(found->second), at->second)) at->second.clear();
  if (at->second.empty()) return std::nullopt;
  return View{at->second.data(), at->second.size()};
}

ArchiveBytes* FolderOnDisk::archive(std::string_view path) {
  const std::string key(path);
  if (const auto known = archives_.find(key); known != archives_.end()) return known->second.get();
  std::unique_ptr<MappedArchive> archive;
  if (const std::optional<std::string> file = archiveIn(*this, path)) {
    archive = std::make_unique<MappedArchive>(onDisk(*file));
    if (!archive->map()) archive.reset();
  }
  return archives_.emplace(key, std::move(archive)).first->second.get();
}
