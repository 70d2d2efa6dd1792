// The files a run works on, found and checked alike by every front end: the string table, the
// spell archive and the resource index as a configuration names them, or the string table and
// the index as a game's folder holds them, and then the save. Each front end opens a file its own
// way (a mapping, or bytes in memory); what is looked for, in which order, and
// what makes a file unfit is decided here, and a trouble is a value whose message is the front
// end's to print.
#ifndef GRIMTRIM_SPELLBOOK_RUN_FILES_H_
#define GRIMTRIM_SPELLBOOK_RUN_FILES_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "formats/bytes.h"
#include "formats/spell_archive.h"
#include "spellbook/folder_layout.h"

// Which of the run's files a trouble is about.
enum class FileRole : std::uint32_t {
  StringTable = 0,
  SpellArchive = 1,
  ResourceIndex = 2,
  Save = 3,
  Configuration = 4,  // the configuration file that names the first three
};

// The step at which a file could not be used.
enum class FileStep : std::uint32_t {
  Ready = 0,                 // found, opened and checked
  NoLocation = 1,            // the configuration has no line for it
  NotOpened = 2,             // it cannot be opened: missing, a folder, or not given
  NoMapping = 3,             // no mapping of it can be made: a file of 0 bytes
  NoView = 4,                // no view of it can be made: too large
  WrongSignature = 5,        // it does not begin with its kind's signature
  NotInFolder = 6,           // the game's folder holds none
  SeveralInFolder = 7,       // the game's folder holds more than one
  CompressedUnreadable = 8,  // a compressed spell archive cannot be read (`inflate` says why)
  NotWritten = 9,            // the save's edit could not be written back
};

struct FileTrouble {
  FileRole role = FileRole::Save;
  FileStep step = FileStep::Ready;
  // The file's path as given or found; with NotInFolder and SeveralInFolder, the folder's.
  std::string path;
  InflateTrouble inflate = InflateTrouble::None;  // with DoesNotInflate
};

// Where a file was found: its path as messages show it and, for a file of a game's folder, its
// path inside the folder ('/'-joined), empty otherwise.
struct FilePlace {
  std::string path;
  std::string inFolder;
};

// How a front end reads the configuration and opens a file.
class RunFileOpener {
 public:
  virtual ~RunFileOpener() = default;
  // The path the configuration gives `role`, one of the first three (the next line of a
  // configuration file); nothing when it gives none.
  [[nodiscard]] virtual std::optional<std::string> configuredPath(FileRole role) = 0;
  // Opens the file of `role` at `place` and makes `view` its whole bytes, writable only when
  // `writable`, for the rest of the run: Ready, or the step that failed (NotOpened, NoMapping or
  // NoView).
  [[nodiscard]] virtual FileStep open(FileRole role, const FilePlace& place, bool writable,
                                      View& view) = 0;
};

// The files of a run, as they are opened.
struct RunFiles {
  View stringTable;
  View spellArchive;  // only with a configuration: the file's bytes
  // The configured spell archive as read: the file itself, or the archive it holds inflated as
  // asked when it is compressed (compressed_archive.h).
  std::unique_ptr<ArchiveBytes> archive;
  View resourceIndex;
  View save;
  std::string spellArchivePath;   // as configured
  StringTableChoice tableChoice;  // with a game's folder: the string table it holds
};

// Asks `opener` for the paths of the string table, the spell archive and the resource index in
// that order, opening and checking each before the next path is asked for. The spell archive may
// be an archive or either compressed form of one, told by its first bytes; a compressed one must
// state lengths that fit and inflate to an archive's header. The first trouble ends the opening.
[[nodiscard]] std::optional<FileTrouble> openConfiguredFiles(RunFileOpener& opener,
                                                             RunFiles& files);

// Finds the string table (stringTableIn()) and then the one index at the top of the game's folder
// `folder`, named `folderName` in messages (`folderName/path` for its files), opening and
// checking each in turn. The first trouble ends the opening.
[[nodiscard]] std::optional<FileTrouble> openFolderFiles(RunFileOpener& opener,
                                                         FolderListing& folder,
                                                         const std::string& folderName,
                                                         RunFiles& files);

// Opens and checks the save at `path`, writable only when `writable`.
[[nodiscard]] std::optional<FileTrouble> openSaveFile(RunFileOpener& opener,
                                                      const std::string& path, bool writable,
                                                      RunFiles& files);

#endif  // GRIMTRIM_SPELLBOOK_RUN_FILES_H_
