// What the page needs to pick the spell archive among several given without a game's folder:
// where the index puts the party's known spells, where each archive's file table lies, which of
// the spells a table holds by the rule every lookup follows (formats/locator_rule.h), and which
// archives the index names by their file names. Each answer is a block from malloc() that the
// caller frees; the blocks handed in stay the caller's.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "answer.h"
#include "bridge_protocol.h"
#include "formats/locator_rule.h"
#include "formats/resource_index.h"
#include "formats/spell_archive.h"
#include "formats/spell_lookup.h"
#include "spellbook/folder_layout.h"
#include "spellbook/party.h"

namespace {

View viewOf(const std::uint8_t* data, std::uint32_t size) {
  return data == nullptr ? View{} : View{const_cast<std::uint8_t*>(data), size};
}

}  // namespace

extern "C" {

// Where the resource index puts the party's known spells, every member's (up to
// kMostScoredSpells in all), for the page to look them up in each archive's file table without
// reading the archive. Answer: the count of members, then per member its index, the count of its
// locators and the locators in known-spell order (kNoLocator for a name the index lacks).
std::uint8_t* gt_party_locators(const std::uint8_t* save, std::uint32_t saveSize,
                                const std::uint8_t* index, std::uint32_t indexSize) {
  const View indexView = viewOf(index, indexSize);
  const std::vector<MemberSpellNames> party =
      partySpellNames(Game{viewOf(save, saveSize), View{}}, kMostScoredSpells);
  Answer members;
  for (const MemberSpellNames& member : party) {
    members.signedWord(member.index);
    members.word(static_cast<std::uint32_t>(member.names.size()));
    for (const SpellLocation& location : locateSpells(indexView, View{}, member.names))
      members.word(location.locator);
  }
  Answer answer;
  answer.word(static_cast<std::uint32_t>(party.size()));
  answer.append(members);
  return answer.release();
}

// Which of `names` (the block: a count, then each name's length and bytes) the index's archive
// table names by its file name, any case (archiveNumberNamed()). Answer: per name, whether the
// index names it, its number in the table, and its path there as a handed folder's path ('/'
// between its parts; empty where it names none).
std::uint8_t* gt_named_archives(const std::uint8_t* index, std::uint32_t indexSize,
                                const std::uint8_t* names, std::uint32_t namesSize) {
  const View indexView = viewOf(index, indexSize);
  const View list = viewOf(names, namesSize);
  Answer answer;
  std::uint64_t at = 4;
  const std::uint32_t count = inside(list, 0, 4) ? loadU32(list, 0) : 0;
  for (std::uint32_t n = 0; n < count && inside(list, at, 4); ++n) {
    const std::uint32_t length = loadU32(list, at);
    if (!inside(list, at + 4, length)) break;
    const std::string_view name(reinterpret_cast<const char*>(list.data + at + 4), length);
    at += 4 + length;
    const std::optional<std::uint32_t> number = archiveNumberNamed(indexView, name);
    std::string path(number ? archivePath(indexView, *number) : std::string_view());
    // A ".cbf" file lies beside the name the index gives, with its own extension.
    if (number && isCompressedArchiveName(name)) {
      path = compressedArchivePath(path);
    }
    for (char& c : path)
      if (c == '\\') c = '/';
    answer.word(number ? 1 : 0);
    answer.word(number.value_or(0));
    answer.text(path);
  }
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
    // No more of the head than the file holds: a header the file cuts short is no header. A
    // compressed archive's head tells nothing of its table: it is scored as holding none.
    const auto inFile = static_cast<std::uint32_t>(fileSize < headSize ? fileSize : headSize);
    const View headView = viewOf(head, inFile);
    if (hasSignature(headView, 0, kSpellArchiveSignature, kSignatureSize)) {
      table = fileEntriesOf(headView, fileSize);
    }
  }
  const std::uint64_t entries =
      table.entries < kMostTableEntries ? table.entries : kMostTableEntries;
  answer.word(entries > 0 ? 1 : 0);
  answer.longWord(table.offset);
  answer.longWord(table.offset + entries * kFileEntrySize);
  return answer.release();
}

// Which of the `count` locators at `wanted` the file entries in `table` answer for, the table
// being `tableSize` bytes of an archive's file table from its start, the archive being the one
// the index's archive table numbers `archiveNumber` (-1: one it does not name); an entry cut
// short is not read. Answer: the count of those held, then each once.
std::uint8_t* gt_held_locators(const std::uint8_t* table, std::uint32_t tableSize,
                               const std::uint32_t* wanted, std::uint32_t count,
                               std::int32_t archiveNumber) {
  const View slice = viewOf(table, tableSize);
  const std::vector<Locator> locators(wanted, wanted == nullptr ? wanted : wanted + count);
  const std::optional<std::uint32_t> number =
      archiveNumber < 0 ? std::nullopt
                        : std::optional<std::uint32_t>(static_cast<std::uint32_t>(archiveNumber));
  EntryFinder finder(ArchiveMatch::named(number), locators);
  finder.scan(slice, EntryTable{0, slice.size / kFileEntrySize});
  Answer held;
  std::uint32_t found = 0;
  std::unordered_set<Locator> seen;
  for (const Locator locator : locators) {
    if (!finder.dataOffset(locator) || !seen.insert(locator).second) continue;
    held.word(locator);
    ++found;
  }
  Answer answer;
  answer.word(found);
  answer.append(held);
  return answer.release();
}

}  // extern "C"
