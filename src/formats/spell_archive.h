// The spell archive ("BIFF"): its header and the file table that says where each resource's data
// lies, read in place whether the archive is mapped whole or read a part at a time.
#ifndef GRIMTRIM_FORMATS_SPELL_ARCHIVE_H_
#define GRIMTRIM_FORMATS_SPELL_ARCHIVE_H_

#include <cstdint>
#include <optional>

#include "formats/bytes.h"
#include "formats/entry_table.h"
#include "formats/resource_index.h"

// The size of an archive's header: what is read of an archive before its file table.
inline constexpr std::uint64_t kArchiveHeaderSize = 0x14;

inline constexpr std::uint64_t kFileEntrySize = 16;  // locator, data offset, size, type, unused

// The file entries of an archive of `fileSize` bytes that a scan may read, from its first bytes
// `head` (at least kArchiveHeaderSize of them, else none): offsets from the archive's start.
[[nodiscard]] EntryTable fileEntriesOf(const View& head, std::uint64_t fileSize);

// The file entries of `archive` that a scan may read, and the fields of entry `i` of them; the
// data offset is from the start of the archive. `archive` may also be the table's own bytes,
// with a table at offset 0.
[[nodiscard]] EntryTable fileEntries(const View& archive);
[[nodiscard]] inline Locator fileLocator(const View& archive, const EntryTable& table,
                                         std::uint64_t i) {
  return loadU32(archive, table.offset + i * kFileEntrySize);
}
[[nodiscard]] inline std::uint32_t fileDataOffset(const View& archive, const EntryTable& table,
                                                  std::uint64_t i) {
  return loadU32(archive, table.offset + i * kFileEntrySize + 0x04);
}
[[nodiscard]] inline std::uint32_t fileDataSize(const View& archive, const EntryTable& table,
                                                std::uint64_t i) {
  return loadU32(archive, table.offset + i * kFileEntrySize + 0x08);
}

// Where a file entry says its resource's data lies, from the start of the archive, as stored.
struct FileData {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};

// Data offset of the first file entry whose locator equals `locator` in all 32 bits, or nothing
// when no entry inside the file has it. The offset is taken as stored: SpellHeader::at() says
// whether a spell header stands there.
[[nodiscard]] std::optional<std::uint32_t> dataOffsetOf(const View& archive, Locator locator);

// Why a compressed archive cannot be read.
enum class InflateTrouble : std::uint32_t {
  None = 0,
  BeyondFile = 1,      // a length it states runs past the end of its file
  TooLarge = 2,        // it states more than kMostInflated bytes, or a block too large
  DoesNotInflate = 3,  // a stream is not one zlib inflates, or it is cut short
  WrongLength = 4,     // a stream or the blocks inflate to another length than stated
  HoldsNoArchive = 5,  // what it inflates to does not begin with "BIFF"
};

// An archive read only where a lookup asks: mapped whole, a folder's file read a part at a time,
// or a compressed archive inflated as far as asked.
class ArchiveBytes {
 public:
  virtual ~ArchiveBytes() = default;
  [[nodiscard]] virtual std::uint64_t size() const = 0;
  // The archive's bytes from `offset` on, at most `length` of them, as a view whose byte 0 is
  // the archive's byte `offset`: fewer at the end of the archive, none past it or where the bytes
  // cannot be had. A view stays valid as long as the archive.
  [[nodiscard]] virtual View bytes(std::uint64_t offset, std::uint64_t length) = 0;
  // Why the archive cannot be read, once a read has found out: from then on it gives no bytes.
  // None for an archive that is not compressed.
  [[nodiscard]] virtual InflateTrouble trouble() const { return InflateTrouble::None; }
  // Says that the `length` bytes from `offset` will be asked for next, so that an archive that
  // cannot give bytes at once may fetch them together; nothing for one whose bytes are at hand.
  virtual void expect(std::uint64_t offset, std::uint64_t length) {
    static_cast<void>(offset);
    static_cast<void>(length);
  }
};

// An archive whose bytes are all at hand in one view.
class WholeArchive final : public ArchiveBytes {
 public:
  explicit WholeArchive(const View& bytes) : bytes_(bytes) {}
  [[nodiscard]] std::uint64_t size() const override { return bytes_.size; }
  [[nodiscard]] View bytes(std::uint64_t offset, std::uint64_t length) override {
    return viewFrom(bytes_, offset, length);
  }

 private:
  View bytes_;
};

// An archive's file table as far as it can be had: its bytes, and the entries in them (at
// offset 0 of `bytes`).
struct FileTable {
  View bytes;
  EntryTable entries;
};

// Reads the header of `archive`, then its file table: only the entries that lie whole inside the
// archive and could be read. None when the header cannot be read.
[[nodiscard]] FileTable fileTableOf(ArchiveBytes& archive);

// The whole data `data` says a resource has in `archive`; nothing when it does not lie inside the
// archive or cannot be had (yet).
[[nodiscard]] std::optional<View> resourceData(ArchiveBytes& archive, const FileData& data);

#endif  // GRIMTRIM_FORMATS_SPELL_ARCHIVE_H_
