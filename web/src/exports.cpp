// The page's way into the core: plain C functions over byte buffers in the module's memory.
// Each answer is one block from malloc() that the caller frees: little-endian 32-bit words
// and counted bytes, which the page's script reads back with a DataView.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "formats/resource_index.h"
#include "formats/save_game.h"
#include "formats/signatures.h"
#include "formats/spell_lookup.h"
#include "given_folder.h"
#include "spellbook/game_layout.h"
#include "spellbook/installed_spells.h"
#include "spellbook/party.h"
#include "spellbook/run.h"
#include "spellbook/settings.h"
#include "spellbook/spell_walk.h"
#include "spellbook/whack.h"
#include "text/file_kind.h"
#include "text/help.h"
#include "text/output.h"
#include "text/report_printer.h"

namespace {

// A buffer of the page's as a file's view; without data the view is empty, whatever size
// came with it.
View viewOf(const std::uint8_t* data, std::uint32_t size) {
  return data == nullptr ? View{} : View{const_cast<std::uint8_t*>(data), size};
}

// One of the four files as the page hands it over: no data means the player gave none.
struct GivenFile {
  const char* name;
  const std::uint8_t* data;
  std::uint32_t size;

  [[nodiscard]] View view() const { return viewOf(data, size); }
};

// An answer being built: words and counted bytes, in the order the page reads them.
class Answer {
 public:
  void word(std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void signedWord(std::int32_t value) { word(static_cast<std::uint32_t>(value)); }
  void longWord(std::uint64_t value) {
    word(static_cast<std::uint32_t>(value));
    word(static_cast<std::uint32_t>(value >> 32));
  }
  void text(std::string_view text) {
    word(static_cast<std::uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
  }
  void append(const Answer& other) {
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
  }
  // The answer in a block of its own, for the caller to free.
  [[nodiscard]] std::uint8_t* release() const {
    auto* block = static_cast<std::uint8_t*>(std::malloc(bytes_.empty() ? 1 : bytes_.size()));
    if (block != nullptr && !bytes_.empty()) std::memcpy(block, bytes_.data(), bytes_.size());
    return block;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

std::string_view textOf(const Text& text) {
  // "%.*s" stops at a NUL byte within the length, and so does the page.
  const void* nul = std::memchr(text.address, 0, static_cast<std::size_t>(text.length));
  const std::size_t length =
      nul == nullptr ? static_cast<std::size_t>(text.length)
                     : static_cast<std::size_t>(static_cast<const char*>(nul) - text.address);
  return {text.address, length};
}

// The checks the command line makes when it opens a file, with its messages: a file not given
// cannot be opened, one of 0 bytes has no mapping, and its first four bytes must be the kind's.
bool checked(const GivenFile& file, const FileKind& kind, Output& out) {
  const char* name = file.name == nullptr ? "" : file.name;
  if (file.data == nullptr) {
    out.print(kind.openMessage, name);
    return false;
  }
  if (file.size == 0) {
    out.print("%s", kind.mappingMessage);
    return false;
  }
  if (!hasKindSignature(file.view(), kind)) {
    out.print(kind.signatureMessage, name);
    return false;
  }
  return true;
}

// The page's table of these codes (core.mjs) reads the numbers as they stand here.
static_assert(static_cast<std::uint32_t>(RunEnd::Completed) == 0 &&
              static_cast<std::uint32_t>(RunEnd::Whacked) == 1 &&
              static_cast<std::uint32_t>(RunEnd::MemberOutsideSave) == 2 &&
              static_cast<std::uint32_t>(RunEnd::NoCreature) == 3 &&
              static_cast<std::uint32_t>(RunEnd::KnownOutsideSave) == 4 &&
              static_cast<std::uint32_t>(RunEnd::NameNotInIndex) == 5 &&
              static_cast<std::uint32_t>(RunEnd::NotASpell) == 6);
static_assert(static_cast<std::uint32_t>(WhackEnd::LeftDuplicate) == 0 &&
              static_cast<std::uint32_t>(WhackEnd::Shrunk) == 1 &&
              static_cast<std::uint32_t>(WhackEnd::KnownNotBeforeMemorization) == 2 &&
              static_cast<std::uint32_t>(WhackEnd::MemorizationNotBeforeMemorized) == 3 &&
              static_cast<std::uint32_t>(WhackEnd::SectionsOutsideSave) == 4 &&
              static_cast<std::uint32_t>(WhackEnd::NoMemorizedSpell) == 5 &&
              static_cast<std::uint32_t>(WhackEnd::NoLevelOneEntry) == 6);

// How a run ended, as every answer about a run closes: the end, the member, the missing name's
// 8 bytes, the whacked spell's known index, level and number, the whack's end and whether its
// method was unknown, then the message the command line printed where the run stopped.
void putOutcome(Answer& answer, const RunOutcome& outcome) {
  answer.word(static_cast<std::uint32_t>(outcome.end));
  answer.signedWord(outcome.member);
  answer.longWord(outcome.missingName);
  answer.signedWord(outcome.whacked.knownIndex);
  answer.signedWord(outcome.whacked.level);
  answer.signedWord(outcome.whacked.number);
  answer.word(static_cast<std::uint32_t>(outcome.whack.end));
  answer.word(outcome.whack.unknownMethod ? 1 : 0);
  TextOutput message;
  printStopMessage(outcome, message);
  answer.text(message.text());
}

// A listener for callers that collect what a run meets.
template <typename OnMember, typename OnKept>
class RunCalls final : public RunListener {
 public:
  RunCalls(OnMember onMember, OnKept onKept)
      : onMember_(std::move(onMember)), onKept_(std::move(onKept)) {}
  void member(const MemberLine& line) override { onMember_(line); }
  void kept(const KeptSpell& spell) override { onKept_(spell); }

 private:
  OnMember onMember_;
  OnKept onKept_;
};

// The first bytes of every file the page reads to tell its kind: enough for the signature and
// for an archive's header, which says where its file table lies.
constexpr std::uint64_t kHeadSize = kArchiveHeaderSize;
static_assert(kHeadSize >= kSignatureSize);

// An archive's file table is read only up to this many entries: far more than a game's archive
// holds, and a damaged count cannot make the page read a whole file of gigabytes.
constexpr std::uint64_t kMostTableEntries = 1 << 20;

// The archive is chosen on at most this many of the party's known spells: far more than any
// real party knows, and few enough that a damaged save cannot hold the page up.
constexpr std::size_t kMostScoredSpells = 1 << 16;

// The answer's tail about a game's folder: how many archives the index names that could not be
// used (each its number, why, and its path as the index gives it), then how many bytes the run
// asked for that the page had not handed over (0 once the page has read all it needs).
void putFolderNotes(Answer& answer, const std::vector<UnusableArchive>& unusable,
                    std::size_t unmet) {
  answer.word(static_cast<std::uint32_t>(unusable.size()));
  for (const UnusableArchive& archive : unusable) {
    answer.word(archive.number);
    answer.word(static_cast<std::uint32_t>(archive.trouble));
    answer.text(archive.path);
  }
  answer.word(static_cast<std::uint32_t>(unmet));
}

// The string table and the index of a game's folder as the command line finds and checks them,
// in its order and with its messages; the paths it prints are `<folder>/<path>`.
struct FolderFiles {
  StringTableChoice table;
  std::vector<std::string> indexes;
  View stringTable;
  View resourceIndex;
};

std::optional<View> checkedWhole(GivenFolder& folder, const std::string& folderName,
                                 const std::string& path, const FileKind& kind, Output& failed) {
  const std::string shown = folderName + "/" + path;
  const std::optional<View> bytes = folder.whole(path);
  const GivenFile file{shown.c_str(), bytes ? bytes->data : nullptr,
                       bytes ? static_cast<std::uint32_t>(bytes->size) : 0};
  if (!checked(file, kind, failed)) return std::nullopt;
  return *bytes;
}

bool openFolderFiles(GivenFolder& folder, const std::string& folderName, FolderFiles& files,
                     Output& failed) {
  files.table = stringTableIn(folder);
  if (!files.table.path) {
    failed.print("no dialog.tlk in game folder <%s>", folderName.c_str());
    return false;
  }
  const auto table = checkedWhole(folder, folderName, *files.table.path, kStringTable, failed);
  if (!table) return false;
  files.stringTable = *table;
  files.indexes = indexPaths(folder);
  if (files.indexes.empty()) {
    failed.print("no .key file in game folder <%s>", folderName.c_str());
    return false;
  }
  if (files.indexes.size() > 1) {
    failed.print("more than one .key file in game folder <%s>", folderName.c_str());
    return false;
  }
  const auto index =
      checkedWhole(folder, folderName, files.indexes.front(), kResourceIndex, failed);
  if (!index) return false;
  files.resourceIndex = *index;
  return true;
}

// How many archives of the index's archive table the folder holds at their paths.
std::uint32_t archivesHeld(GivenFolder& folder, const View& index) {
  if (!inside(index, 0, 0x18)) return 0;
  // Each archive takes 12 bytes of the table: no count the index holds makes this loop long.
  const std::uint64_t count = std::min<std::uint64_t>(loadU32(index, 0x08), index.size / 12);
  std::uint32_t held = 0;
  for (std::uint32_t number = 0; number < count; ++number) {
    const std::string_view path = archivePath(index, number);
    if (!path.empty() && archiveIn(folder, path)) ++held;
  }
  return held;
}

// The spell-book spells of `member` as its listing walks them, with how the walk ended.
std::uint8_t* spellsAnswer(const Game& game, std::int32_t member) {
  Answer spells;
  std::uint32_t count = 0;
  RunCalls add([](const MemberLine&) {},
               [&](const KeptSpell& spell) {
                 spells.signedWord(spell.knownIndex);
                 spells.signedWord(spell.level);
                 spells.signedWord(spell.number);
                 spells.text(textOf(stringText(game.stringTable, spell.name)));
                 ++count;
               });
  const RunOutcome outcome = runRequest(game, Settings{1, member, kNotGiven, kNotGiven}, add);
  Answer answer;
  answer.word(count);
  answer.append(spells);
  putOutcome(answer, outcome);
  return answer.release();
}

}  // namespace

extern "C" {

// One run as the command line makes it once its configuration is read: the banner, the
// checks of the string table, spell archive, resource index and save, then the report. A
// whack edits `save` in place. Answer: status, the text printed, the message of the check that
// failed (empty where none did), then how the report ended (with status 1, a report that did
// not run: completed, nothing more).
std::uint8_t* gt_run(const char* saveName, std::uint8_t* save, std::uint32_t saveSize,
                     const char* tableName, const std::uint8_t* table, std::uint32_t tableSize,
                     const char* archiveName, const std::uint8_t* archive,
                     std::uint32_t archiveSize, const char* indexName, const std::uint8_t* index,
                     std::uint32_t indexSize, std::int32_t member, std::int32_t level,
                     std::int32_t number, std::int32_t method) {
  const GivenFile saveFile{saveName, save, saveSize};
  const GivenFile tableFile{tableName, table, tableSize};
  const GivenFile archiveFile{archiveName, archive, archiveSize};
  const GivenFile indexFile{indexName, index, indexSize};
  TextOutput out;
  printBanner(out);
  TextOutput failedCheck;
  std::uint32_t status = 1;
  RunOutcome outcome;
  if (checked(tableFile, kStringTable, failedCheck) &&
      checked(archiveFile, kSpellArchive, failedCheck) &&
      checked(indexFile, kResourceIndex, failedCheck) &&
      checked(saveFile, kSaveGame, failedCheck)) {
    // The archive's name finds its number in the index, as the configured path's does.
    const Game game{saveFile.view(), tableFile.view(), archiveFile.view(), indexFile.view(),
                    archiveFile.name == nullptr ? "" : archiveFile.name};
    outcome = reportParty(game, Settings{method, member, level, number}, out);
    status = 0;
  } else {
    out.print("%s", failedCheck.text().c_str());
  }
  Answer answer;
  answer.word(status);
  answer.text(out.text());
  answer.text(failedCheck.text());
  putOutcome(answer, outcome);
  return answer.release();
}

// The party as the listing without -p reads it. Answer: the count, then per member its index,
// listing number, whether it knows spells and its name; then how the walk ended, the member it
// stopped at among it.
std::uint8_t* gt_party(const std::uint8_t* save, std::uint32_t saveSize, const std::uint8_t* table,
                       std::uint32_t tableSize) {
  const Game game{viewOf(save, saveSize), viewOf(table, tableSize), View{}, View{}};
  Answer members;
  std::uint32_t count = 0;
  RunCalls add(
      [&](const MemberLine& line) {
        members.signedWord(line.index);
        members.word(line.listingNumber);
        members.word(line.knowsSpells ? 1 : 0);
        members.text(textOf(line.name));
        ++count;
      },
      [](const KeptSpell&) {});
  const RunOutcome outcome = runRequest(game, Settings{1, kNotGiven, kNotGiven, kNotGiven}, add);
  Answer answer;
  answer.word(count);
  answer.append(members);
  putOutcome(answer, outcome);
  return answer.release();
}

// The spell-book spells of party record `member` in stored order, as its listing with -p walks
// them, each with its known index, level, number among the spells of its level (what -w takes
// with -s at that level) and name; then how the walk ended. `archiveName` is the archive's name,
// whose file name finds its number in the index as on the command line.
std::uint8_t* gt_spells(const std::uint8_t* save, std::uint32_t saveSize, const std::uint8_t* table,
                        std::uint32_t tableSize, const char* archiveName,
                        const std::uint8_t* archive, std::uint32_t archiveSize,
                        const std::uint8_t* index, std::uint32_t indexSize, std::int32_t member) {
  const Game game{viewOf(save, saveSize), viewOf(table, tableSize), viewOf(archive, archiveSize),
                  viewOf(index, indexSize), archiveName == nullptr ? "" : archiveName};
  return spellsAnswer(game, member);
}

// One run as the command line makes it with the game's folder `folderName` as its last
// argument: the banner, the folder's string table and index found and checked, the save
// checked, then the report, each known spell found in the folder as the game finds it. `folder`
// is the folder as a block (given_folder.h); a whack edits `save` in place. Answer: as gt_run's,
// then the archives that could not be used and the count of reads the block lacked.
std::uint8_t* gt_folder_run(const char* saveName, std::uint8_t* save, std::uint32_t saveSize,
                            const char* folderName, const std::uint8_t* folder,
                            std::uint32_t folderSize, std::int32_t member, std::int32_t level,
                            std::int32_t number, std::int32_t method) {
  const GivenFile saveFile{saveName, save, saveSize};
  GivenFolder given;
  // A block the page built wrongly holds fewer files: the run then says what it lacks.
  static_cast<void>(given.read(viewOf(folder, folderSize)));
  TextOutput out;
  printBanner(out);
  TextOutput failedCheck;
  std::uint32_t status = 1;
  RunOutcome outcome;
  std::vector<UnusableArchive> unusable;
  FolderFiles files;
  if (openFolderFiles(given, folderName == nullptr ? "" : folderName, files, failedCheck) &&
      checked(saveFile, kSaveGame, failedCheck)) {
    InstalledSpells installed(files.resourceIndex, given);
    Game game{saveFile.view(), files.stringTable, View{}, files.resourceIndex};
    game.installed = &installed;
    outcome = reportParty(game, Settings{method, member, level, number}, out);
    unusable = installed.unusable();
    status = 0;
  } else {
    out.print("%s", failedCheck.text().c_str());
  }
  Answer answer;
  answer.word(status);
  answer.text(out.text());
  answer.text(failedCheck.text());
  putOutcome(answer, outcome);
  putFolderNotes(answer, unusable, given.needs().size());
  return answer.release();
}

// gt_spells on a game's folder (a block, given_folder.h). A folder whose string table or index
// does not pass the command line's checks lists nothing.
std::uint8_t* gt_folder_spells(const std::uint8_t* save, std::uint32_t saveSize,
                               const std::uint8_t* folder, std::uint32_t folderSize,
                               std::int32_t member) {
  GivenFolder given;
  static_cast<void>(given.read(viewOf(folder, folderSize)));
  FolderFiles files;
  TextOutput failed;
  if (!openFolderFiles(given, "", files, failed)) {
    Answer answer;
    answer.word(0);
    putOutcome(answer, RunOutcome{});
    return answer.release();
  }
  InstalledSpells installed(files.resourceIndex, given);
  Game game{viewOf(save, saveSize), files.stringTable, View{}, files.resourceIndex};
  game.installed = &installed;
  return spellsAnswer(game, member);
}

// What the page must still read of a game's folder (a block, given_folder.h) before its runs
// see what the command line sees: the string table and the index whole, and for the party of
// `save` (every member's known spells, up to kMostScoredSpells different names) the loose spells
// whole and of each archive its header, file table and the spell headers they resolve. Each
// answer asks for the next step's bytes; none asked means the page holds all it needs. Answer:
// whether the folder has a string table and its path, the count of .key files at its top and
// their paths, how many archives the index names that the folder holds (0 without one index held
// whole), then the count of needs and each one's path, whether it is the whole file, and its
// offset and length as two words each.
std::uint8_t* gt_folder_needs(const std::uint8_t* save, std::uint32_t saveSize,
                              const std::uint8_t* folder, std::uint32_t folderSize) {
  GivenFolder given;
  static_cast<void>(given.read(viewOf(folder, folderSize)));
  Answer answer;
  const StringTableChoice table = stringTableIn(given);
  answer.word(table.path ? 1 : 0);
  answer.text(table.path ? *table.path : std::string());
  if (table.path) static_cast<void>(given.whole(*table.path));
  const std::vector<std::string> indexes = indexPaths(given);
  answer.word(static_cast<std::uint32_t>(indexes.size()));
  for (const std::string& path : indexes)
    answer.text(path);
  const std::optional<View> index =
      indexes.size() == 1 ? given.whole(indexes.front()) : std::nullopt;
  answer.word(index ? archivesHeld(given, *index) : 0);
  const View saveView = viewOf(save, saveSize);
  if (index && hasKindSignature(saveView, kSaveGame)) {
    const Game game{saveView, View{}, View{}, *index};
    std::vector<ResRef> names;
    std::unordered_set<ResRef> seen;
    MemberCalls add([&](const MemberLine&, const Creature& creature) {
      const std::optional<KnownSpells> known = KnownSpells::of(creature);
      if (!known) return;
      for (std::int32_t j = 0; j < known->count() && names.size() < kMostScoredSpells; ++j) {
        if (seen.insert(known->name(j)).second) names.push_back(known->name(j));
      }
    });
    static_cast<void>(walkParty(game, add));
    InstalledSpells installed(*index, given);
    static_cast<void>(installed.find(names));
  }
  answer.word(static_cast<std::uint32_t>(given.needs().size()));
  for (const FolderNeed& need : given.needs()) {
    answer.text(need.path);
    answer.word(need.whole ? 1 : 0);
    answer.longWord(need.offset);
    answer.longWord(need.length);
  }
  return answer.release();
}

// Where the resource index puts the party's known spells, every member's (up to
// kMostScoredSpells in all), for the page to look them up in each archive's file table without
// reading the archive. Answer: the count of members, then per member its index, the count of its
// locators and the locators in known-spell order (kNoLocator for a name the index lacks).
std::uint8_t* gt_party_locators(const std::uint8_t* save, std::uint32_t saveSize,
                                const std::uint8_t* index, std::uint32_t indexSize) {
  const Game game{viewOf(save, saveSize), View{}, View{}, viewOf(index, indexSize)};
  Answer members;
  std::uint32_t count = 0;
  std::size_t total = 0;
  MemberCalls add([&](const MemberLine& line, const Creature& creature) {
    std::vector<ResRef> names;
    if (const std::optional<KnownSpells> known = KnownSpells::of(creature)) {
      for (std::int32_t j = 0; j < known->count() && total < kMostScoredSpells; ++j, ++total)
        names.push_back(known->name(j));
    }
    members.signedWord(line.index);
    members.word(static_cast<std::uint32_t>(names.size()));
    for (const SpellLocation& location : locateSpells(game.resourceIndex, View{}, names))
      members.word(location.locator);
    ++count;
  });
  static_cast<void>(walkParty(game, add));
  Answer answer;
  answer.word(count);
  answer.append(members);
  return answer.release();
}

// What the page needs to tell the four kinds of file apart: each kind's signature, in the order
// the command line checks the files (string table, spell archive, resource index, save), then
// how many first bytes of a file the page reads: enough for the signature and an archive's header.
std::uint8_t* gt_file_kinds() {
  Answer answer;
  for (const FileKind* kind : {&kStringTable, &kSpellArchive, &kResourceIndex, &kSaveGame})
    answer.text(std::string_view(kind->signature, kSignatureSize));
  answer.word(static_cast<std::uint32_t>(kHeadSize));
  return answer.release();
}

// Where the file table of an archive of `size` bytes lies, from its first `headSize` bytes at
// `head`, for the page to read no more of a file of gigabytes than the table. Answer: whether it
// has one, then the start and end of the entries that lie whole inside the file (at most
// kMostTableEntries), each as two words, low first. A head shorter than an archive's header, or
// a size that is no count of bytes, has none.
std::uint8_t* gt_archive_table(const std::uint8_t* head, std::uint32_t headSize, double size) {
  Answer answer;
  EntryTable table;
  if (std::isfinite(size) && size >= 0 && size <= 0x1p53) {
    const auto fileSize = static_cast<std::uint64_t>(size);
    // No more of the head than the file holds: a header the file cuts short is no header.
    const auto inFile = static_cast<std::uint32_t>(fileSize < headSize ? fileSize : headSize);
    table = fileEntriesOf(viewOf(head, inFile), fileSize);
  }
  const std::uint64_t entries =
      table.entries < kMostTableEntries ? table.entries : kMostTableEntries;
  answer.word(entries > 0 ? 1 : 0);
  answer.longWord(table.offset);
  answer.longWord(table.offset + entries * kFileEntrySize);
  return answer.release();
}

// Which of the `count` locators at `wanted` the file entries in `table` carry, the table being
// `tableSize` bytes of an archive's file table from its start; an entry cut short is not read.
// Answer: the count of those held, then each once.
std::uint8_t* gt_held_locators(const std::uint8_t* table, std::uint32_t tableSize,
                               const std::uint32_t* wanted, std::uint32_t count) {
  const View slice = viewOf(table, tableSize);
  const EntryTable entries{0, slice.size / kFileEntrySize};
  std::unordered_set<Locator> looked(wanted, wanted == nullptr ? wanted : wanted + count);
  Answer held;
  std::uint32_t found = 0;
  for (std::uint64_t i = 0; i < entries.entries && !looked.empty(); ++i) {
    const Locator locator = fileLocator(slice, entries, i);
    if (looked.erase(locator) > 0) {
      held.word(locator);
      ++found;
    }
  }
  Answer answer;
  answer.word(found);
  answer.append(held);
  return answer.release();
}

}  // extern "C"
