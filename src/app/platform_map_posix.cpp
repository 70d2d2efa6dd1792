// File mapping over POSIX: open, fstat, flock, mmap, msync, munmap; sigaction for the views
// another program cuts short.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "app/platform_map.h"

namespace {

// A read or a store in a view past the end of a file that was shortened while mapped raises
// SIGBUS. Its handler is handed nothing but the signal and the faulting address, so what it
// must know sits in the one process-wide table below: the views mapped and not yet unmapped,
// with their paths, and the text printed but not yet written out. It is filled before a view
// it lists can fault, and has a fixed size, since the handler may not allocate. A run maps
// four views; a slot is free again once its view is unmapped, and a view mapped while every
// slot is taken is not watched (a fault in it then ends the process as it would without this).
constexpr std::size_t kWatchedViews = 16;

struct WatchedView {
  std::uintptr_t start = 0;  // 0: a free slot
  std::uintptr_t size = 0;
  const char* path = nullptr;  // the MappedFile's own path, which outlives its view
};

struct CutShortWatch {
  WatchedView views[kWatchedViews];
  const PendingText* pending = nullptr;  // the standard output's unwritten prints, if any
  bool installed = false;                // the handler is in place
};

constinit CutShortWatch cutShortWatch;

// Writes all `size` bytes, as far as the descriptor takes them. Safe in a signal handler.
void writeAll(int descriptor, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

std::size_t lengthOf(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0')
    ++length;
  return length;
}

// The view that holds `address`, or nullptr.
const WatchedView* watchedViewAt(std::uintptr_t address) {
  for (const WatchedView& view : cutShortWatch.views) {
    // Below `start` the difference wraps to far more than any size.
    if (view.start != 0 && address - view.start < view.size) return &view;
  }
  return nullptr;
}

void onBusError(int signal, siginfo_t* info, void*) {
  // Only a fault the system raised has an address; one sent by another process does not.
  const WatchedView* view =
      info->si_code > 0 ? watchedViewAt(reinterpret_cast<std::uintptr_t>(info->si_addr)) : nullptr;
  if (view == nullptr) {
    // Not a file cut short: a fault of the program itself must not pass unseen.
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigemptyset(&standard.sa_mask);
    ::sigaction(signal, &standard, nullptr);
    ::raise(signal);
    return;
  }
  if (const PendingText* pending = cutShortWatch.pending) {
    writeAll(STDOUT_FILENO, pending->bytes, static_cast<std::size_t>(pending->length));
  }
  constexpr char kPrefix[] = "grimtrim: ";
  constexpr char kSuffix[] = " was cut short by another program while in use\n";
  writeAll(STDERR_FILENO, kPrefix, sizeof kPrefix - 1);
  writeAll(STDERR_FILENO, view->path, lengthOf(view->path));
  writeAll(STDERR_FILENO, kSuffix, sizeof kSuffix - 1);
  ::_exit(1);
}

// Lists a view for the handler, installing the handler with the first view.
void watchView(const MappedFile& file) {
  if (!cutShortWatch.installed) {
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO;
    ::sigemptyset(&action.sa_mask);
    cutShortWatch.installed = ::sigaction(SIGBUS, &action, nullptr) == 0;
  }
  const auto start = reinterpret_cast<std::uintptr_t>(file.view.data);
  const auto size = static_cast<std::uintptr_t>(file.view.size);
  WatchedView* freeSlot = nullptr;
  for (WatchedView& view : cutShortWatch.views) {
    // A view listed where the new one lies was unmapped without passing through here: it
    // is gone, and its slot is free.
    if (view.start != 0 && view.start < start + size && start < view.start + view.size)
      view.start = 0;
    if (view.start == 0 && freeSlot == nullptr) freeSlot = &view;
  }
  if (freeSlot == nullptr) return;
  freeSlot->size = size;
  freeSlot->path = file.path.c_str();
  // The handler reads a slot only once its start is set, after the rest.
  std::atomic_signal_fence(std::memory_order_seq_cst);
  freeSlot->start = start;
}

void unwatchView(const MappedFile& file) {
  const auto start = reinterpret_cast<std::uintptr_t>(file.view.data);
  for (WatchedView& view : cutShortWatch.views) {
    if (view.start == start) view.start = 0;
  }
}

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
  watchView(file);
  return MapStep::Done;
}

bool flushView(const MappedFile& file) {
  if (!file.writable || file.view.data == nullptr) return true;
  return ::msync(file.view.data, static_cast<std::size_t>(file.view.size), MS_SYNC) == 0;
}

void writeOnCutShort(const PendingText& pending) {
  cutShortWatch.pending = &pending;
}

void unmapAndClose(MappedFile& file) {
  unwatchView(file);
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

bool replaceFile(const std::string& given, const std::uint8_t* bytes, std::uint64_t size) {
  // A save reached through a link is replaced where it lies, the link kept.
  char* resolved = ::realpath(given.c_str(), nullptr);
  if (resolved == nullptr) return false;
  const std::string path(resolved);
  std::free(resolved);
  struct stat old {};
  if (::stat(path.c_str(), &old) != 0) return false;
  // The new file's name is the program's own: one left by a run that was cut off goes first.
  const std::string fresh = path + ".grimtrim-new";
  ::unlink(fresh.c_str());
  const int descriptor =
      ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return false;
  // The old file's owner where the system lets it be kept (a run by another user cannot), then
  // its permissions.
  static_cast<void>(::fchown(descriptor, old.st_uid, old.st_gid));
  bool written = ::fchmod(descriptor, old.st_mode & 07777) == 0;
  for (std::uint64_t done = 0; written && done < size;) {
    const ssize_t now = ::write(descriptor, bytes + done, static_cast<std::size_t>(size - done));
    if (now < 0 && errno == EINTR) continue;
    written = now > 0;
    if (written) done += static_cast<std::uint64_t>(now);
  }
  written = written && ::fsync(descriptor) == 0;
  written = ::close(descriptor) == 0 && written;
  if (!written || ::rename(fresh.c_str(), path.c_str()) != 0) {
    ::unlink(fresh.c_str());
    return false;
  }
  // The new name reaches the disk with the folder that holds it.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    static_cast<void>(::fsync(directory));
    ::close(directory);
  }
  return true;
}
