#include "spellbook/configured_spells.h"

#include "formats/spell_header.h"
#include "formats/spell_lookup.h"

std::vector<FoundSpell> ConfiguredSpells::find(std::span<const ResRef> names) {
  if (!files_) {
    archiveNumber_ = archiveNumberNamed(index_, archivePath_);
    files_ = fileTableOf(archive_);
  }
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
