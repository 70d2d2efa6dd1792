#include "gamedata/installation.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/compressed_out.h"
#include "gamedata/game_data.h"
#include "gamedata/layout_internal.h"

namespace gamedata {

namespace {

constexpr std::uint16_t kSpellType = 0x3EE;
constexpr std::uint16_t kOtherType = 0x3ED;
constexpr std::size_t kHeaderBytes = 0x72;

// A spell of the installation and where the game finds it.
struct Placed {
  std::string resref;  // as the index names it, any case
  std::string name;
  std::int32_t level = 1;
  std::uint16_t type = 1;
  int archive = -1;          // its archive's number in the index, -1 for none
  bool loose = false;        // a file in override/ (named `looseName`)
  std::string looseName{};   // the loose file's name, any case
  std::string looseTitle{};  // the loose file's display name, when it replaces an archive's
  std::int32_t looseLevel = 0;
};

// How an archive lies on disk: as it is, or in one of the compressed forms older releases ship.
enum class Form { Plain, Blocks, Stream };

struct Archive {
  std::string stored;  // as the index's archive table names it
  std::string disk;    // where it is written under the game's folder; empty: not written
  std::size_t others;  // resources of other kinds it holds before its spells
  Form form = Form::Plain;
  std::string streamDisk{};      // with Stream: the ".cbf" file written instead of `disk`
  std::size_t otherSize = 0x20;  // bytes of each of the other resources
};

void putSpellHeader(Bytes& bytes, std::size_t at, std::uint32_t nameRef, std::uint16_t type,
                    std::int32_t level, std::uint32_t seed) {
  // Laid out as a spell's header is: small numbers and names where the game keeps them, zero
  // elsewhere. The fields the program does not read are still not zero where a spell's are not,
  // so that a field read from the wrong place shows.
  bytes.resize(std::max(bytes.size(), at + kHeaderBytes));
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + kHeaderBytes), std::uint8_t{0});
  putText(bytes, at, "SPL V1  ", 8);
  putU32(bytes, at + 0x08, nameRef);
  putU32(bytes, at + 0x0C, nameRef);
  putText(bytes, at + 0x10, "CHANT" + std::to_string(seed % 7), 8);  // the casting sound
  putU32(bytes, at + 0x18, 0x4000u | (seed % 5) << 8);               // flags
  putU16(bytes, at + 0x1C, type);
  putU16(bytes, at + 0x22, static_cast<std::uint16_t>(seed % 12));     // the casting graphics
  putU16(bytes, at + 0x25, static_cast<std::uint16_t>(1 + seed % 9));  // the school
  putU32(bytes, at + 0x34, static_cast<std::uint32_t>(level));
  putText(bytes, at + 0x3A, "GLYPH" + std::to_string(seed % 100), 8);  // the icon
  putU32(bytes, at + 0x64, 0x72);  // where the abilities would start
}

// An archive holding `others` resources of other kinds (`otherSize` bytes each, text-like where
// they are large, as a dialog's or a script's data compresses), then `spells` (header at each),
// each entry keeping only the file part of its locator. The file table stands after the data, at
// the end of the file, as some writers put it; with `tableFirst` it follows the header, and the
// spells' data comes before the others', as the writers of the compressed releases laid it out.
Bytes makeArchive(std::size_t others, std::size_t otherSize,
                  const std::vector<std::pair<std::uint32_t, std::size_t>>& spells,
                  const std::vector<Placed>& all, const std::vector<std::uint32_t>& refs,
                  bool tableFirst) {
  const std::size_t count = others + spells.size();
  Bytes bytes;
  putText(bytes, 0, "BIFFV1  ", 8);
  putU32(bytes, 0x08, static_cast<std::uint32_t>(count));
  putU32(bytes, 0x0C, 0);
  const std::size_t table = 0x14;
  std::size_t data = tableFirst ? table + count * 16 : table;
  std::vector<std::uint32_t> offsets(count);
  const auto writeOthers = [&] {
    for (std::size_t k = 0; k < others; ++k) {
      fill(bytes, data, data + 0x20, static_cast<std::uint32_t>(k));
      bytes.resize(std::max(bytes.size(), data + otherSize));
      for (std::size_t at = data + 0x20; at < data + otherSize; ++at)
        bytes[at] = static_cast<std::uint8_t>("Here the road forks again.\n"[(at - data) % 27]);
      offsets[k] = static_cast<std::uint32_t>(data);
      data += otherSize;
    }
  };
  const auto writeSpells = [&] {
    for (std::size_t s = 0; s < spells.size(); ++s) {
      const auto& [file, spell] = spells[s];
      const Placed& placed = all[spell];
      putSpellHeader(bytes, data, refs[spell], placed.type, placed.level,
                     static_cast<std::uint32_t>(file));
      offsets[others + s] = static_cast<std::uint32_t>(data);
      data += kHeaderBytes;
    }
  };
  if (tableFirst) {
    writeSpells();
    writeOthers();
  } else {
    writeOthers();
    writeSpells();
  }
  const std::size_t at = tableFirst ? table : data;
  putU32(bytes, 0x10, static_cast<std::uint32_t>(at));
  for (std::size_t e = 0; e < count; ++e) {
    const std::size_t entry = at + e * 16;
    const bool spell = e >= others;
    const std::uint32_t file = spell ? spells[e - others].first : static_cast<std::uint32_t>(e);
    putU32(bytes, entry, file);  // the file part only: bits 20-31 left 0
    putU32(bytes, entry + 4, offsets[e]);
    putU32(bytes, entry + 8, static_cast<std::uint32_t>(spell ? kHeaderBytes : otherSize));
    putU16(bytes, entry + 12, spell ? kSpellType : kOtherType);
    putU16(bytes, entry + 14, 0);
  }
  return bytes;
}

