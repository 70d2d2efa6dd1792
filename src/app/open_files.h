// The run's files as the command line holds them: read from the paths a configuration file or a
// game's folder gives, each opened and mapped whole, then released in a fixed order at the end of
// the run. What is opened, in which order, and how each file is checked is the core's
// (spellbook/run_files.h).
#ifndef GRIMTRIM_APP_OPEN_FILES_H_
#define GRIMTRIM_APP_OPEN_FILES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/config_file.h"
#include "app/mapped_file.h"
#include "spellbook/run_files.h"

class OpenFiles final : public RunFileOpener {
 public:
  OpenFiles() = default;
  OpenFiles(const OpenFiles&) = delete;
  OpenFiles& operator=(const OpenFiles&) = delete;

  // Opens the configuration file at `path` for configuredPath(); false when it cannot be opened.
  [[nodiscard]] bool readConfiguration(const char* path);

  // The next line of the configuration file, up to 255 bytes, its line feed cut off and nothing
  // else trimmed. Once the index's line is asked for, the file is closed.
  [[nodiscard]] std::optional<std::string> configuredPath(FileRole role) override;
  // Maps the file at `place.path` whole, read-only or writable.
  [[nodiscard]] FileStep open(FileRole role, const FilePlace& place, bool writable,
                              View& view) override;

  // Releases the four files: saved game, resource index, spell archive, string table, each view,
  // mapping, file. A writable save is flushed first, then, when `replacement` is not empty,
  // replaced whole by those bytes (replaceFile()). The save's trouble when its edits could not be
  // written (FileStep::NotWritten); the other files are released all the same.
  [[nodiscard]] std::optional<FileTrouble> closeAll(
      const std::vector<std::uint8_t>& replacement = {});

 private:
  MappedFile& fileOf(FileRole role);
  void closeConfiguration();

  ConfigFile config_;
  MappedFile stringTable_;
  MappedFile spellArchive_;
  MappedFile resourceIndex_;
  MappedFile save_;
};

#endif  // GRIMTRIM_APP_OPEN_FILES_H_
