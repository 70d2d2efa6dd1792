#include "app/open_files.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/fatal.h"
#include "app/game_folder.h"
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

void openGameFolder(FolderOnDisk& folder, OpenFiles& files) {
  const char* root = folder.root().c_str();
  const StringTableChoice table = stringTableIn(folder);
  if (!table.path) fatal("no dialog.tlk in game folder <%s>", root);
  if (table.languages > 1) {
    std::fprintf(stderr, "grimtrim: using the string table of language %s, one of %u\n",
                 table.language.c_str(), static_cast<unsigned>(table.languages));
  }
  files.stringTable.path = folder.onDisk(*table.path);
  openChecked(files.stringTable, kStringTable, false);
  const std::vector<std::string> indexes = indexPaths(folder);
  if (indexes.empty()) fatal("no .key file in game folder <%s>", root);
  if (indexes.size() > 1) fatal("more than one .key file in game folder <%s>", root);
  files.resourceIndex.path = folder.onDisk(indexes.front());
  openChecked(files.resourceIndex, kResourceIndex, false);
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
