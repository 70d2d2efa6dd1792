// The platform's file and memory-mapping services, behind one small interface; each platform
// has its own implementation file.
#ifndef GRIMTRIM_APP_PLATFORM_MAP_H_
#define GRIMTRIM_APP_PLATFORM_MAP_H_

#include <cstdio>

#include "app/mapped_file.h"

// The step at which mapping a file failed, or Done.
enum class MapStep { Done, Open, CreateMapping, MapView };

// Opens the existing file at `file.path` (never creating one), read-only or, when `writable`,
// for reading and writing, and maps a view of the whole file, filling `file.file`,
// `file.mapping` and `file.view`. Other processes may go on reading the file but not write it
// while it is open here: a file that another process holds open for writing (or, for a
// writable open, holds open at all) fails at Open. A directory fails at Open, a file of 0 bytes
// at CreateMapping. On failure whatever was opened stays open; the process is about to end.
[[nodiscard]] MapStep mapWholeFile(MappedFile& file, bool writable);

// Makes every store through a writable view reach the file. True on success, and always for a
// read-only view.
[[nodiscard]] bool flushView(const MappedFile& file);

// Ends the view, closes the mapping, then closes the file; results are not checked.
void unmapAndClose(MappedFile& file);

// Opens a file for reading byte by byte, or gives nullptr when it cannot be opened (a
// directory cannot). Never waits for a writer to appear.
[[nodiscard]] std::FILE* openForReading(const char* path);

#endif  // GRIMTRIM_APP_PLATFORM_MAP_H_
