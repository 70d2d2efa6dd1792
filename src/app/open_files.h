// The run's files: each one opened, mapped whole and checked, then released in a fixed order at
// the end of the run.
#ifndef GRIMTRIM_APP_OPEN_FILES_H_
#define GRIMTRIM_APP_OPEN_FILES_H_

#include "app/mapped_file.h"
#include "spellbook/game.h"

// The run's four files, owned by the driver from opening to closeAll().
struct OpenFiles {
  MappedFile stringTable;
  MappedFile spellArchive;
  MappedFile resourceIndex;
  MappedFile save;

  // Their views, lent to the spell book.
  [[nodiscard]] Game game() const {
    return {save.view, stringTable.view, spellArchive.view, resourceIndex.view, spellArchive.path};
  }
};

// Reads the three-line configuration file at `configPath` and opens, maps and checks the
// string table, the spell archive and the resource index, in that order. Returns only on
// success: any failure prints its message and ends the process with status 1.
void openDataFiles(const char* configPath, OpenFiles& files);

class FolderOnDisk;

// Finds and opens, maps and checks the string table and the resource index of the game's folder
// `folder`, in that order; the spell archive stays closed, as spells are then found in the
// folder. Returns only on success: a folder without one index or without a string table, or a
// file that fails its checks, prints its message and ends the process with status 1. Says on
// standard error which language's string table is used when there are several.
void openGameFolder(FolderOnDisk& folder, OpenFiles& files);

// Opens, maps and checks the saved game at `path`, for writing only when `writable`. Returns
// only on success, like openDataFiles().
void openSaveGame(const char* path, bool writable, OpenFiles& files);

// Releases the four files: saved game, resource index, spell archive, string table, each view,
// mapping, file. A writable save is flushed first; if its edits cannot be written, says so and
// ends the process with status 1.
void closeAll(OpenFiles& files);

#endif  // GRIMTRIM_APP_OPEN_FILES_H_
