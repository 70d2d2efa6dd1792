// Resolving many known spells at once: every name a walk needs, in one scan of the resource
// index and one scan of the spell archive's file table, with the results of looking each name
// up on its own.
#ifndef GRIMTRIM_FORMATS_SPELL_LOOKUP_H_
#define GRIMTRIM_FORMATS_SPELL_LOOKUP_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "formats/bytes.h"
#include "formats/resource_index.h"

// Where a known spell's name leads: the locator findLocator() gives for it, and, unless that
// is kNoLocator, the data offset findSpellHeader() gives for the locator (nothing when the
// archive holds no entry for it).
struct SpellLocation {
  Locator locator = kNoLocator;
  std::optional<std::uint32_t> dataOffset;

  friend bool operator==(const SpellLocation&, const SpellLocation&) = default;
};

// The location of every name of `names`, in the same order. Reads each table once however
// many names there are; entries that do not lie whole inside their file are never read.
//
// `archiveNumber` is the archive's place in the index's archive table (archiveNumberNamed()),
// if it has one. Archives that keep only the file part of a locator hold it with bits 20-31
// cleared: when no entry holds a locator whole, the first entry that holds its file part
// matches, provided the locator's bits 20-31 are `archiveNumber`.
[[nodiscard]] std::vector<SpellLocation> locateSpells(
    const View& index, const View& archive, std::span<const ResRef> names,
    std::optional<std::uint32_t> archiveNumber = std::nullopt);

#endif  // GRIMTRIM_FORMATS_SPELL_LOOKUP_H_
