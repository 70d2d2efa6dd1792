// Holds with flock locks, which is how grimtrim shares its files on POSIX.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "support/file_holder.h"

FileHolder::FileHolder(const std::filesystem::path& path, Use use)
    : handle_(::open(path.c_str(), O_RDONLY)) {
  held_ = handle_ >= 0 && ::flock(static_cast<int>(handle_),
                                  (use == Use::Reading ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0;
}

FileHolder::~FileHolder() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool makeReadOnly(const std::filesystem::path& path) {
  if (::geteuid() == 0) return false;  // permission bits do not stop root
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  return true;
}

void makeWritable(const std::filesystem::path& path) {
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}
