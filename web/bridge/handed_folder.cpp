#include "handed_folder.h"

#include <algorithm>

#include "bridge_protocol.h"

namespace {

// Reads the block front to back; once a read runs past its end, every later read fails too.
class BlockReader {
 public:
  explicit BlockReader(const View& block) : block_(block) {}

  bool word(std::uint32_t& value) {
    if (!ok_ || !inside(block_, at_, 4)) return ok_ = false;
    value = loadU32(block_, at_);
    at_ += 4;
    return true;
  }
  bool longWord(std::uint64_t& value) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!word(low) || !word(high)) return false;
    value = std::uint64_t{high} << 32 | low;
    return true;
  }
  bool bytes(std::uint64_t length, View& view) {
    if (!ok_ || !inside(block_, at_, length)) return ok_ = false;
    view = View{block_.data + at_, length};
    at_ += length;
    return true;
  }

 private:
  View block_;
  std::uint64_t at_ = 0;
  bool ok_ = true;
};

// True for a path whose every part is a name: none empty, "." or "..".
bool plainPath(std::string_view path) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == path.size()) return true;
    start = end + 1;
  }
}

}  // namespace

// An archive of the folder: its parts as the page read them, and a need for any other bytes.
class HandedFolder::PartArchive final : public ArchiveBytes {
 public:
  PartArchive(HandedFolder& folder, std::string path, File& file)
      : folder_(folder), path_(std::move(path)), file_(file) {}
  [[nodiscard]] std::uint64_t size() const override { return file_.size; }
  [[nodiscard]] View bytes(std::uint64_t offset, std::uint64_t length) override {
    return folder_.bytesOf(path_, file_, offset, std::min(length, kMostArchiveRead))
        .value_or(View{});
  }
  void expect(std::uint64_t offset, std::uint64_t length) override {
    // Bytes it lacks become a need, for the page to read them all in its next round.
    static_cast<void>(folder_.bytesOf(path_, file_, offset, std::min(length, kMostArchiveRead)));
  }

 private:
  HandedFolder& folder_;
  std::string path_;
  File& file_;
};

HandedFolder::HandedFolder() = default;

HandedFolder::~HandedFolder() = default;

bool HandedFolder::read(const View& block) {
  BlockReader reader(block);
  std::uint32_t count = 0;
  if (!reader.word(count)) return false;
  for (std::uint32_t f = 0; f < count; ++f) {
    std::uint32_t pathLength = 0;
    View pathBytes;
    File file;
    std::uint32_t parts = 0;
    if (!reader.word(pathLength) || !reader.bytes(pathLength, pathBytes) ||
        !reader.word(file.flags) || !reader.longWord(file.size) || !reader.word(parts)) {
      return false;
    }
    for (std::uint32_t p = 0; p < parts; ++p) {
      Part part{};
      std::uint32_t length = 0;
      if (!reader.longWord(part.offset) || !reader.word(length) ||
          !reader.bytes(length, part.bytes)) {
        return false;
      }
      // A part is seen only where it lies inside the file as its size says.
      if ((file.flags & kSizeKnown) != 0 && part.offset <= file.size &&
          length <= file.size - part.offset) {
        file.parts.push_back(part);
      }
    }
    const std::string path(reinterpret_cast<const char*>(pathBytes.data), pathLength);
    if (!plainPath(path)) continue;
    // Each folder on the way lists the next part of the path.
    for (std::size_t slash = path.find('/'), start = 0;; slash = path.find('/', slash + 1)) {
      const std::string folder = start == 0 ? std::string() : path.substr(0, start - 1);
      const std::size_t end = slash == std::string::npos ? path.size() : slash;
      folders_[folder].push_back(path.substr(start, end - start));
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    files_.insert_or_assign(path, std::move(file));
  }
  for (auto& [folder, names] : folders_) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
  }
  return true;
}

const std::vector<std::string>& HandedFolder::namesIn(const std::string& folder) {
  static const std::vector<std::string> kNone;
  const auto found = folders_.find(folder);
  return found == folders_.end() ? kNone : found->second;
}

bool HandedFolder::isFile(const std::string& path) {
  return files_.count(path) > 0;
}

bool HandedFolder::exists(const std::string& path) {
  return files_.count(path) > 0 || folders_.count(path) > 0;
}

std::optional<View> HandedFolder::bytesOf(const std::string& path, File& file, std::uint64_t offset,
                                          std::uint64_t length) {
  if ((file.flags & kUnreadable) != 0) return std::nullopt;
  if ((file.flags & kSizeKnown) == 0) {
    needs_.insert({path, false, offset, length});
    return std::nullopt;
  }
  if (offset > file.size) return View{};
  const std::uint64_t wanted = std::min(length, file.size - offset);
  for (const Part& part : file.parts) {
    if (part.offset <= offset && offset - part.offset <= part.bytes.size &&
        wanted <= part.bytes.size - (offset - part.offset)) {
      return View{part.bytes.data + (offset - part.offset), wanted};
    }
  }
  needs_.insert({path, false, offset, length});
  return std::nullopt;
}

std::optional<View> HandedFolder::whole(const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  File& file = found->second;
  if ((file.flags & kUnreadable) != 0) return std::nullopt;
  if ((file.flags & kSizeKnown) != 0) {
    for (const Part& part : file.parts) {
      if (part.offset == 0 && part.bytes.size == file.size) return part.bytes;
    }
  }
  needs_.insert({path, true, 0, 0});
  return std::nullopt;
}

bool HandedFolder::readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
  const std::optional<View> held = whole(path);
  if (!held) return false;
  bytes.assign(held->data, held->data + held->size);
  return true;
}

std::unique_ptr<ArchiveBytes> HandedFolder::openArchive(const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end()) return nullptr;
  File& file = found->second;
  // A file that cannot be read, or one of 0 bytes, cannot be mapped on disk either.
  const bool empty = (file.flags & kSizeKnown) != 0 && file.size == 0;
  if ((file.flags & kUnreadable) != 0 || empty) return nullptr;
  return std::make_unique<PartArchive>(*this, path, file);
}
