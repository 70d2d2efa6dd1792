// A game's folder as the page hands it over: one block that lists every file under the folder
// by its path, with the parts of it the page has read so far. The core lays the folder out and
// finds spells in it exactly as it does in a folder on disk; whatever it asks for that the block
// does not hold is written down as a need, for the page to read and hand over in a new block.
#ifndef GRIMTRIM_WEB_HANDED_FOLDER_H_
#define GRIMTRIM_WEB_HANDED_FOLDER_H_

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "formats/bytes.h"
#include "spellbook/folder_layout.h"

// Bytes of a file that a lookup asked for and the block lacks: the whole file, or `length` bytes
// from `offset` (the page reads fewer at the end of the file).
struct FolderNeed {
  std::string path;
  bool whole = false;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;

  friend bool operator<(const FolderNeed& a, const FolderNeed& b) {
    return std::tie(a.path, a.whole, a.offset, a.length) <
           std::tie(b.path, b.whole, b.offset, b.length);
  }
};

// The block, little-endian throughout: the count of files, then for each its path's length and
// bytes ('/'-joined, relative to the game's folder), its flags (kUnreadable, kSizeKnown of
// bridge_protocol.h), its size as two words (low first), the count of its parts, and each part's
// offset (two words), length and bytes. A file whose size is not known has no parts yet.
class HandedFolder final : public FolderReader {
 public:
  HandedFolder();
  ~HandedFolder() override;
  HandedFolder(const HandedFolder&) = delete;
  HandedFolder& operator=(const HandedFolder&) = delete;

  // Reads the block, whose bytes must outlive this object: parts are seen in place. False when
  // it is not laid out as above (then the folder holds the files read before the fault). Paths
  // with an empty part, "." or ".." are left out.
  [[nodiscard]] bool read(const View& block);

  // The whole bytes of the file at `path`, seen in the block: nothing when it is not listed,
  // cannot be read, or is not held whole yet (a need then). A file of 0 bytes held whole gives a
  // view of none.
  [[nodiscard]] std::optional<View> whole(const std::string& path);

  // The needs met since the last forgetNeeds(), each once, in path order.
  [[nodiscard]] const std::set<FolderNeed>& needs() const { return needs_; }
  void forgetNeeds() { needs_.clear(); }

  [[nodiscard]] const std::vector<std::string>& namesIn(const std::string& folder) override;
  [[nodiscard]] bool isFile(const std::string& path) override;
  [[nodiscard]] bool exists(const std::string& path) override;
  // A copy of whole(); false (a need, unless it cannot be read) when the block lacks it.
  [[nodiscard]] bool readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) override;
  // The file's parts as the page read them, a need for any other bytes; nullptr for a file that
  // is not listed, cannot be read, or is known to hold no bytes.
  [[nodiscard]] std::unique_ptr<ArchiveBytes> openArchive(const std::string& path) override;

 private:
  struct Part {
    std::uint64_t offset;
    View bytes;
  };
  struct File {
    std::uint32_t flags = 0;
    std::uint64_t size = 0;
    std::vector<Part> parts;
  };
  class PartArchive;

  // `length` bytes of `file` from `offset` (fewer at its end), or nothing (a need) when no part
  // holds them.
  std::optional<View> bytesOf(const std::string& path, File& file, std::uint64_t offset,
                              std::uint64_t length);

  std::map<std::string, File> files_;
  std::map<std::string, std::vector<std::string>> folders_;  // each folder's names, sorted
  std::set<FolderNeed> needs_;
};

#endif  // GRIMTRIM_WEB_HANDED_FOLDER_H_
