#include "app/config_file.h"

namespace {

constexpr int kEndOfFileMark = 0x1A;

// The next byte of the file as text mode reads it, or EOF.
int nextByte(ConfigFile& config) {
  if (config.ended) return EOF;
  for (;;) {
    const int c = std::getc(config.stream);
    if (c == '\r') continue;
    if (c == kEndOfFileMark || c == EOF) {
      config.ended = c == kEndOfFileMark;
      return EOF;
    }
    return c;
  }
}

}  // namespace

bool readConfigLine(ConfigFile& config, char* buffer, int size) {
  int length = 0;
  while (length < size - 1) {
    const int c = nextByte(config);
    if (c == EOF) break;
    buffer[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[length] = '\0';
  if (std::ferror(config.stream)) return false;
  return length > 0;
}