struct Installation {
  std::vector<Archive> archives;
  std::vector<Placed> spells;
  std::size_t otherResources = 0;  // index entries of other kinds
  GameDef party;                   // the party and its strings; its spells are unused
  GameDef olderParty;              // the older save's party
};

MemberDef wizard(std::uint16_t listing, const char* name, std::vector<std::string> known) {
  MemberDef member;
  member.listing = listing;
  member.partyName = name;
  member.creatureName = name;
  member.known = std::move(known);
  // A level-1 wizard entry with a spell memorized, so that method 1 can do its whole work.
  member.memorization = {{0, 2, 0, 1, 1}, {1, 0, 1, 0, 1}};
  member.memorized = {member.known.empty() ? std::string("WZ1EMBER") : member.known.front()};
  return member;
}

Installation handMade() {
  Installation game;
  // As an older release ships them: the common archive in blocks under its own name, the
  // expansion's as one stream in a ".cbf" file beside the name the index gives (in another case).
  game.archives = {
      {"data/Common.bif", "data/common.bif", 3, Form::Blocks},
      {"data\\SPELLS.BIF", "data/spells.bif", 2},
      {"data/Expansion.bif", "data/expansion.bif", 1, Form::Stream, "data/expansion.CBF"},
      {"data/patch/Lost.bif", "", 0}};
  game.otherResources = 12;
  game.spells = {
      {"WZ1EMBER", "Ember Dart", 1, 1, 1},
      {"Wz1Veil", "Frost Veil", 1, 1, 1, true, "wz1veil.SPL", "Frost Veil, Reworked", 1},
      {"wz1lamp", "Witchlight", 1, 1, 1},
      {"WZ2MIRR", "Mirror Haze", 2, 1, 1},
      {"WZ2WEB", "Sticky Strands", 2, 1, 1},
      {"WZ2BLADE", "Shade Blade", 2, 1, 2},
      {"WZ3BOLT", "Storm Lance", 3, 1, 2},
      {"WZ3LOST", "Lost Lantern", 3, 1, 3},
      {"PR1MEND", "Mending Touch", 1, 2, 1},
      {"MODSPARK", "Spark Swarm", 2, 1, -1, true, "ModSpark.Spl"},
      {"MODHUSH", "Hush of Ash", 1, 1, -1, true, "MODHUSH.spl"},
  };
  game.party.strings = {"<NO TEXT>", "Vellmark"};
  game.party.party = {
      wizard(1, "Orla Venn",
             {"WZ1EMBER", "WZ1VEIL", "MODSPARK", "WZ2MIRR", "WZ2BLADE", "WZ1LAMP", "WZ3BOLT",
              "WZ3LOST", "PR1MEND", "MODHUSH", "WZ2WEB"}),
      wizard(2, "Bramwick", {"PR1MEND", "MODHUSH", "WZ1EMBER"}),
      wizard(3, "Tamsin", {"WZ1LAMP", "../WZ1", "WZ1EMBER"}),
      wizard(4, "Ilse", {}),
  };
  game.olderParty = game.party;
  game.olderParty.party.resize(2);
  game.olderParty.party[0].known.resize(4);
  return game;
}

