// Folders over POSIX: stat, opendir, readdir, closedir.
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "app/platform_folder.h"

PathKind pathKind(const char* path) {
  struct stat status {};
  if (::stat(path, &status) != 0) return PathKind::Missing;
  if (S_ISREG(status.st_mode)) return PathKind::File;
  if (S_ISDIR(status.st_mode)) return PathKind::Folder;
  return PathKind::Other;
}

bool listFolder(const char* path, std::vector<std::string>& names) {
  DIR* folder = ::opendir(path);
  if (folder == nullptr) return false;
  while (const dirent* entry = ::readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  ::closedir(folder);
  return true;
}
