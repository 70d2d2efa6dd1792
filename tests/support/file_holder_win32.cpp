// Holds with an open handle whose sharing mode lets others read but not write, which is how
// grimtrim shares its files on Windows.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "support/file_holder.h"

namespace {

HANDLE openShared(const std::filesystem::path& path, DWORD access) {
  return ::CreateFileA(path.string().c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

FileHolder::FileHolder(const std::filesystem::path& path, Use use) {
  const HANDLE handle =
      openShared(path, use == Use::Reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE);
  handle_ = reinterpret_cast<std::intptr_t>(handle);
  held_ = handle != INVALID_HANDLE_VALUE;
}

FileHolder::~FileHolder() {
  if (held_) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool makeReadOnly(const std::filesystem::path& path) {
  const std::string name = path.string();
  if (!::SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY)) return false;
  // Windows keeps every user out, but Wine run by root maps the attribute to permission bits,
  // which do not stop root.
  const HANDLE handle = openShared(path, GENERIC_READ | GENERIC_WRITE);
  if (handle == INVALID_HANDLE_VALUE) return true;
  ::CloseHandle(handle);
  makeWritable(path);
  return false;
}

void makeWritable(const std::filesystem::path& path) {
  ::SetFileAttributesA(path.string().c_str(), FILE_ATTRIBUTE_NORMAL);
}