Installation large() {
  Installation game;
  for (std::size_t a = 0; a < 190; ++a) {
    // Named as they lie on disk, as most installations name them, with the older separator.
    char stored[32];
    std::snprintf(stored, sizeof stored, "data\\area%03zu.bif", a);
    char disk[32];
    std::snprintf(disk, sizeof disk, "data/area%03zu.bif", a);
    game.archives.push_back({stored, disk, 20});
  }
  // The spell archives of two expansions, over a megabyte each, as older releases compress them:
  // one as a ".cbf" stream, one in blocks; the others' spell archives compressed as well, all
  // but the base game's, which the configuration form names.
  const auto compress = [&](std::size_t a, Form form, std::size_t otherSize) {
    Archive& archive = game.archives[a];
    archive.form = form;
    archive.otherSize = otherSize;
    if (form == Form::Stream) {
      archive.streamDisk = archive.disk.substr(0, archive.disk.size() - 4) + ".cbf";
    }
  };
  compress(21, Form::Stream, 0xD000);
  compress(40, Form::Blocks, 0xD000);
  compress(80, Form::Stream, 0x20);
  compress(120, Form::Blocks, 0x20);
  compress(150, Form::Stream, 0x20);
  compress(170, Form::Blocks, 0x20);
  compress(189, Form::Blocks, 0x20);
  game.otherResources = 62000 - 1650;
  const int spellArchives[] = {20, 21, 40, 80, 120, 150, 170, 189};
  for (std::size_t s = 0; s < 1650; ++s) {
    char resref[32];
    std::snprintf(resref, sizeof resref, s % 7 == 0 ? "Sp%06zu" : "SP%06zu", s);
    Placed spell{resref, "Spell " + std::to_string(s), static_cast<std::int32_t>(1 + s % 9),
                 static_cast<std::uint16_t>(s % 5 == 4 ? 2 : 1), spellArchives[s % 8]};
    if (s < 100) {  // the mods' spells: loose only, or loose over an archive's
      spell.loose = true;
      spell.looseName = std::string(resref) + (s % 2 ? ".SPL" : ".spl");
      if (s % 3 == 0) spell.archive = -1;
    }
    game.spells.push_back(spell);
  }
  game.party.strings = {"<NO TEXT>", "Vellmark"};
  for (std::uint16_t m = 0; m < 6; ++m) {
    std::vector<std::string> known;
    for (std::size_t k = 0; k < 160; ++k) {
      char resref[32];
      // Spells the configured form can list too (named in capitals, in the index), so that
      // the benchmark compares two whole listings.
      std::size_t spell = (m * 263 + k * 37) % 1650;
      while (spell % 7 == 0 || (spell < 100 && spell % 3 == 0))
        spell = (spell + 1) % 1650;
      std::snprintf(resref, sizeof resref, "SP%06zu", spell);
      known.push_back(resref);
    }
    game.party.party.push_back(
        wizard(static_cast<std::uint16_t>(m + 1), ("Member " + std::to_string(m)).c_str(), known));
  }
  game.olderParty = game.party;
  return game;
}

void writeSave(const std::filesystem::path& path, const GameDef& party,
               const std::vector<std::uint32_t>& creatureRefs) {
  std::filesystem::create_directories(path.parent_path());
  Layout layout;
  writeFile(path, makeSave(party, creatureRefs, layout));
}

}  // namespace

