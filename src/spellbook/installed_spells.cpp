#include "spellbook/installed_spells.h"

#include <algorithm>
#include <unordered_map>

#include "formats/compressed_archive.h"
#include "formats/first_matches.h"
#include "formats/locator_rule.h"
#include "formats/resource_index.h"
#include "formats/spell_archive.h"
#include "formats/spell_header.h"
#include "formats/text_table.h"

namespace {

// A name as the game compares it: case folded, masked by its own NUL.
std::uint64_t gameKey(ResRef name) {
  return foldCase(name) & nameMask(name);
}

// The name a known spell's 8 bytes hold: up to the first NUL, at most 8 bytes.
std::string_view nameText(const ResRef& name, char (&bytes)[8]) {
  std::size_t length = 0;
  for (; length < 8; ++length) {
    bytes[length] = static_cast<char>(name >> (8 * length));
    if (bytes[length] == '\0') break;
  }
  return {bytes, length};
}

}  // namespace

ArchiveBytes* InstalledSpells::usableArchive(std::uint32_t number) {
  const std::string_view path = archivePath(index_, number);
  ArchiveBytes* archive = path.empty() ? nullptr : folder_.archive(path);
  if (archive == nullptr) {
    note(number, path, path.empty() ? ArchiveTrouble::NotInTable : ArchiveTrouble::Unreadable);
    return nullptr;
  }
  if (const InflateTrouble trouble = unusableBecause(*archive); trouble != InflateTrouble::None) {
    // An archive whose file, as it is or inflated, does not begin as an archive is no archive;
    // one that cannot be inflated that far is a damaged compressed one.
    if (trouble == InflateTrouble::HoldsNoArchive) {
      note(number, path, ArchiveTrouble::NotAnArchive);
    } else {
      note(number, path, ArchiveTrouble::Compressed, trouble);
    }
    return nullptr;
  }
  // An archive's table is read once, however many slices of a long spell book ask it.
  auto [table, unread] = tables_.try_emplace(number);
  if (unread) table->second = fileTableOf(*archive);
  return archive;
}

std::optional<View> InstalledSpells::textTable(ResRef name) {
  char bytes[8];
  if (const std::optional<View> file =
          folder_.overrideFile(nameText(name, bytes), kTextTableEnding)) {
    return file;
  }
  const Locator locator = findLocatorOfType(index_, name, kTextTableType);
  if (locator == kNoLocator) return std::nullopt;
  const std::uint32_t number = archiveNumberOf(locator);
  ArchiveBytes* archive = usableArchive(number);
  if (archive == nullptr) return std::nullopt;
  const FileTable& files = tables_[number];
  const Locator wanted[] = {locator};
  EntryFinder entries(ArchiveMatch::numbered(), wanted);
  entries.scan(files.bytes, files.entries);
  const std::optional<FileData> data = entries.data(locator);
  if (!data) return std::nullopt;
  const std::optional<View> table = resourceData(*archive, *data);
  if (archive->trouble() != InflateTrouble::None) {
    note(number, archivePath(index_, number), ArchiveTrouble::Compressed, archive->trouble());
    return std::nullopt;
  }
  return table;
}

void InstalledSpells::note(std::uint32_t number, std::string_view path, ArchiveTrouble trouble,
                           InflateTrouble inflate) {
  if (noted_.insert(number).second) unusable_.push_back({number, path, trouble, inflate});
}

std::vector<FoundSpell> InstalledSpells::find(std::span<const ResRef> names) {
  std::vector<FoundSpell> found(names.size());

  // The override folder first: a loose file there is the spell the game uses.
  FirstMatches<std::uint64_t, Locator> locators;
  locators.expect(names.size());
  std::vector<bool> loose(names.size(), false);
  for (std::size_t n = 0; n < names.size(); ++n) {
    char bytes[8];
    if (const std::optional<View> file =
            folder_.overrideFile(nameText(names[n], bytes), kLooseSpellEnding)) {
      found[n] = {true, true, *file};
      loose[n] = true;
    } else {
      locators.want(gameKey(names[n]));
    }
  }

  // The index: the first spell entry of each name, case ignored.
  locators.freeze();
  const EntryTable resources = resourceEntries(index_);
  for (std::uint64_t i = 0; i < resources.entries && !locators.complete(); ++i) {
    if (resourceType(index_, resources, i) != kSpellResourceType) continue;
    locators.offer(gameKey(resourceName(index_, resources, i)),
                   [&] { return resourceLocator(index_, resources, i); });
  }
  std::vector<std::optional<Locator>> located(names.size());
  // The names each archive is asked for, the archives in the order first needed.
  std::vector<std::uint32_t> archives;
  std::unordered_map<std::uint32_t, std::vector<std::size_t>> namesOf;
  for (std::size_t n = 0; n < names.size(); ++n) {
    if (loose[n]) continue;
    located[n] = locators.found(gameKey(names[n]));
    if (!located[n]) continue;
    found[n].inIndex = true;
    std::vector<std::size_t>& asked = namesOf[archiveNumberOf(*located[n])];
    if (asked.empty()) archives.push_back(archiveNumberOf(*located[n]));
    asked.push_back(n);
  }

  // Each archive: its header and file table once, then the headers of its spells.
  for (const std::uint32_t number : archives) {
    const std::string_view path = archivePath(index_, number);
    ArchiveBytes* archive = usableArchive(number);
    if (archive == nullptr) continue;
    const FileTable& files = tables_[number];
    const std::vector<std::size_t>& asked = namesOf[number];
    std::vector<Locator> wanted;
    wanted.reserve(asked.size());
    for (const std::size_t n : asked)
      wanted.push_back(*located[n]);
    EntryFinder entries(ArchiveMatch::numbered(), wanted);
    entries.scan(files.bytes, files.entries);
    bool lacking = false;
    for (const std::size_t n : asked) {
      const std::optional<std::uint32_t> data = entries.dataOffset(*located[n]);
      lacking = lacking || !data;
      if (!data) continue;
      found[n].inArchive = true;
      found[n].data = archive->bytes(*data, kSpellHeaderSize);
    }
    // A compressed archive found damaged on the way is unusable: none of its spells is used,
    // and that is what is said of it, rather than the entries it seemed to lack.
    if (archive->trouble() != InflateTrouble::None) {
      for (const std::size_t n : asked)
        found[n] = {true, false, {}};
      note(number, path, ArchiveTrouble::Compressed, archive->trouble());
    } else if (lacking) {
      note(number, path, ArchiveTrouble::LacksEntry);
    }
  }
  return found;
}
