// The resource index ("KEY ") and the spell archive ("BIFF") it points into, built together
// because the index's locators name the archive's entries.
#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/layout_internal.h"

namespace gamedata {

namespace {

constexpr std::uint32_t kSpellArchiveIndex = 2;  // the archive's place in the index's list
constexpr std::size_t kSpellHeaderSize = 0x72;
constexpr std::uint16_t kSpellResourceType = 0x3EE;

std::uint32_t locatorOf(std::uint32_t archive, std::size_t file) {
  return archive << 20 | static_cast<std::uint32_t>(file);
}

}  // namespace

Bytes makeSpellArchive(const GameDef& game, Layout& layout, std::size_t firstSpellRef) {
  struct Entry {
    std::uint32_t locator;
    std::size_t spell;  // index into game.spells, or npos for a resource of another kind
  };
  std::vector<Entry> entries;
  for (std::size_t k = 0; k < game.unrelatedFiles; ++k) {
    entries.push_back({locatorOf(kSpellArchiveIndex, k), std::string::npos});
  }
  for (std::size_t s = 0; s < game.spells.size(); ++s) {
    if (game.spells[s].inArchive) {
      entries.push_back({locatorOf(kSpellArchiveIndex, game.unrelatedFiles + s), s});
    }
  }
  Bytes bytes;
  putText(bytes, 0, "BIFFV1  ", 8);
  putU32(bytes, 0x08, static_cast<std::uint32_t>(entries.size()));
  putU32(bytes, 0x0C, 0);  // no tilesets
  layout.fileTable = 0x14;
  putU32(bytes, 0x10, static_cast<std::uint32_t>(layout.fileTable));
  std::size_t data = layout.fileTable + entries.size() * 16;
  layout.spellHeaders.assign(game.spells.size(), 0);
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const std::size_t entry = layout.fileTable + e * 16;
    const bool isSpell = entries[e].spell != std::string::npos;
    const std::size_t size = isSpell ? kSpellHeaderSize : 0x40;
    putU32(bytes, entry, entries[e].locator);
    putU32(bytes, entry + 4, static_cast<std::uint32_t>(data));
    putU32(bytes, entry + 8, static_cast<std::uint32_t>(size));
    putU16(bytes, entry + 12, isSpell ? kSpellResourceType : 0x3F4);
    putU16(bytes, entry + 14, 0);
    fill(bytes, data, data + size, static_cast<std::uint32_t>(e));
    if (isSpell) {
      const SpellDef& spell = game.spells[entries[e].spell];
      layout.spellHeaders[entries[e].spell] = data;
      putText(bytes, data, spell.signature, 4);
      putText(bytes, data + 4, "V1  ", 4);
      const auto ref = static_cast<std::uint32_t>(firstSpellRef + entries[e].spell);
      putU32(bytes, data + 0x08, ref);  // name
      putU32(bytes, data + 0x0C, ref);  // name once identified
      putU16(bytes, data + 0x1C, spell.type);
      putU32(bytes, data + 0x34, static_cast<std::uint32_t>(spell.level));
      putText(bytes, data + 0x3A, spell.resref + "C", 8);  // icon
    }
    data += size;
  }
  return bytes;
}

Bytes makeResourceIndex(const GameDef& game, Layout& layout) {
  struct Entry {
    std::string name;
    std::uint16_t type;
    std::uint32_t locator;
  };
  std::vector<Entry> entries;
  auto addUnrelated = [&](std::size_t k) {
    char name[16];
    std::snprintf(name, sizeof name, "AR%04zu", k % 10000);
    entries.push_back({name, 0x3F2, locatorOf(1, k)});
  };
  const std::size_t before = game.unrelatedResources / 2;
  for (std::size_t k = 0; k < before; ++k)
    addUnrelated(k);
  for (std::size_t s = 0; s < game.spells.size(); ++s) {
    if (game.spells[s].inIndex) {
      entries.push_back({game.spells[s].resref, kSpellResourceType,
                         locatorOf(kSpellArchiveIndex, game.unrelatedFiles + s)});
    }
  }
  for (std::size_t k = before; k < game.unrelatedResources; ++k)
    addUnrelated(k);

  const std::vector<std::string> archives = {"data\\common.bif", "data\\areas.bif",
                                             "data\\spells.bif"};
  Bytes bytes;
  putText(bytes, 0, "KEY V1  ", 8);
  putU32(bytes, 0x08, static_cast<std::uint32_t>(archives.size()));
  putU32(bytes, 0x0C, static_cast<std::uint32_t>(entries.size()));
  putU32(bytes, 0x10, 0x18);
  std::size_t names = 0x18 + archives.size() * 12;
  for (std::size_t a = 0; a < archives.size(); ++a) {
    const std::size_t entry = 0x18 + a * 12;
    putU32(bytes, entry, 0x100000u * static_cast<std::uint32_t>(a + 1));  // archive's length
    putU32(bytes, entry + 4, static_cast<std::uint32_t>(names));
    putU16(bytes, entry + 8, static_cast<std::uint16_t>(archives[a].size() + 1));
    putU16(bytes, entry + 10, 1);  // found in the data folder
    putText(bytes, names, archives[a], archives[a].size() + 1);
    names += archives[a].size() + 1;
  }
  layout.resourceTable = names;
  putU32(bytes, 0x14, static_cast<std::uint32_t>(layout.resourceTable));
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const std::size_t entry = layout.resourceTable + e * 14;
    putText(bytes, entry, entries[e].name, 8);
    putU16(bytes, entry + 8, entries[e].type);
    putU32(bytes, entry + 10, entries[e].locator);
  }
  return bytes;
}

}  // namespace gamedata