void writeInstallation(const std::filesystem::path& folder, bool isLarge, bool compressed) {
  const Installation game = isLarge ? large() : handMade();
  std::vector<std::string> strings = game.party.strings;
  std::vector<std::uint32_t> creatureRefs;
  for (const MemberDef& member : game.party.party)
    creatureRefs.push_back(static_cast<std::uint32_t>(addString(strings, member.creatureName)));
  std::vector<std::uint32_t> refs, looseRefs;
  for (const Placed& spell : game.spells) {
    refs.push_back(static_cast<std::uint32_t>(addString(strings, spell.name)));
    looseRefs.push_back(spell.looseTitle.empty()
                            ? refs.back()
                            : static_cast<std::uint32_t>(addString(strings, spell.looseTitle)));
  }
  const Bytes table = makeStringTable(strings);
  std::filesystem::create_directories(folder / "lang" / "en_US");
  std::filesystem::create_directories(folder / "lang" / "de_DE");
  writeFile(folder / "lang" / "en_US" / "dialog.tlk", table);
  writeFile(folder / "lang" / "de_DE" / "dialog.tlk", table);

  // Each archive's spells get the file numbers after its other resources.
  std::vector<std::vector<std::pair<std::uint32_t, std::size_t>>> held(game.archives.size());
  std::vector<std::uint32_t> locators(game.spells.size(), 0xFFFFFFFF);
  for (std::size_t s = 0; s < game.spells.size(); ++s) {
    const int a = game.spells[s].archive;
    if (a < 0) continue;
    const auto archive = static_cast<std::size_t>(a);
    const auto file =
        static_cast<std::uint32_t>(game.archives[archive].others + held[archive].size());
    held[archive].push_back({file, s});
    locators[s] = static_cast<std::uint32_t>(archive) << 20 | file;
  }
  for (std::size_t a = 0; a < game.archives.size(); ++a) {
    const Archive& archive = game.archives[a];
    if (archive.disk.empty()) continue;
    std::filesystem::create_directories((folder / archive.disk).parent_path());
    const Form form = compressed ? archive.form : Form::Plain;
    const Bytes bytes = makeArchive(archive.others, archive.otherSize, held[a], game.spells, refs,
                                    archive.form != Form::Plain);
    if (form == Form::Blocks) {
      writeFile(folder / archive.disk, blockCompressed(bytes));
    } else if (form == Form::Stream) {
      // The stream names the archive it holds, as the index names it.
      const std::string name = std::filesystem::path(archive.disk).filename().string();
      writeFile(folder / archive.streamDisk, streamCompressed(bytes, name));
    } else {
      writeFile(folder / archive.disk, bytes);
    }
  }
  std::filesystem::create_directories(folder / "override");
  for (std::size_t s = 0; s < game.spells.size(); ++s) {
    const Placed& spell = game.spells[s];
    if (!spell.loose) continue;
    Bytes bytes;
    putSpellHeader(bytes, 0, looseRefs[s], spell.type,
                   spell.looseLevel != 0 ? spell.looseLevel : spell.level,
                   static_cast<std::uint32_t>(s));
    writeFile(folder / "override" / spell.looseName, bytes);
  }

  // The index: its archive table, then its resources, spells amid others; one of the spells'
  // names also stands before it with another type.
  Bytes index;
  putText(index, 0, "KEY V1  ", 8);
  std::size_t names = 0x18 + game.archives.size() * 12;
  putU32(index, 0x08, static_cast<std::uint32_t>(game.archives.size()));
  putU32(index, 0x10, 0x18);
  for (std::size_t a = 0; a < game.archives.size(); ++a) {
    const std::string& stored = game.archives[a].stored;
    const std::size_t entry = 0x18 + a * 12;
    putU32(index, entry, 0x1000);
    putU32(index, entry + 4, static_cast<std::uint32_t>(names));
    putU16(index, entry + 8, static_cast<std::uint16_t>(stored.size() + 1));
    putU16(index, entry + 10, 1);
    putText(index, names, stored, stored.size() + 1);
    names += stored.size() + 1;
  }
  struct Resource {
    std::string name;
    std::uint16_t type;
    std::uint32_t locator;
  };
  std::vector<Resource> resources;
  const std::size_t before = game.otherResources / 2;
  auto other = [&](std::size_t k) {
    char name[32];
    std::snprintf(name, sizeof name, "RS%06zu", k);
    resources.push_back({name, kOtherType,
                         static_cast<std::uint32_t>(k % game.archives.size()) << 20 |
                             static_cast<std::uint32_t>(k % 3)});
  };
  for (std::size_t k = 0; k < before; ++k)
    other(k);
  if (!isLarge) resources.push_back({game.spells[0].resref, kOtherType, 0});
  for (std::size_t s = 0; s < game.spells.size(); ++s) {
    if (game.spells[s].archive >= 0)
      resources.push_back({game.spells[s].resref, kSpellType, locators[s]});
  }
  for (std::size_t k = before; k < game.otherResources; ++k)
    other(k);
  putU32(index, 0x0C, static_cast<std::uint32_t>(resources.size()));
  putU32(index, 0x14, static_cast<std::uint32_t>(names));
  for (std::size_t r = 0; r < resources.size(); ++r) {
    const std::size_t entry = names + r * 14;
    putText(index, entry, resources[r].name, 8);
    putU16(index, entry + 8, resources[r].type);
    putU32(index, entry + 10, resources[r].locator);
  }
  writeFile(folder / kInstalledIndexName, index);

  writeSave(folder / kInstalledSave, game.party, creatureRefs);
  writeSave(folder / kInstalledOlderSave, game.olderParty, creatureRefs);
  // The configuration form of the same game: its main spell archive alone.
  const std::string archive = isLarge ? game.archives[20].disk : game.archives[1].disk;
  writeFile(folder / kInstalledConfigName,
            "lang/en_US/dialog.tlk\n" + archive + "\n" + kInstalledIndexName + "\n");
}

}  // namespace gamedata
