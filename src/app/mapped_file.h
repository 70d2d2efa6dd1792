// The four files a run works on: each one opened, mapped whole and checked, then released in a
// fixed order at the end of the run.
#ifndef GRIMTRIM_APP_MAPPED_FILE_H_
#define GRIMTRIM_APP_MAPPED_FILE_H_

#include <cstdint>
#include <string>

#include "formats/bytes.h"

// An open file handle or mapping handle of the platform, kept opaque.
using PlatformHandle = std::intptr_t;
inline constexpr PlatformHandle kNoHandle = -1;

struct MappedFile {
  std::string path;  // as given: a line of the configuration file, or the command line's
  PlatformHandle file = kNoHandle;
  PlatformHandle mapping = kNoHandle;
  View view;              // the whole file, from mapping to unmapping
  bool writable = false;  // stores through `view` must reach the file
};

// Reads the three-line configuration file at `configPath` and opens, maps and checks the
// string table, the spell archive and the resource index, in that order, making their views
// the process-wide views of the formats. Returns only on success: any failure prints its
// message and ends the process with status 1.
void openDataFiles(const char* configPath);

// Opens, maps and checks the saved game at `path`, for writing only when `writable`, and makes
// its view the process-wide saved game view. Returns only on success, like openDataFiles().
void openSaveGame(const char* path, bool writable);

// Releases the four files: saved game, resource index, spell archive, string table, each view,
// mapping, file. A writable save is flushed first; if its edits cannot be written, says so and
// ends the process with status 1.
void closeAll();

#endif  // GRIMTRIM_APP_MAPPED_FILE_H_
