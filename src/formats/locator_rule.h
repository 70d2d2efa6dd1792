// How a locator the resource index gives finds its entry in an archive's file table: the one rule
// every lookup of a spell's data follows, whether it lists a party or scores an archive.
//
// Archives are written two ways: some keep each entry's whole locator, others only its file part,
// bits 20-31 cleared. How an entry answers for a locator depends on how the archive was reached:
//
// - Named: the one spell archive a configuration names. The first entry that holds the whole
//   locator answers; where none does and the archive's number in the index's archive table is
//   the locator's bits 20-31, the first entry that holds the locator with those bits cleared.
// - Numbered: an archive of a game's folder, reached through the locator's own bits 20-31, as
//   the game reaches it. The first entry whose file part (bits 0-13) is the locator's answers.
#ifndef GRIMTRIM_FORMATS_LOCATOR_RULE_H_
#define GRIMTRIM_FORMATS_LOCATOR_RULE_H_

#include <cstdint>
#include <optional>
#include <span>

#include "formats/bytes.h"
#include "formats/entry_table.h"
#include "formats/first_matches.h"
#include "formats/resource_index.h"
#include "formats/spell_archive.h"

// How an archive was reached, which decides how its entries answer for a locator.
class ArchiveMatch {
 public:
  // The archive a configuration names; `number` is its place in the index's archive table
  // (archiveNumberNamed()), if it has one.
  [[nodiscard]] static ArchiveMatch named(std::optional<std::uint32_t> number) {
    return ArchiveMatch(false, number);
  }
  // An archive reached through the locators' own archive number.
  [[nodiscard]] static ArchiveMatch numbered() { return ArchiveMatch(true, std::nullopt); }

  // The key a wanted locator is looked for under, and the one an entry holding `stored` offers;
  // `withoutArchive` asks for a named archive's second chance, the locator with bits 20-31
  // cleared, which only a locator of the archive's own number has (nothing otherwise).
  [[nodiscard]] Locator wantedKey(Locator locator) const;
  [[nodiscard]] std::optional<Locator> secondKey(Locator locator) const;
  [[nodiscard]] Locator offeredKey(Locator stored) const {
    return numbered_ ? filePartOf(stored) : stored;
  }

 private:
  ArchiveMatch(bool numbered, std::optional<std::uint32_t> number)
      : numbered_(numbered), number_(number) {}
  bool numbered_;
  std::optional<std::uint32_t> number_;
};

// Which entry of one archive's file table answers for each of a set of locators, found in one
// pass over the table however many locators are wanted.
class EntryFinder {
 public:
  EntryFinder(const ArchiveMatch& match, std::span<const Locator> wanted);

  // True when no locator is wanted: the table need not be read.
  [[nodiscard]] bool empty() const { return entries_.empty(); }
  // Reads the entries of `table` in `bytes` in table order, until each wanted locator has its
  // answer. Only entries that `table` says lie inside are read.
  void scan(const View& bytes, const EntryTable& table);
  // Where the data of the entry that answers for `locator` (one of those wanted) lies, as
  // stored; nothing when no entry does.
  [[nodiscard]] std::optional<FileData> data(Locator locator);
  [[nodiscard]] std::optional<std::uint32_t> dataOffset(Locator locator) {
    const std::optional<FileData> found = data(locator);
    return found ? std::optional<std::uint32_t>(found->offset) : std::nullopt;
  }

 private:
  ArchiveMatch match_;
  FirstMatches<Locator, FileData> entries_;
};

#endif  // GRIMTRIM_FORMATS_LOCATOR_RULE_H_
