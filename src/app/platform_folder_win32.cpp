// Folders over Windows: GetFileAttributesA, FindFirstFileA, FindNextFileA, FindClose.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

#include "app/platform_folder.h"

PathKind pathKind(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return PathKind::Folder;
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return PathKind::Other;
  return PathKind::File;
}

bool listFolder(const char* path, std::vector<std::string>& names) {
  const std::string pattern = std::string(path) + "\\*";
  WIN32_FIND_DATAA entry{};
  const HANDLE search = ::FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
    names.emplace_back(entry.cFileName);
  } while (::FindNextFileA(search, &entry));
  ::FindClose(search);
  return true;
}
