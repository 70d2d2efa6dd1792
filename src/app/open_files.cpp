#include "app/open_files.h"

#include <cstring>

#include "app/config_file.h"
#include "app/fatal.h"
#include "app/platform_map.h"
#include "text/file_kind.h"

namespace {

// Each configuration line is read into a buffer of this size, line feed included when it fits.
constexpr int kLineSize = 256;

// Opens, maps and checks one file; any failure is fatal.
void openChecked(MappedFile& file, const FileKind& kind, bool writable) {
  const char* path = file.path.c_str();
  switch (mapWholeFile(file, writable)) {
    case MapStep::Open:
      fatal(kind.openMessage, path);
    case MapStep::CreateMapping:
      fatal("%s", kind.mappingMessage);
    case MapStep::MapView:
      fatal(kViewMessage, path);
    case MapStep::Done:
      break;
  }
  if (!hasKindSignature(file.view, kind)) fatal(kind.signatureMessage, path);
}

void openDataFile(ConfigFile& config, MappedFile& file, const FileKind& kind) {
  char line[kLineSize];
  if (!readConfigLine(config, line, kLineSize)) fatal("%s", kind.locationMessage);
  // Only the line feed is cut off; spaces around the path stay part of it.
  if (char* end = std::strchr(line, '\n')) *end = '\0';
  file.path = line;
  openChecked(file, kind, false);
}

}  // namespace

void openDataFiles(const char* configPath, OpenFiles& files) {
  ConfigFile config{openForReading(configPath)};
  if (config.stream == nullptr) fatal("cannot open config <%s>", configPath);
  openDataFile(config, files.stringTable, kStringTable);
  openDataFile(config, files.spellArchive, kSpellArchive);
  openDataFile(config, files.resourceIndex, kResourceIndex);
  std::fclose(config.stream);
}

void openSaveGame(const char* path, bool writable, OpenFiles& files) {
  files.save.path = path;
  openChecked(files.save, kSaveGame, writable);
}

void closeAll(OpenFiles& files) {
  // The edit is only safe once it is in the file: a failed flush must not pass for success.
  if (!flushView(files.save)) fatal("Cannot write save file <%s>", files.save.path.c_str());
  unmapAndClose(files.save);
  unmapAndClose(files.resourceIndex);
  unmapAndClose(files.spellArchive);
  unmapAndClose(files.stringTable);
}
