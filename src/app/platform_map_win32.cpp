// File mapping over Windows: CreateFileA, GetFileSizeEx, CreateFileMappingA, MapViewOfFile,
// FlushViewOfFile, FlushFileBuffers, UnmapViewOfFile, CloseHandle; WriteFile and MoveFileExA to
// replace a file whole.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

#include "app/platform_map.h"

namespace {

HANDLE handleOf(PlatformHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

PlatformHandle keep(HANDLE handle) {
  return reinterpret_cast<PlatformHandle>(handle);
}

}  // namespace

MapStep mapWholeFile(MappedFile& file, bool writable) {
  // Readers share the file; an editor has it alone. Others may always read, never write: the
  // sharing mode is the lock, so a conflicting holder makes the open fail rather than wait.
  // A directory cannot be opened this way, and an existing file is never replaced or created.
  const HANDLE handle =
      ::CreateFileA(file.path.c_str(), writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return MapStep::Open;
  file.file = keep(handle);
  file.writable = writable;
  // The size bounds every read of the view. Nobody else can write the file while it is open
  // here, so the mapping below covers exactly these bytes.
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handle, &size) || size.QuadPart < 0) return MapStep::Open;
  const auto bytes = static_cast<std::uint64_t>(size.QuadPart);
  // Size 0 maps the whole file; a file of 0 bytes has nothing to map and fails here.
  const HANDLE mapping = ::CreateFileMappingA(
      handle, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) return MapStep::CreateMapping;
  file.mapping = keep(mapping);
  if (static_cast<SIZE_T>(bytes) != bytes) return MapStep::MapView;  // beyond the address space
  // Offset 0 and length 0: the whole file in one view.
  void* address = ::MapViewOfFile(mapping, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0);
  if (address == nullptr) return MapStep::MapView;
  file.view = View{static_cast<std::uint8_t*>(address), bytes};
  return MapStep::Done;
}

bool flushView(const MappedFile& file) {
  if (!file.writable || file.view.data == nullptr) return true;
  // The view's pages go to the file first, then the file's own buffers to the disk.
  return ::FlushViewOfFile(file.view.data, 0) && ::FlushFileBuffers(handleOf(file.file));
}

void unmapAndClose(MappedFile& file) {
  if (file.view.data != nullptr) ::UnmapViewOfFile(file.view.data);
  file.view = View{};
  if (file.mapping != kNoHandle) ::CloseHandle(handleOf(file.mapping));
  file.mapping = kNoHandle;
  if (file.file != kNoHandle) ::CloseHandle(handleOf(file.file));
  file.file = kNoHandle;
}

std::FILE* openForReading(const char* path) {
  // Binary: the configuration file's line ends and end-of-file mark are the program's own
  // rules. A directory cannot be opened as a stream here.
  return std::fopen(path, "rb");
}

// The system refuses to shorten a file while a view of it is mapped.
void writeOnCutShort(const PendingText&) {}

bool replaceFile(const std::string& path, const std::uint8_t* bytes, std::uint64_t size) {
  if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  const std::string fresh = path + ".grimtrim-new";
  const HANDLE handle = ::CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool written = true;
  for (std::uint64_t done = 0; written && done < size;) {
    const std::uint64_t part = size - done < 0x40000000 ? size - done : 0x40000000;
    DWORD now = 0;
    written = ::WriteFile(handle, bytes + done, static_cast<DWORD>(part), &now, nullptr) && now > 0;
    done += now;
  }
  written = written && ::FlushFileBuffers(handle);
  written = ::CloseHandle(handle) && written;
  if (!written || !::MoveFileExA(fresh.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileA(fresh.c_str());
    return false;
  }
  return true;
}
