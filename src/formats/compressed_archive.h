// The two compressed forms an archive may come in (block_archive.h, stream_archive.h), read as
// the ordinary archive they hold and inflated only as far as a lookup asks. A damaged file never
// makes the reader hold more inflated bytes than it states, nor more than kMostInflated however
// much it states, beside one copy of each range it hands out that runs across blocks.
#ifndef GRIMTRIM_FORMATS_COMPRESSED_ARCHIVE_H_
#define GRIMTRIM_FORMATS_COMPRESSED_ARCHIVE_H_

#include <cstdint>
#include <memory>

#include "formats/bytes.h"
#include "formats/spell_archive.h"

// The most an archive may state it inflates to: far more than any archive of spells holds.
inline constexpr std::uint64_t kMostInflated = std::uint64_t{256} << 20;
// The most one block may inflate to: writers make blocks of 8 KiB, and a block is inflated whole
// into memory of its size. A block of no bytes is refused as well, so that a file of zeros cannot
// walk on without end.
inline constexpr std::uint64_t kMostBlockInflated = std::uint64_t{8} << 20;
// The most bytes of a file one read of it asks for at once: a whole compressed block, the largest
// a block may be.
inline constexpr std::uint64_t kMostBlockRead = (std::uint64_t{8} << 20) + (std::uint64_t{1} << 20);
static_assert(kMostBlockRead >= kMostBlockInflated + kMostBlockInflated / 64 + 64);

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
// cannot be read; until it is found, any bytes of `raw` that cannot be had yet just give no
// bytes.
[[nodiscard]] std::unique_ptr<ArchiveBytes> readableArchive(std::unique_ptr<ArchiveBytes> raw);

// Whether `archive` (as readableArchive() gives it) can be used: None when its header can be
// read and begins with "BIFF"; else a compressed archive's trouble, found while the header is
// inflated, or HoldsNoArchive when what it holds is no archive.
[[nodiscard]] InflateTrouble unusableBecause(ArchiveBytes& archive);

#endif  // GRIMTRIM_FORMATS_COMPRESSED_ARCHIVE_H_
