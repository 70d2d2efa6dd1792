// Preloaded into grimtrim by the cut-short tests: right after the program maps the file whose
// name ends as CUT_SHORT_FILE says, another program shortens it to its first page, as a sync
// client or the game itself might while a run goes on. With CUT_SHORT_ELSEWHERE set, a view of
// the library's own is cut short and read instead, a fault the program must not take for one
// of its files.
#include <dlfcn.h>
#include <limits.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Mmap = void* (*)(void*, std::size_t, int, int, int, off_t);

// The path of the open file `descriptor` when its name ends as CUT_SHORT_FILE says.
bool isFileToCut(int descriptor, char (&path)[PATH_MAX]) {
  const char* wanted = std::getenv("CUT_SHORT_FILE");
  if (wanted == nullptr || descriptor < 0) return false;
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
  const ssize_t length = ::readlink(link, path, sizeof path - 1);
  const std::size_t wantedLength = std::strlen(wanted);
  if (length < 0 || static_cast<std::size_t>(length) < wantedLength) return false;
  path[length] = '\0';
  return std::strcmp(path + length - wantedLength, wanted) == 0;
}

// Lets a process that dies of the fault leave a core file where it runs, so that a test sees
// one if the program failed to end cleanly.
void allowCoreFiles(bool allow) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_CORE, &limit) != 0) return;
  limit.rlim_cur = allow ? limit.rlim_max : 0;
  ::setrlimit(RLIMIT_CORE, &limit);
}

void* mapThenCut(Mmap real, void* address, std::size_t length, int protection, int flags,
                 int descriptor, off_t offset) {
  void* view = real(address, length, protection, flags, descriptor, offset);
  char path[PATH_MAX];
  if (view == MAP_FAILED || !isFileToCut(descriptor, path)) return view;
  const auto page = static_cast<off_t>(::sysconf(_SC_PAGESIZE));
  if (std::getenv("CUT_SHORT_ELSEWHERE") == nullptr) {
    allowCoreFiles(true);
    if (::truncate(path, page) != 0) std::abort();
    return view;
  }
  allowCoreFiles(false);
  void* own = real(nullptr, length, PROT_READ, MAP_SHARED, descriptor, 0);
  if (::truncate(path, page) != 0) std::abort();
  if (own != MAP_FAILED) {
    static_cast<void>(*(static_cast<volatile const char*>(own) + length - 1));
  }
  return view;
}

}  // namespace

extern "C" void* mmap(void* address, std::size_t length, int protection, int flags, int descriptor,
                      off_t offset) noexcept {
  static const auto real = reinterpret_cast<Mmap>(::dlsym(RTLD_NEXT, "mmap"));
  return mapThenCut(real, address, length, protection, flags, descriptor, offset);
}

extern "C" void* mmap64(void* address, std::size_t length, int protection, int flags,
                        int descriptor, off_t offset) noexcept {
  static const auto real = reinterpret_cast<Mmap>(::dlsym(RTLD_NEXT, "mmap64"));
  return mapThenCut(real, address, length, protection, flags, descriptor, offset);
}
