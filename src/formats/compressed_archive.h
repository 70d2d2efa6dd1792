// The two compressed forms older releases ship an archive in, read as the ordinary archive they
// hold and inflated only as far as a lookup asks:
//
// - "BIFCV1.0", in a file that keeps the archive's name: at 0x08 the inflated length (dword),
//   then blocks back to back, each its inflated length (dword), its compressed length (dword)
//   and that many bytes of one zlib stream. Only the blocks that hold the bytes asked for are
//   inflated; the block headers before them are walked to find them.
// - "BIF V1.0", in a file ending in ".cbf": at 0x08 the length n of a file name, its NUL
//   included (dword), the name, then the inflated length and the compressed length (dwords) and
//   one zlib stream. It is inflated from its start up to the farthest byte asked for, once.
//
// A damaged file never makes the reader hold more inflated bytes than it states, nor more than
// kMostInflated however much it states, beside one copy of each range it hands out that runs
// across blocks.
#ifndef GRIMTRIM_FORMATS_COMPRESSED_ARCHIVE_H_
#define GRIMTRIM_FORMATS_COMPRESSED_ARCHIVE_H_

#include <cstdint>
#include <memory>

#include "formats/bytes.h"
#include "formats/spell_archive.h"

// The most an archive may state it inflates to: far more than any archive of spells holds.
inline constexpr std::uint64_t kMostInflated = std::uint64_t{256} << 20;
// The most bytes of a file one read of it asks for at once: a whole compressed block, the largest
// a block may be.
inline constexpr std::uint64_t kMostBlockRead = (std::uint64_t{8} << 20) + (std::uint64_t{1} << 20);

// The first eight bytes of each compressed form.
inline constexpr const char* kBlocksSignature = "BIFCV1.0";
inline constexpr const char* kStreamSignature = "BIF V1.0";
inline constexpr std::uint64_t kFormSignatureSize = 8;

// The forms an archive's file may take, told by its first eight bytes.
enum class ArchiveForm {
  Plain,   // "BIFF": the archive itself
  Blocks,  // "BIFCV1.0"
  Stream,  // "BIF V1.0"
};

// The form `head` (a file's first bytes) begins with; Plain for anything else, which is then
// read, and judged, as an archive is.
[[nodiscard]] ArchiveForm archiveFormOf(const View& head);

// True when `head` begins as one of the three forms does: "BIFF", "BIFCV1.0" or "BIF V1.0".
[[nodiscard]] bool isArchiveFile(const View& head);

// The archive whose file `raw` holds, as ordinary archive bytes: `raw` itself when it is not
// compressed, else a reader that inflates it as asked. Its trouble() says why a compressed one
// cannot be read; until it is found, any bytes of `raw` that cannot be had yet (a page that has
// not read them) just give no bytes.
[[nodiscard]] std::unique_ptr<ArchiveBytes> readableArchive(std::unique_ptr<ArchiveBytes> raw);

#endif  // GRIMTRIM_FORMATS_COMPRESSED_ARCHIVE_H_
