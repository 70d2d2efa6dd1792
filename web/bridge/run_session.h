// The run's files the page handed over, held between its calls: the four files a configuration
// names, or the save and a game's folder. The files are found and checked as the command line
// finds and checks them (spellbook/run_files.h), each run in turn; only the save is handed
// again, after an undo or for another save. Every block handed in is the session's from then
// on: it frees them when they are replaced and when the session ends.
#ifndef GRIMTRIM_WEB_RUN_SESSION_H_
#define GRIMTRIM_WEB_RUN_SESSION_H_

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "handed_folder.h"
#include "spellbook/driver.h"
#include "spellbook/run_files.h"
#include "spellbook/settings.h"

// A block from malloc(), freed with the object that holds it.
struct FreeBlock {
  void operator()(void* block) const { std::free(block); }
};
using HeapBlock = std::unique_ptr<std::uint8_t, FreeBlock>;

// A file as the page hands it over: its name as messages show it (UTF-8), and its bytes, none
// when the player gave none.
struct HandedFile {
  std::string name;
  HeapBlock bytes;
  std::uint32_t size = 0;
};

class RunSession final : public RunFileOpener {
 public:
  // The files a configuration names: string table, spell archive and resource index.
  RunSession(HandedFile stringTable, HandedFile spellArchive, HandedFile resourceIndex,
             HandedFile save);
  // A game's folder, a block laid out as handed_folder.h says, named `folderName` in messages.
  RunSession(std::string folderName, HeapBlock folder, std::uint32_t folderSize, HandedFile save);

  // The save every later run works on, the one handed before freed; without a name it keeps the
  // name of the one before (the same save, as an undo left it).
  void handSave(std::optional<std::string> name, HeapBlock bytes, std::uint32_t size);

  // One run as the command line makes it: the banner, the files opened and checked, then the
  // report. A whack edits the save in place. The answer is gt_run's (bridge_protocol.h), in a
  // block the session keeps until its next call.
  [[nodiscard]] const std::uint8_t* run(const Settings& settings);

  // The party of `save` (a block the session frees before it returns) as the listing without a
  // member reads it, names through the string table the runs use: gt_party's answer, kept as
  // run()'s.
  [[nodiscard]] const std::uint8_t* party(HandedFile save);

  [[nodiscard]] std::optional<std::string> configuredPath(FileRole role) override;
  [[nodiscard]] FileStep open(FileRole role, const FilePlace& place, bool writable,
                              View& view) override;

 private:
  // A run of `settings` over the session's files, the folder's needs forgotten.
  RunRequest request(const Settings& settings);
  const std::uint8_t* keep(std::uint8_t* answer);

  HandedFile configured_[3];  // string table, spell archive, resource index
  std::string folderName_;
  HeapBlock folderBytes_;
  std::unique_ptr<HandedFolder> folder_;  // with a game's folder only
  HandedFile save_;
  HeapBlock answer_;
};

#endif  // GRIMTRIM_WEB_RUN_SESSION_H_
