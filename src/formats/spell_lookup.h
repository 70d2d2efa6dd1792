// Resolving many known spells at once in the configured spell archive: every name a walk needs,
// in one scan of the resource index and one scan of the archive's file table, with the results
// of looking each name up on its own.
#ifndef GRIMTRIM_FORMATS_SPELL_LOOKUP_H_
#define GRIMTRIM_FORMATS_SPELL_LOOKUP_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "formats/bytes.h"
#include "formats/resource_index.h"
#include "formats/spell_archive.h"

// Where a known spell's name leads: the locator findLocator() gives for it, and, unless that
// is kNoLocator, the data offset of the archive's entry that answers for the locator (nothing
// when none does).
struct SpellLocation {
  Locator locator = kNoLocator;
  std::optional<std::uint32_t> dataOffset;

  friend bool operator==(const SpellLocation&, const SpellLocation&) = default;
};

// The location of every name of `names`, in the same order. Reads each table once however
// many names there are; entries that do not lie whole inside their file are never read.
// `archiveNumber` is the archive's place in the index's archive table (archiveNumberNamed()),
// if it has one: entries answer for locators as locator_rule.h says of a named archive.
[[nodiscard]] std::vector<SpellLocation> locateSpells(
    const View& index, const FileTable& files, std::span<const ResRef> names,
    std::optional<std::uint32_t> archiveNumber = std::nullopt);

// The same over a whole archive in one view.
[[nodiscard]] std::vector<SpellLocation> locateSpells(
    const View& index, const View& archive, std::span<const ResRef> names,
    std::optional<std::uint32_t> archiveNumber = std::nullopt);

#endif  // GRIMTRIM_FORMATS_SPELL_LOOKUP_H_
