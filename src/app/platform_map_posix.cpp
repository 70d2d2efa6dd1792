// File mapping over POSIX: open, fstat, flock, mmap, msync, munmap.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "app/platform_map.h"

namespace {

int fd(PlatformHandle handle) {
  return static_cast<int>(handle);
}

// Opens without waiting: a FIFO given as a file must not hang the run until a writer appears.
int openNonBlocking(const char* path, int access) {
  const int handle = ::open(path, access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (handle < 0) return -1;
  const int flags = ::fcntl(handle, F_GETFL);
  if (flags < 0 || ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    ::close(handle);
    return -1;
  }
  return handle;
}

}  // namespace

MapStep mapWholeFile(MappedFile& file, bool writable) {
  const int handle = openNonBlocking(file.path.c_str(), writable ? O_RDWR : O_RDONLY);
  if (handle < 0) return MapStep::Open;
  file.file = handle;
  file.writable = writable;
  struct stat status {};
  if (::fstat(handle, &status) != 0 || S_ISDIR(status.st_mode)) return MapStep::Open;
  // Readers share the file; an editor has it alone. The lock is the sharing rule: a file held
  // by another process in a way that conflicts cannot be opened, rather than waited for.
  if (::flock(handle, (writable ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) return MapStep::Open;
  // Only a regular file has the size a whole-file mapping needs; mapping 0 bytes fails.
  if (!S_ISREG(status.st_mode) || status.st_size <= 0) return MapStep::CreateMapping;
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (static_cast<std::size_t>(size) != size) return MapStep::MapView;  // beyond the address space
  file.mapping = handle;  // POSIX has no mapping object apart from the file
  void* address = ::mmap(nullptr, static_cast<std::size_t>(size),
                         writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, handle, 0);
  if (address == MAP_FAILED) return MapStep::MapView;
  file.view = View{static_cast<std::uint8_t*>(address), size};
  return MapStep::Done;
}

bool flushView(const MappedFile& file) {
  if (!file.writable || file.view.data == nullptr) return true;
  return ::msync(file.view.data, static_cast<std::size_t>(file.view.size), MS_SYNC) == 0;
}

void unmapAndClose(MappedFile& file) {
  if (file.view.data != nullptr) ::munmap(file.view.data, static_cast<std::size_t>(file.view.size));
  file.view = View{};
  file.mapping = kNoHandle;
  if (file.file != kNoHandle) ::close(fd(file.file));
  file.file = kNoHandle;
}

std::FILE* openForReading(const char* path) {
  const int handle = openNonBlocking(path, O_RDONLY);
  if (handle < 0) return nullptr;
  struct stat status {};
  if (::fstat(handle, &status) != 0 || S_ISDIR(status.st_mode)) {
    ::close(handle);
    return nullptr;
  }
  std::FILE* stream = ::fdopen(handle, "rb");
  if (stream == nullptr) ::close(handle);
  return stream;
}
