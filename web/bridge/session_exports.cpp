// The page's way into a run: a session opened on the run's files once per change of files, then
// one call per request. Every block the page hands to these functions, files and names alike,
// comes from malloc() and is the session's from then on (the page frees none of them); each
// answer is a block the session keeps until the next call on it, so the page reads it and frees
// nothing.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "run_session.h"

namespace {

// A name the page handed over, taken and freed.
std::string takenName(char* name) {
  const HeapBlock block(reinterpret_cast<std::uint8_t*>(name));
  return name == nullptr ? std::string() : std::string(name);
}

HandedFile handed(char* name, std::uint8_t* bytes, std::uint32_t size) {
  return {takenName(name), HeapBlock(bytes), size};
}

}  // namespace

extern "C" {

// A session on the files a configuration would name, as the command line takes them: each a
// NUL-terminated name and its bytes (nullptr: the player gave none).
RunSession* gt_open_files(char* tableName, std::uint8_t* table, std::uint32_t tableSize,
                          char* archiveName, std::uint8_t* archive, std::uint32_t archiveSize,
                          char* indexName, std::uint8_t* index, std::uint32_t indexSize,
                          char* saveName, std::uint8_t* save, std::uint32_t saveSize) {
  return new RunSession(handed(tableName, table, tableSize),
                        handed(archiveName, archive, archiveSize),
                        handed(indexName, index, indexSize), handed(saveName, save, saveSize));
}

// A session on a game's folder `folderName`, as the command line takes the folder as its last
// argument: `folder` is the folder as a block (handed_folder.h).
RunSession* gt_open_folder(char* folderName, std::uint8_t* folder, std::uint32_t folderSize,
                           char* saveName, std::uint8_t* save, std::uint32_t saveSize) {
  return new RunSession(takenName(folderName), HeapBlock(folder), folderSize,
                        handed(saveName, save, saveSize));
}

// The save the session's runs work on from now on; without a name (nullptr), it keeps the name
// of the save before it.
void gt_hand_save(RunSession* session, char* saveName, std::uint8_t* save, std::uint32_t saveSize) {
  std::optional<std::string> name;
  if (saveName != nullptr) name = takenName(saveName);
  session->handSave(std::move(name), HeapBlock(save), saveSize);
}

// One run as the command line makes it with these options (-1: not given); a whack edits the
// session's save in place, for the page to read back. Answer: kRunAnswer (bridge_protocol.h).
const std::uint8_t* gt_run(RunSession* session, std::int32_t member, std::int32_t level,
                           std::int32_t number, std::int32_t method) {
  return session->run(Settings{method, member, level, number});
}

// The party of another save, named through the session's string table; the session's own save
// stays. Answer: kPartyAnswer (bridge_protocol.h).
const std::uint8_t* gt_party(RunSession* session, std::uint8_t* save, std::uint32_t saveSize) {
  return session->party(handed(nullptr, save, saveSize));
}

// Ends the session, freeing every block it holds.
void gt_close(RunSession* session) {
  delete session;
}

}  // extern "C"
