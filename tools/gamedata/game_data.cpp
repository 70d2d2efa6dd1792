#include "gamedata/game_data.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace gamedata {

namespace {

constexpr std::uint32_t kSpellArchiveIndex = 2;  // the archive's place in the index's list
constexpr std::size_t kSpellHeaderSize = 0x72;
constexpr std::size_t kCreatureHeaderSize = 0x2D4;
constexpr std::size_t kPartyMemberSize = 352;
constexpr std::size_t kSaveHeaderSize = 0xB4;
constexpr std::uint16_t kSpellResourceType = 0x3EE;

std::uint32_t locatorOf(std::uint32_t archive, std::size_t file) {
  return archive << 20 | static_cast<std::uint32_t>(file);
}

// Bytes that look like the rest of a real record: varied, repeatable, never all zero.
void fill(Bytes& bytes, std::size_t begin, std::size_t end, std::uint32_t seed) {
  if (bytes.size() < end) bytes.resize(end);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::size_t i = begin; i < end; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<std::uint8_t>(state >> 16);
  }
}

std::size_t addString(std::vector<std::string>& strings, const std::string& text) {
  strings.push_back(text);
  return strings.size() - 1;
}

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

// One creature record, its spell sections laid back to back from `sectionsAt`.
Bytes makeCreature(const MemberDef& member, std::uint32_t nameRef, std::uint32_t seed,
                   MemberLayout& layout) {
  const std::size_t known = member.sectionsAt;
  const std::size_t memorization = known + member.known.size() * 12;
  const std::size_t memorized = memorization + member.memorization.size() * 16;
  const std::size_t items = memorized + member.memorized.size() * 12;
  const std::size_t end = std::max(items + 0x50, kCreatureHeaderSize);
  Bytes bytes;
  fill(bytes, 0, end, seed);
  putText(bytes, 0, "CRE V1.0", 8);
  putU32(bytes, 0x008, nameRef);
  putU32(bytes, 0x00C, nameRef);  // tooltip
  putU32(bytes, 0x2A0, static_cast<std::uint32_t>(known));
  putU32(bytes, 0x2A4, static_cast<std::uint32_t>(member.known.size()));
  putU32(bytes, 0x2A8, static_cast<std::uint32_t>(memorization));
  putU32(bytes, 0x2AC, static_cast<std::uint32_t>(member.memorization.size()));
  putU32(bytes, 0x2B0, static_cast<std::uint32_t>(memorized));
  putU32(bytes, 0x2B4, static_cast<std::uint32_t>(member.memorized.size()));
  putU32(bytes, 0x2B8, static_cast<std::uint32_t>(items + 0x28));  // item slots
  putU32(bytes, 0x2BC, static_cast<std::uint32_t>(items));         // items
  putU32(bytes, 0x2C0, 1);
  putU32(bytes, 0x2C4, static_cast<std::uint32_t>(end));  // effects
  putU32(bytes, 0x2C8, 0);
  for (std::size_t i = 0; i < member.known.size(); ++i) {
    putText(bytes, known + i * 12, member.known[i], 8);
    putU16(bytes, known + i * 12 + 8, 0);
    putU16(bytes, known + i * 12 + 10, 1);
  }
  for (std::size_t i = 0; i < member.memorization.size(); ++i) {
    const MemorizationDef& def = member.memorization[i];
    const std::size_t entry = memorization + i * 16;
    putU16(bytes, entry + 0x0, def.level);
    putU16(bytes, entry + 0x2, def.slots);
    putU16(bytes, entry + 0x4, def.slots);  // slots after effects
    putU16(bytes, entry + 0x6, def.type);
    putU16(bytes, entry + 0x8, def.firstIndex);
    putU16(bytes, entry + 0xA, 0);
    putU16(bytes, entry + 0xC, def.count);
    putU16(bytes, entry + 0xE, 0);
  }
  for (std::size_t i = 0; i < member.memorized.size(); ++i) {
    putText(bytes, memorized + i * 12, member.memorized[i], 8);
    putU32(bytes, memorized + i * 12 + 8, 1);  // memorized, not yet cast
  }
  layout.creatureSize = end;
  layout.known = known;
  layout.memorization = memorization;
  layout.memorized = memorized;
  return bytes;
}

