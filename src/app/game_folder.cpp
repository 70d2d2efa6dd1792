#include "app/game_folder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "app/platform_map.h"

namespace {

char folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string foldedText(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), folded);
  return out;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && foldedText(text.substr(text.size() - end.size())) == end;
}

std::string joined(const std::string& folder, std::string_view name) {
  return folder + "/" + std::string(name);
}

bool isFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

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
    const View& view = file_.view;
    if (offset > view.size) return {};
    const std::uint64_t room = view.size - offset;
    return {view.data + offset, length < room ? length : room};
  }

 private:
  MappedFile file_;
};

FolderOnDisk::FolderOnDisk(std::string root) : root_(std::move(root)) {}

FolderOnDisk::~FolderOnDisk() = default;

const std::vector<std::string>& FolderOnDisk::namesIn(const std::string& folder) {
  auto [at, added] = listings_.try_emplace(folder);
  if (!added) return at->second;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    at->second.push_back(entry->path().filename().string());
  }
  std::sort(at->second.begin(), at->second.end());
  return at->second;
}

std::optional<std::string> FolderOnDisk::childNamed(const std::string& folder,
                                                    std::string_view name) {
  // The name as it stands is the usual case: one look at the file, no listing of the folder.
  std::error_code error;
  const std::string exact = joined(folder, name);
  if (listings_.find(folder) == listings_.end() && std::filesystem::exists(exact, error)) {
    return exact;
  }
  const std::vector<std::string>& names = namesIn(folder);
  if (std::binary_search(names.begin(), names.end(), name)) return exact;
  const std::string wanted = foldedText(name);
  for (const std::string& entry : names) {
    if (foldedText(entry) == wanted) return joined(folder, entry);
  }
  return std::nullopt;
}

std::vector<std::string> FolderOnDisk::indexPaths() {
  std::vector<std::string> paths;
  for (const std::string& name : namesIn(root_)) {
    const std::string path = joined(root_, name);
    if (endsWithIgnoringCase(name, ".key") && isFile(path)) paths.push_back(path);
  }
  return paths;
}

std::optional<std::string> FolderOnDisk::stringTablePath(std::size_t& languages,
                                                         std::string& language) {
  languages = 0;
  if (const auto top = childNamed(root_, "dialog.tlk"); top && isFile(*top)) return top;
  const std::optional<std::string> lang = childNamed(root_, "lang");
  if (!lang) return std::nullopt;
  std::optional<std::string> chosen;
  for (const std::string& name : namesIn(*lang)) {
    const auto table = childNamed(joined(*lang, name), "dialog.tlk");
    if (!table || !isFile(*table)) continue;
    ++languages;
    // en_US where present, else the first in name order.
    if (!chosen || (foldedText(name) == "en_us" && foldedText(language) != "en_us")) {
      chosen = table;
      language = name;
    }
  }
  return chosen;
}

std::optional<View> FolderOnDisk::overrideSpell(std::string_view name) {
  if (!overrideSpells_) {
    // The override folder is listed once; each loose spell is known by its folded name.
    overrideSpells_.emplace();
    if (const std::optional<std::string> folder = childNamed(root_, "override")) {
      for (const std::string& entry : namesIn(*folder)) {
        if (!endsWithIgnoringCase(entry, ".spl")) continue;
        // Names are met in byte order: of several that differ only in case, the first stays.
        overrideSpells_->try_emplace(foldedText(entry.substr(0, entry.size() - 4)),
                                     joined(*folder, entry));
      }
    }
  }
  const auto found = overrideSpells_->find(foldedText(name));
  if (found == overrideSpells_->end()) return std::nullopt;
  // A loose spell is small: read whole once, rather than mapped.
  auto [at, added] = looseFiles_.try_emplace(found->second);
  if (added && !readWhole(found->second, at->second)) at->second.clear();
  if (at->second.empty()) return std::nullopt;
  return View{at->second.data(), at->second.size()};
}

ArchiveBytes* FolderOnDisk::archive(std::string_view path) {
  const std::string key(path);
  if (const auto known = archives_.find(key); known != archives_.end()) return known->second.get();
  // Each part of the path is looked up in its folder's listing, case ignored; a part that would
  // leave the game's folder is never followed.
  std::string at = root_;
  bool found = true;
  std::size_t start = 0;
  while (found && start <= path.size()) {
    const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part == ".." || part == ".") {
      found = false;
    } else if (!part.empty()) {
      const std::optional<std::string> child = childNamed(at, part);
      found = child.has_value();
      if (found) at = *child;
    }
    start = end + 1;
  }
  std::unique_ptr<MappedArchive> archive;
  if (found && isFile(at)) {
    archive = std::make_unique<MappedArchive>(at);
    if (!archive->map()) archive.reset();
  }
  return archives_.emplace(key, std::move(archive)).first->second.get();
}
