#include "app/open_files.h"

#include <cstdio>
#include <cstring>

#include "app/platform_map.h"

namespace {

// Each configuration line is read into a buffer of this size, line feed included when it fits.
constexpr int kLineSize = 256;

}  // namespace

bool OpenFiles::readConfiguration(const char* path) {
  config_.stream = openForReading(path);
  return config_.stream != nullptr;
}

void OpenFiles::closeConfiguration() {
  if (config_.stream != nullptr) std::fclose(config_.stream);
  config_ = {};
}

std::optional<std::string> OpenFiles::configuredPath(FileRole role) {
  char line[kLineSize];
  const bool read = config_.stream != nullptr && readConfigLine(config_, line, kLineSize);
  // The index's line is the last one read: the file is closed before the save is opened.
  if (role == FileRole::ResourceIndex) closeConfiguration();
  if (!read) return std::nullopt;
  // Only the line feed is cut off; spaces around the path stay part of it.
  if (char* end = std::strchr(line, '\n')) *end = '\0';
  return std::string(line);
}

MappedFile& OpenFiles::fileOf(FileRole role) {
  switch (role) {
    case FileRole::StringTable:
      return stringTable_;
    case FileRole::SpellArchive:
      return spellArchive_;
    case FileRole::ResourceIndex:
      return resourceIndex_;
    case FileRole::Save:
    case FileRole::Configuration:
      break;
  }
  return save_;
}

FileStep OpenFiles::open(FileRole role, const FilePlace& place, bool writable, View& view) {
  MappedFile& file = fileOf(role);
  file.path = place.path;
  switch (mapWholeFile(file, writable)) {
    case MapStep::Open:
      return FileStep::NotOpened;
    case MapStep::CreateMapping:
      return FileStep::NoMapping;
    case MapStep::MapView:
      return FileStep::NoView;
    case MapStep::Done:
      break;
  }
  view = file.view;
  return FileStep::Ready;
}

std::optional<FileTrouble> OpenFiles::closeAll(const std::vector<std::uint8_t>& replacement) {
  // The edit is only safe once it is in the file: a failed flush must not pass for success.
  bool written = flushView(save_);
  unmapAndClose(save_);
  // The file is let go before it is replaced: no system replaces a file that is mapped.
  if (written && !replacement.empty()) {
    written = replaceFile(save_.path, replacement.data(), replacement.size());
  }
  unmapAndClose(resourceIndex_);
  unmapAndClose(spellArchive_);
  unmapAndClose(stringTable_);
  if (!written) return FileTrouble{FileRole::Save, FileStep::NotWritten, save_.path};
  return std::nullopt;
}
