#include "gamedata/sample_games.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace gamedata {

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

GameDef classGame() {
  GameDef game = sampleGame();
  game.format = SaveFormat::ByClass;
  MemberDef idle = member(1, "Ysolde Marrow", "Ysolde Marrow");
  MemberDef caster = member(2, "Corvin Ashe", "Corvin Ashe");
  caster.classSpells = {12, 40, 41};
  game.party = {idle, caster};
  return game;
}

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

GameDef localizedGame(bool utf8) {
  GameDef game = sampleGame();
  auto rename = [&](const char* resref, const char* name) {
    for (SpellDef& spell : game.spells)
      if (spell.resref == resref) spell.name = name;
  };
  if (utf8) {
    // Names in three scripts, stored as UTF-8.
    game.party[0].partyName = "J\xC3\xBCrgen";
    game.party[0].creatureName = "J\xC3\xBCrgen Falkenrath";
    game.party[1].creatureName = "\xD0\xAF\xD0\xB4\xD0\xB2\xD0\xB8\xD0\xB3\xD0\xB0";
    game.party[3].creatureName = "\xC5\x81ucja";
    rename("WZ1EMBER",
           "Fl\xC3\xA8"
           "che de braise");
    rename("WZ1LAMP",
           "\xD0\x92\xD0\xB5\xD0\xB4\xD1\x8C\xD0\xBC\xD0\xB8\xD0\xBD "
           "\xD1\x81\xD0\xB2\xD0\xB5\xD1\x82");
  } else {
    // Cyrillic names in the single-byte Cyrillic code page, as older localized games store them.
    game.party[0].partyName = "\xDF\xE4\xE2\xE8\xE3\xE0";
    game.party[0].creatureName = "\xDF\xE4\xE2\xE8\xE3\xE0 \xDF\xF1\xED\xE0";
    game.party[1].creatureName = "\xC1\xF0\xE0\xF2 \xCE\xEB\xE5\xE3";
    rename("WZ1EMBER", "\xCE\xE3\xED\xE5\xED\xED\xFB\xE9 \xE4\xF0\xEE\xF2\xE8\xEA");
    rename("WZ1VEIL", "\xCB\xE5\xE4\xFF\xED\xE0\xFF \xE7\xE0\xE2\xE5\xF1\xE0");
    rename("WZ1LAMP", "\xC2\xE5\xE4\xFC\xEC\xE8\xED \xF1\xE2\xE5\xF2");
  }
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