Bytes makeSave(const GameDef& game, const std::vector<std::uint32_t>& creatureRefs,
               Layout& layout) {
  Bytes bytes;
  fill(bytes, 0, kSaveHeaderSize, 99);
  putText(bytes, 0, "GAMEV2.0", 8);
  layout.partyTable = kSaveHeaderSize;
  putU32(bytes, 0x20, static_cast<std::uint32_t>(layout.partyTable));
  putU32(bytes, 0x24, static_cast<std::uint32_t>(game.party.size()));
  std::size_t next = layout.partyTable + game.party.size() * kPartyMemberSize;
  bytes.resize(next);
  layout.members.assign(game.party.size(), MemberLayout{});
  for (std::size_t i = 0; i < game.party.size(); ++i) {
    const MemberDef& member = game.party[i];
    MemberLayout& at = layout.members[i];
    at.record = layout.partyTable + i * kPartyMemberSize;
    const Bytes creature =
        makeCreature(member, creatureRefs[i], static_cast<std::uint32_t>(i + 1), at);
    at.creature = next;
    at.known += next;
    at.memorization += next;
    at.memorized += next;
    fill(bytes, at.record, at.record + kPartyMemberSize, static_cast<std::uint32_t>(100 + i));
    putU16(bytes, at.record + 0x00, 0);  // not selected
    putU16(bytes, at.record + 0x02, member.listing);
    putU32(bytes, at.record + 0x04, static_cast<std::uint32_t>(at.creature));
    putU32(bytes, at.record + 0x08, static_cast<std::uint32_t>(creature.size()));
    putText(bytes, at.record + 0xC0, member.partyName, 32);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(next), creature.begin(),
                 creature.end());
    next += creature.size();
  }
  // The game's variables follow the creatures; nothing of them is read.
  putU32(bytes, 0x38, static_cast<std::uint32_t>(next));
  putU32(bytes, 0x3C, 3);
  fill(bytes, next, next + 3 * 84, 7);
  return bytes;
}

}  // namespace

void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2);
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  putU16(bytes, offset, static_cast<std::uint16_t>(value));
  putU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void putText(Bytes& bytes, std::size_t offset, std::string_view text, std::size_t width) {
  if (bytes.size() < offset + width) bytes.resize(offset + width);
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
  }
}

