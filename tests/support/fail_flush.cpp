// Preloaded into grimtrim by the write-safety test: the flush of a writable save fails with an
// I/O error, as it does when the disk cannot take the edit.
#include <sys/mman.h>

#include <cerrno>
#include <cstddef>

extern "C" int msync(void*, std::size_t, int) {
  errno = EIO;
  return -1;
}
