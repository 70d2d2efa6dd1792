// The "BIFCV1.0" form of a compressed archive, in a file that keeps the archive's name: at 0x08
// the inflated length (dword), then blocks back to back, each its inflated length (dword), its
// compressed length (dword) and that many bytes of one zlib stream. Only the blocks that hold the
// bytes asked for are inflated; the block headers before them are walked to find them.
#ifndef GRIMTRIM_FORMATS_BLOCK_ARCHIVE_H_
#define GRIMTRIM_FORMATS_BLOCK_ARCHIVE_H_

#include <memory>

#include "formats/spell_archive.h"

// The archive the blocks in `raw` (a file that begins with "BIFCV1.0") inflate to.
[[nodiscard]] std::unique_ptr<ArchiveBytes> blockArchiveOver(std::unique_ptr<ArchiveBytes> raw);

#endif  // GRIMTRIM_FORMATS_BLOCK_ARCHIVE_H_
