#include "formats/locator_rule.h"

#include "formats/spell_archive.h"

namespace {

// What an archive that keeps only the file part stores for a locator: bits 20-31 cleared, the
// tile part (bits 14-19) kept, as such archives write it.
constexpr Locator kWithoutArchive = 0xFFFFF;

}  // namespace

Locator ArchiveMatch::wantedKey(Locator locator) const {
  return numbered_ ? filePartOf(locator) : locator;
}

std::optional<Locator> ArchiveMatch::secondKey(Locator locator) const {
  if (numbered_ || !number_ || archiveNumberOf(locator) != *number_) return std::nullopt;
  return locator & kWithoutArchive;
}

EntryFinder::EntryFinder(const ArchiveMatch& match, std::span<const Locator> wanted)
    : match_(match) {
  entries_.expect(wanted.size());
  for (const Locator locator : wanted) {
    entries_.want(match_.wantedKey(locator));
    if (const std::optional<Locator> second = match_.secondKey(locator)) entries_.want(*second);
  }
  entries_.freeze();
}

void EntryFinder::scan(const View& bytes, const EntryTable& table) {
  for (std::uint64_t i = 0; i < table.entries && !entries_.complete(); ++i) {
    entries_.offer(match_.offeredKey(fileLocator(bytes, table, i)), [&] {
      return FileData{fileDataOffset(bytes, table, i), fileDataSize(bytes, table, i)};
    });
  }
}

std::optional<FileData> EntryFinder::data(Locator locator) {
  // An entry that holds the whole locator wins; only without one does the second key answer.
  if (const std::optional<FileData> found = entries_.found(match_.wantedKey(locator))) {
    return found;
  }
  const std::optional<Locator> second = match_.secondKey(locator);
  return second ? entries_.found(*second) : std::nullopt;
}
