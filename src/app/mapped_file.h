// A file of the run as the platform holds it: its path, its handles and the view of the whole
// file they give.
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

#endif  // GRIMTRIM_APP_MAPPED_FILE_H_
