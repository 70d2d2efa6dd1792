// The page's way into the core: plain C functions over byte buffers in the module's memory.
// Each answer is one block from malloc() that the caller frees: little-endian 32-bit words
// and counted bytes, which the page's script reads back with a DataView.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/save_game.h"
#include "formats/spell_lookup.h"
#include "spellbook/party.h"
#include "spellbook/settings.h"
#include "spellbook/spell_walk.h"
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

// The archive is chosen on at most this many of the party's known spells: far more than any
// real party knows, and few enough that a damaged save cannot hold the page up.
constexpr std::size_t kMostScoredSpells = 1 << 16;

}  // namespace

extern "C" {

// One run as the command line makes it once its configuration is read: the banner, the
// checks of the string table, spell archive, resource index and save, then the report. A
// whack edits `save` in place. Answer: status, then the text printed.
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
  std::uint32_t status = 1;
  if (checked(tableFile, kStringTable, out) && checked(archiveFile, kSpellArchive, out) &&
      checked(indexFile, kResourceIndex, out) && checked(saveFile, kSaveGame, out)) {
    const Game game{saveFile.view(), tableFile.view(), archiveFile.view(), indexFile.view()};
    reportParty(game, Settings{method, member, level, number}, out);
    status = 0;
  }
  Answer answer;
  answer.word(status);
  answer.text(out.text());
  return answer.release();
}

// The party as the listing without -p reads it. Answer: the count, then per member its index,
// listing number, whether it knows spells and its name; then how the walk ended (0 completed,
// 1 a party record outside the save, 2 a creature record without "CRE") and where.
std::uint8_t* gt_party(const std::uint8_t* save, std::uint32_t saveSize, const std::uint8_t* table,
                       std::uint32_t tableSize) {
  const Game game{viewOf(save, saveSize), viewOf(table, tableSize), View{}, View{}};
  Answer members;
  std::uint32_t count = 0;
  MemberCalls add([&](const MemberLine& line, const Creature&) {
    members.signedWord(line.index);
    members.word(line.listingNumber);
    members.word(line.knowsSpells ? 1 : 0);
    members.text(textOf(line.name));
    ++count;
  });
  const PartyWalk party = walkParty(game, add);
  Answer answer;
  answer.word(count);
  answer.append(members);
  answer.word(static_cast<std::uint32_t>(party.end));
  answer.signedWord(party.stoppedAt);
  return answer.release();
}

// The spell-book spells of party record `member` in stored order, each with its known index,
// level, number among the spells of its level (what -w takes with -s at that level) and name;
// then how the walk ended (0 completed, 1 the member cannot be read, 2 a name missing from the
// index, 3 data without a spell header, 4 known spells outside the save).
std::uint8_t* gt_spells(const std::uint8_t* save, std::uint32_t saveSize, const std::uint8_t* table,
                        std::uint32_t tableSize, const std::uint8_t* archive,
                        std::uint32_t archiveSize, const std::uint8_t* index,
                        std::uint32_t indexSize, std::int32_t member) {
  const Game game{viewOf(save, saveSize), viewOf(table, tableSize), viewOf(archive, archiveSize),
                  viewOf(index, indexSize)};
  Answer answer;
  const MemberLookup found = lookUpMember(game, member);
  if (!found.creature) {
    answer.word(0);
    answer.word(1);
    return answer.release();
  }
  Answer spells;
  std::uint32_t count = 0;
  std::map<std::int32_t, std::int32_t> numbers;  // the last number given at each level
  KeptSpellCalls add([&](const KeptSpell& spell) {
    spells.signedWord(spell.knownIndex);
    spells.signedWord(spell.level);
    spells.signedWord(++numbers[spell.level]);
    spells.text(textOf(stringText(game.stringTable, spell.name)));
    ++count;
  });
  const SpellWalk walk = walkSpells(game, *found.creature, kNotGiven, kNotGiven, add);
  answer.word(count);
  answer.append(spells);
  switch (walk.end) {
    case WalkEnd::Completed:
    case WalkEnd::Chosen:
      answer.word(0);
      break;
    case WalkEnd::NameNotInIndex:
      answer.word(2);
      break;
    case WalkEnd::NotASpell:
      answer.word(3);
      break;
    case WalkEnd::KnownOutsideSave:
      answer.word(4);
      break;
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

}  // extern "C"