std::uint16_t getU16(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

std::uint32_t getU32(const Bytes& bytes, std::size_t offset) {
  return getU16(bytes, offset) | std::uint32_t{getU16(bytes, offset + 2)} << 16;
}

Bytes makeStringTable(const std::vector<std::string>& texts) {
  Bytes bytes;
  putText(bytes, 0, "TLK V1  ", 8);
  putU16(bytes, 0x08, 0);  // language
  putU32(bytes, 0x0A, static_cast<std::uint32_t>(texts.size()));
  const std::size_t textArea = 0x12 + texts.size() * 26;
  putU32(bytes, 0x0E, static_cast<std::uint32_t>(textArea));
  bytes.resize(textArea);
  std::size_t offset = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::size_t entry = 0x12 + i * 26;
    putU16(bytes, entry, 1);  // has text
    putU32(bytes, entry + 0x12, static_cast<std::uint32_t>(offset));
    putU32(bytes, entry + 0x16, static_cast<std::uint32_t>(texts[i].size()));
    offset += texts[i].size();
  }
  for (const std::string& text : texts)
    bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

std::vector<Range> whackableRanges(const Bytes& save, std::int32_t member, std::int32_t method) {
  const auto size = static_cast<std::uint64_t>(save.size());
  // Reads that never fail: a field past the end reads as "does not lie in the file".
  auto fits = [&](std::int64_t offset, std::uint64_t length) {
    return offset >= 0 && length <= size && static_cast<std::uint64_t>(offset) <= size - length;
  };
  auto u32 = [&](std::int64_t offset) -> std::int64_t {
    return getU32(save, static_cast<std::size_t>(offset));
  };
  std::vector<Range> ranges;
  if (!fits(0, 0x28)) return ranges;
  const std::int64_t record = u32(0x20) + std::int64_t{member} * std::int64_t{kPartyMemberSize};
  if (!fits(record, kPartyMemberSize)) return ranges;
  const std::int64_t creature = u32(record + 4);
  if (!fits(creature, 0x2B8)) return ranges;
  // A section of `count` entries of `entrySize` bytes from the offset field `field`.
  auto section = [&](std::int64_t field, std::int64_t count, std::int64_t entrySize) {
    const std::int64_t begin = creature + u32(field);
    if (count <= 0 || begin >= static_cast<std::int64_t>(size)) return;
    const std::int64_t end = std::min(begin + count * entrySize, static_cast<std::int64_t>(size));
    ranges.push_back({static_cast<std::uint64_t>(begin), static_cast<std::uint64_t>(end)});
  };
  auto i32 = [&](std::int64_t offset) -> std::int64_t {
    return static_cast<std::int32_t>(getU32(save, static_cast<std::size_t>(offset)));
  };
  section(creature + 0x2A0, i32(creature + 0x2A4), 12);
  if (method == 0) return ranges;
  section(creature + 0x2A8, i32(creature + 0x2AC), 16);
  section(creature + 0x2B0, u32(creature + 0x2B4), 12);
  ranges.push_back(
      {static_cast<std::uint64_t>(creature + 0x2A0), static_cast<std::uint64_t>(creature + 0x2B8)});
  return ranges;
}

std::int64_t changeOutside(const Bytes& before, const Bytes& after,
                           const std::vector<Range>& ranges) {
  const std::size_t common = std::min(before.size(), after.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (before[i] == after[i]) continue;
    const bool allowed = std::any_of(ranges.begin(), ranges.end(),
                                     [&](const Range& r) { return r.begin <= i && i < r.end; });
    if (!allowed) return static_cast<std::int64_t>(i);
  }
  return before.size() == after.size() ? -1 : static_cast<std::int64_t>(common);
}

GameFiles buildGame(const GameDef& game) {
  GameFiles files;
  std::vector<std::string> strings = game.strings;
  std::vector<std::uint32_t> creatureRefs;
  for (const MemberDef& member : game.party) {
    creatureRefs.push_back(static_cast<std::uint32_t>(addString(strings, member.creatureName)));
  }
  const std::size_t firstSpellRef = strings.size();
  for (const SpellDef& spell : game.spells) {
    files.layout.nameRefs.push_back(static_cast<std::uint32_t>(addString(strings, spell.name)));
  }
  files.stringTable = makeStringTable(strings);
  files.spellArchive = makeSpellArchive(game, files.layout, firstSpellRef);
  files.resourceIndex = makeResourceIndex(game, files.layout);
  files.save = makeSave(game, creatureRefs, files.layout);
  return files;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeFile(const std::filesystem::path& path, std::string_view text) {
  writeFile(path, Bytes(text.begin(), text.end()));
}

void writeGame(const std::filesystem::path& folder, const GameFiles& files) {
  std::filesystem::create_directories(folder);
  writeFile(folder / kStringTableName, files.stringTable);
  writeFile(folder / kSpellArchiveName, files.spellArchive);
  writeFile(folder / kResourceIndexName, files.resourceIndex);
  writeFile(folder / kSaveName, files.save);
  writeFile(folder / kConfigName, std::string(kStringTableName) + "\n" + kSpellArchiveName + "\n" +
                                      kResourceIndexName + "\n");
}

namespace {

// Memorization entries as the game keeps them (priest levels 1 to 7, wizard levels 1 to 9,
// then the innate abilities) with the memorized spells listed entry by entry. A level with
// spells memorized has one slot more than it uses.
void memorize(MemberDef& member, const std::vector<std::vector<std::string>>& priest,
              const std::vector<std::vector<std::string>>& wizard) {
  auto add = [&](std::uint16_t type, std::size_t levels,
                 const std::vector<std::vector<std::string>>& spells) {
    for (std::size_t level = 0; level < levels; ++level) {
      const std::vector<std::string> none;
      const std::vector<std::string>& here = level < spells.size() ? spells[level] : none;
      MemorizationDef entry;
      entry.level = static_cast<std::uint16_t>(level);
      entry.type = type;
      entry.slots = static_cast<std::uint16_t>(here.empty() ? 0 : here.size() + 1);
      entry.firstIndex = static_cast<std::uint16_t>(member.memorized.size());
      entry.count = static_cast<std::uint16_t>(here.size());
      member.memorization.push_back(entry);
      member.memorized.insert(member.memorized.end(), here.begin(), here.end());
    }
  };
  add(0, 7, priest);
  add(1, 9, wizard);
  add(2, 1, {});
}

MemberDef member(std::uint16_t listing, const char* partyName, const char* creatureName) {
  MemberDef def;
  def.listing = listing;
  def.partyName = partyName;
  def.creatureName = creatureName;
  return def;
}

}  // namespace

GameDef sampleGame() {
  GameDef game;
  game.strings = {"<NO TEXT>", "Vellmark", "Welcome back, traveller."};
  game.unrelatedResources = 40;
  game.unrelatedFiles = 5;
  game.spells = {
      // Wizard spells, levels 1 to 5.
      {"WZ1EMBER", "Ember Dart", 1},
      {"WZ1VEIL", "Frost Veil", 1},
      {"WZ1LAMP", "Witchlight", 1},
      {"WZ1WARD", "Lesser Ward", 1},
      {"WZ1SLUMB", "Slumber Dust", 1},
      {"WZ1FEATH", "Feather Step", 1},
      {"WZ2MIRR", "Mirror Twin", 2},
      {"WZ2WEB", "Spider's Snare", 2},
      {"WZ2SHADE", "Shadowcloak", 2},
      {"WZ2ACID", "Acid Lance", 2},
      {"WZ3BOLT", "Storm Bolt", 3},
      {"WZ3HASTE", "Quickening", 3},
      {"WZ3FLAME", "Flame Burst", 3},
      {"WZ4STONE", "Stoneskin Ward", 4},
      {"WZ4FEAR", "Dread Howl", 4},
      {"WZ5CLOUD", "Choking Fog", 5},
      {"WZ5WALL", "Wall of Thorns", 5},
      // Priest spells (type 2): known but never in the spell book listing.
      {"PR1MEND", "Mend Wounds", 1, 2},
      {"PR1BLESS", "Blessing", 1, 2},
      {"PR2CALM", "Calm Spirits", 2, 2},
      {"PR3LIGHT", "Daylight", 3, 2},
      // Innate abilities (type 4).
      {"IN1SIGHT", "Keen Sight", 1, 4},
      {"IN1SONG", "Rallying Song", 1, 4},
  };

  MemberDef mage = member(0, "Selwyn", "Selwyn Ashgrove");
  mage.known = {"WZ1EMBER", "WZ1VEIL", "WZ1LAMP",  "WZ1WARD",  "WZ2MIRR",  "WZ2WEB",
                "WZ2SHADE", "WZ3BOLT", "WZ3HASTE", "WZ4STONE", "WZ1SLUMB", "WZ5CLOUD"};
  memorize(mage, {},
           {{"WZ1EMBER", "WZ1EMBER", "WZ1WARD"},
            {"WZ2MIRR", "WZ2WEB"},
            {"WZ3BOLT"},
            {"WZ4STONE"},
            {"WZ5CLOUD"}});

  MemberDef cleric = member(1, "", "Brother Aldric");
  cleric.known = {"PR1MEND", "WZ1FEATH", "PR1BLESS", "WZ1LAMP", "PR2CALM", "WZ2ACID", "PR3LIGHT"};
  memorize(cleric, {{"PR1MEND", "PR1BLESS"}, {"PR2CALM"}}, {{"WZ1FEATH"}, {"WZ2ACID"}});

  MemberDef fighter = member(2, "Tamsin", "Tamsin of the Ford");
  memorize(fighter, {}, {});

  MemberDef rogue = member(3, "", "Quill");
  rogue.known = {"IN1SIGHT", "WZ1SLUMB", "WZ1VEIL", "WZ2SHADE"};
  memorize(rogue, {}, {{"WZ1SLUMB"}, {"WZ2SHADE"}});

  MemberDef sorceress = member(4, "Maren", "Maren Vey");
  sorceress.known = {"WZ1EMBER", "WZ1FEATH", "WZ2ACID", "WZ3FLAME", "WZ3BOLT", "IN1SONG"};
  memorize(sorceress, {}, {{"WZ1EMBER", "WZ1FEATH"}, {"WZ2ACID"}, {"WZ3FLAME"}});

  MemberDef ranger = member(5, "", "Hollis the Grey");
  ranger.known = {"PR1MEND", "PR2CALM"};
  memorize(ranger, {{"PR1MEND"}}, {});

  game.party = {mage, cleric, fighter, rogue, sorceress, ranger};
  return game;
}

GameDef scaledGame(std::size_t indexEntries, std::size_t archiveEntries, std::size_t strings,
                   std::size_t knownPerMember) {
  GameDef game = sampleGame();
  const std::size_t spells = archiveEntries - std::min(archiveEntries, game.unrelatedFiles);
  char name[32];
  for (std::size_t s = game.spells.size(); s < spells; ++s) {
    std::snprintf(name, sizeof name, "SP%06zu", s % 1000000);
    const auto level = static_cast<std::int32_t>(s % 9 + 1);
    const auto type = static_cast<std::uint16_t>(s % 5 == 0 ? 2 : 1);
    game.spells.push_back({name, std::string("Spell of ") + name, level, type});
  }
  game.unrelatedResources = indexEntries - std::min(indexEntries, game.spells.size());
  const std::size_t named = game.party.size() + game.spells.size();
  for (std::size_t i = game.strings.size(); i + named < strings; ++i) {
    game.strings.push_back("Line " + std::to_string(i) + " of the story so far.");
  }
  // Every member knows spells spread over the whole archive, in archive order.
  for (std::size_t m = 0; m < game.party.size(); ++m) {
    MemberDef& member = game.party[m];
    member.known.clear();
    for (std::size_t k = 0; k < knownPerMember; ++k) {
      const std::size_t s = (k * (spells / std::max<std::size_t>(knownPerMember, 1)) + m) % spells;
      member.known.push_back(game.spells[s].resref);
    }
  }
  return game;
}

}  // namespace gamedata
