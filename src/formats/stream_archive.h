// The "BIF V1.0" form of a compressed archive, in a file ending in ".cbf": at 0x08 the length n
// of a file name, its NUL included (dword), the name, then the inflated length and the
// compressed length (dwords) and one zlib stream. It is inflated from its start up to the
// farthest byte asked for, once.
#ifndef GRIMTRIM_FORMATS_STREAM_ARCHIVE_H_
#define GRIMTRIM_FORMATS_STREAM_ARCHIVE_H_

#include <memory>

#include "formats/spell_archive.h"

// The archive the stream in `raw` (a file that begins with "BIF V1.0") inflates to.
[[nodiscard]] std::unique_ptr<ArchiveBytes> streamArchiveOver(std::unique_ptr<ArchiveBytes> raw);

#endif  // GRIMTRIM_FORMATS_STREAM_ARCHIVE_H_
