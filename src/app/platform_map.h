// The platform's file and memory-mapping services, behind one small interface; each platform
// has its own implementation file.
#ifndef GRIMTRIM_APP_PLATFORM_MAP_H_
#define GRIMTRIM_APP_PLATFORM_MAP_H_

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/mapped_file.h"
#include "text/output.h"

// The step at which mapping a file failed, or Done.
enum class MapStep { Done, Open, CreateMapping, MapView };

// Opens the existing file at `file.path` (never creating one), read-only or, when `writable`,
// for reading and writing, and maps a view of the whole file, filling `file.file`,
// `file.mapping` and `file.view`. Other processes may go on reading the file but not write it
// while it is open here: a file that another process holds open for writing (or, for a
// writable open, holds open at all) fails at Open. A directory fails at Open, a file of 0 bytes
// at CreateMapping. On failure whatever was opened stays open; the process is about to end.
[[nodiscard]] MapStep mapWholeFile(MappedFile& file, bool writable);

// Where a view that another program cuts short is met: its file was shortened while mapped, so
// a read or a store past the new end cannot be served. From the first view mapped on, such a
// fault in one of the views this process has mapped and not yet unmapped ends the run: the
// whole prints of `pending` go to standard output, "grimtrim: <path> was cut short by another
// program while in use" and a line feed to standard error, and the process ends with status 1.
// A fault anywhere else ends the process as it would have without this. Only `pending`'s
// address is kept, so it must outlive every view. Where the system refuses to shorten a mapped
// file, there is nothing to do.
void writeOnCutShort(const PendingText& pending);

// Makes every store through a writable view reach the file. True on success, and always for a
// read-only view.
[[nodiscard]] bool flushView(const MappedFile& file);

// Replaces the file at `path` with the `size` bytes at `bytes` as a whole: they are written to a
// new file beside it, made to reach the disk, then put in its place under its name, so that an
// interrupted run leaves either the old file or the new one. The file must not be open here.
// False, with the old file as it was and nothing left beside it, when any step fails.
[[nodiscard]] bool replaceFile(const std::string& path, const std::uint8_t* bytes,
                               std::uint64_t size);

// Ends the view, closes the mapping, then closes the file; results are not checked.
void unmapAndClose(MappedFile& file);

// Opens a file for reading byte by byte, or gives nullptr when it cannot be opened (a
// directory cannot). Never waits for a writer to appear.
[[nodiscard]] std::FILE* openForReading(const char* path);

#endif  // GRIMTRIM_APP_PLATFORM_MAP_H_
