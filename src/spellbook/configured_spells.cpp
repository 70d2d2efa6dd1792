#include "spellbook/configured_spells.h"

#include "formats/locator_rule.h"
#include "formats/spell_header.h"
#include "formats/spell_lookup.h"
#include "formats/text_table.h"

const FileTable& ConfiguredSpells::files() {
  if (!files_) {
    archiveNumber_ = archiveNumberNamed(index_, archivePath_);
    files_ = fileTableOf(archive_);
  }
  return *files_;
}

std::vector<FoundSpell> ConfiguredSpells::find(std::span<const ResRef> names) {
  files();
  const std::vector<SpellLocation> locations = locateSpells(index_, *files_, names, archiveNumber_);
  std::vector<FoundSpell> found(names.size());
  for (std::size_t n = 0; n < names.size(); ++n) {
    found[n].inIndex = locations[n].locator != kNoLocator;
    found[n].inArchive = locations[n].dataOffset.has_value();
    // A data offset past the archive's end leaves no bytes: no spell header stands there.
    if (found[n].inArchive)
      found[n].data = archive_.bytes(*locations[n].dataOffset, kSpellHeaderSize);
  }
  return found;
}

std::optional<View> ConfiguredSpells::textTable(ResRef name) {
  const Locator locator = findLocatorOfType(index_, name, kTextTableType);
  if (locator == kNoLocator) return std::nullopt;
  const FileTable& table = files();
  const Locator wanted[] = {locator};
  EntryFinder entries(ArchiveMatch::named(archiveNumber_), wanted);
  entries.scan(table.bytes, table.entries);
  const std::optional<FileData> data = entries.data(locator);
  if (!data) return std::nullopt;
  return resourceData(archive_, *data);
}
