// The configuration file, read as text by the program's own rules so that every platform
// reads the same paths: each CR byte is dropped wherever it stands, and a 0x1A byte ends the
// file.
#ifndef GRIMTRIM_APP_CONFIG_FILE_H_
#define GRIMTRIM_APP_CONFIG_FILE_H_

#include <cstdio>

struct ConfigFile {
  std::FILE* stream = nullptr;
  bool ended = false;  // a 0x1A byte was met: nothing after it is read
};

// Reads the next line as fgets does: at most size - 1 bytes, up to and including a line feed
// when it fits, then a NUL. False when the file ends before a byte was read, or on a read error.
[[nodiscard]] bool readConfigLine(ConfigFile& config, char* buffer, int size);

#endif  // GRIMTRIM_APP_CONFIG_FILE_H_
