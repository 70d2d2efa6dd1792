#include "app/mapped_file.h"

#include <cstring>

#include "app/config_file.h"
#include "app/fatal.h"
#include "app/platform_map.h"
#include "formats/resource_index.h"
#include "formats/save_game.h"
#include "formats/string_table.h"

namespace {

// What tells one of the four files apart: its signature, the process-wide view the formats
// read it through, and what is said when it cannot be used.
struct FileKind {
  const char* signature;
  View* view;
  const char* locationMessage;  // its line cannot be read from the configuration file
  const char* openMessage;      // %s: the path
  const char* mappingMessage;
  const char* signatureMessage;  // %s: the path
};

const FileKind kStringTable{"TLK ",
                            &g_stringTableView,
                            "error reading .tlk file location",
                            "Cannot open .tlk file <%s>",
                            "Cannot create .tlk file mapping object",
                            "<%s> is not a .tlk file, first chars are not \"TLK \""};
const FileKind kSpellArchive{"BIFF",
                             &g_spellArchiveView,
                             "error reading spell.bif file location",
                             "Cannot open spell.bif file <%s>",
                             "Cannot create spell.bif file mapping object",
                             "<%s> is not a spell.bif file, first chars are not \"BIFF\""};
const FileKind kResourceIndex{"KEY ",
                              &g_resourceIndexView,
                              "error reading .key file location",
                              "Cannot open .key file <%s>",
                              "Cannot create .key file mapping object",
                              "<%s> is not a .key file, first chars are not \"KEY \""};
const FileKind kSaveGame{"GAME",
                         &g_saveGameView,
                         nullptr,
                         "Cannot open save file <%s>",
                         "Cannot create file mapping object",
                         "<%s> is not a save file, first chars are not \"GAME\""};

MappedFile g_stringTableFile;
MappedFile g_spellArchiveFile;
MappedFile g_resourceIndexFile;
MappedFile g_saveGameFile;

// Each configuration line is read into a buffer of this size, line feed included when it fits.
constexpr int kLineSize = 256;

// Opens, maps and checks one file, then lends its view to the formats; any failure is fatal.
void openChecked(MappedFile& file, const FileKind& kind, bool writable) {
  const char* path = file.path.c_str();
  switch (mapWholeFile(file, writable)) {
    case MapStep::Open:
      fatal(kind.openMessage, path);
    case MapStep::CreateMapping:
      fatal("%s", kind.mappingMessage);
    case MapStep::MapView:
      fatal("Cannot Map file <%s>, maybe too large", path);
    case MapStep::Done:
      break;
  }
  // A file shorter than the signature fails here without a byte past its end being read.
  if (!hasSignature(file.view, 0, kind.signature, 4)) fatal(kind.signatureMessage, path);
  *kind.view = file.view;
}

void openDataFile(ConfigFile& config, MappedFile& file, const FileKind& kind) {
  char line[kLineSize];
  if (!readConfigLine(config, line, kLineSize)) fatal("%s", kind.locationMessage);
  // Only the line feed is cut off; spaces around the path stay part of it.
  if (char* end = std::strchr(line, '\n')) *end = '\0';
  file.path = line;
  openChecked(file, kind, false);
}

void release(MappedFile& file, const FileKind& kind) {
  *kind.view = View{};
  unmapAndClose(file);
}

}  // namespace

void openDataFiles(const char* configPath) {
  ConfigFile config{openForReading(configPath)};
  if (config.stream == nullptr) fatal("cannot open config <%s>", configPath);
  openDataFile(config, g_stringTableFile, kStringTable);
  openDataFile(config, g_spellArchiveFile, kSpellArchive);
  openDataFile(config, g_resourceIndexFile, kResourceIndex);
  std::fclose(config.stream);
}

void openSaveGame(const char* path, bool writable) {
  g_saveGameFile.path = path;
  openChecked(g_saveGameFile, kSaveGame, writable);
}

void closeAll() {
  // The edit is only safe once it is in the file: a failed flush must not pass for success.
  if (!flushView(g_saveGameFile)) fatal("Cannot write save file <%s>", g_saveGameFile.path.c_str());
  release(g_saveGameFile, kSaveGame);
  release(g_resourceIndexFile, kResourceIndex);
  release(g_spellArchiveFile, kSpellArchive);
  release(g_stringTableFile, kStringTable);
}
