#include "formats/spell_lookup.h"

#include "formats/first_matches.h"
#include "formats/locator_rule.h"
#include "formats/spell_archive.h"

std::vector<SpellLocation> locateSpells(const View& index, const FileTable& files,
                                        std::span<const ResRef> names,
                                        std::optional<std::uint32_t> archiveNumber) {
  // A stored name equals a wanted one exactly when their masked forms are equal (see
  // nameMask), so each index entry is masked by its own NUL and looked up once.
  FirstMatches<std::uint64_t, Locator> locators;
  locators.expect(names.size());
  for (const ResRef name : names)
    locators.want(name & nameMask(name));
  locators.freeze();
  const EntryTable resources = resourceEntries(index);
  for (std::uint64_t i = 0; i < resources.entries && !locators.complete(); ++i) {
    const ResRef entryName = resourceName(index, resources, i);
    locators.offer(entryName & nameMask(entryName),
                   [&] { return resourceLocator(index, resources, i); });
  }

  std::vector<SpellLocation> locations(names.size());
  std::vector<Locator> wanted;
  wanted.reserve(names.size());
  for (std::size_t n = 0; n < names.size(); ++n) {
    locations[n].locator = locators.found(names[n] & nameMask(names[n])).value_or(kNoLocator);
    // A stored 0xFFFFFFFF cannot be told from a missing name: it is never looked up.
    if (locations[n].locator != kNoLocator) wanted.push_back(locations[n].locator);
  }
  EntryFinder entries(ArchiveMatch::named(archiveNumber), wanted);
  if (entries.empty()) return locations;
  entries.scan(files.bytes, files.entries);
  for (SpellLocation& location : locations) {
    if (location.locator != kNoLocator) location.dataOffset = entries.dataOffset(location.locator);
  }
  return locations;
}

std::vector<SpellLocation> locateSpells(const View& index, const View& archive,
                                        std::span<const ResRef> names,
                                        std::optional<std::uint32_t> archiveNumber) {
  return locateSpells(index, FileTable{archive, fileEntries(archive)}, names, archiveNumber);
}
