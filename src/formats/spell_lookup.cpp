#include "formats/spell_lookup.h"

#include "formats/first_matches.h"

namespace {

// The locator an archive that keeps only the file part stores for `locator`: bits 20-31
// cleared. Used only for a locator whose bits 20-31 number the configured archive.
constexpr Locator withoutArchive(Locator locator) {
  return locator & 0xFFFFF;
}

}  // namespace

std::vector<SpellLocation> locateSpells(const View& index, const View& archive,
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
  FirstMatches<Locator, std::uint32_t> headers;
  headers.expect(names.size());
  for (std::size_t n = 0; n < names.size(); ++n) {
    locations[n].locator = locators.found(names[n] & nameMask(names[n])).value_or(kNoLocator);
    // A stored 0xFFFFFFFF cannot be told from a missing name: it is never looked up.
    if (locations[n].locator == kNoLocator) continue;
    headers.want(locations[n].locator);
    if (archiveNumberOf(locations[n].locator) == archiveNumber) {
      headers.want(withoutArchive(locations[n].locator));
    }
  }
  headers.freeze();
  if (headers.empty()) return locations;

  const EntryTable files = fileEntries(archive);
  for (std::uint64_t i = 0; i < files.entries && !headers.complete(); ++i)
    headers.offer(fileLocator(archive, files, i),
                  [&] { return fileDataOffset(archive, files, i); });
  for (SpellLocation& location : locations) {
    if (location.locator == kNoLocator) continue;
    // An entry that holds the whole locator wins; only without one does the file part match.
    location.dataOffset = headers.found(location.locator);
    if (!location.dataOffset && archiveNumberOf(location.locator) == archiveNumber) {
      location.dataOffset = headers.found(withoutArchive(location.locator));
    }
  }
  return locations;
}
