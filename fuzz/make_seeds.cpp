// Writes the fuzz targets' seed corpora into a folder: the sample set and two small games, each
// file as one target's input, and the whole sets in the layout of the game set target.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/class_game.h"
#include "gamedata/compressed_out.h"
#include "gamedata/game_data.h"

namespace {

using gamedata::Bytes;
using gamedata::GameFiles;

// A caster with three level-1 spells and two memorization entries, laid out back to back.
gamedata::GameDef smallGame() {
  gamedata::GameDef game;
  game.unrelatedResources = 2;
  game.unrelatedFiles = 1;
  game.spells = {{"A1", "Aegis", 1},
                 {"A2", "Arc Light", 1},
                 {"A3", "Ashfall", 2},
                 {"B1", "Bane", 1, 2},
                 {"C1", "Cinder", 1, 1, true, false}};
  gamedata::MemberDef caster;
  caster.partyName = "Selwyn";
  caster.known = {"A1", "B1", "A2", "C1", "A3"};
  caster.memorization = {{.level = 0, .slots = 2, .firstIndex = 0, .count = 1, .type = 1},
                         {.level = 1, .slots = 1, .firstIndex = 1, .count = 1, .type = 1}};
  caster.memorized = {"A1", "A3"};
  gamedata::MemberDef named;
  named.creatureName = "Brother Aldric";
  named.known = {"A2"};
  game.party = {caster, named};
  return game;
}

// The same caster with no memorized spell and no memorization entry.
gamedata::GameDef bareGame() {
  gamedata::GameDef game = smallGame();
  game.party[0].memorization.clear();
  game.party[0].memorized.clear();
  game.party.resize(1);
  return game;
}

void append(Bytes& to, const Bytes& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

Bytes gameSet(const std::string& options, const GameFiles& files) {
  Bytes input(options.begin(), options.end());
  input.push_back('\n');
  for (const Bytes* file : {&files.stringTable, &files.spellArchive, &files.resourceIndex}) {
    gamedata::putU32(input, input.size(), static_cast<std::uint32_t>(file->size()));
  }
  append(input, files.stringTable);
  append(input, files.spellArchive);
  append(input, files.resourceIndex);
  append(input, files.save);
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: make_seeds FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::vector<std::pair<std::string, GameFiles>> sets = {
      {"sample", gamedata::buildGame(gamedata::sampleGame())},
      {"small", gamedata::buildGame(smallGame())},
      {"bare", gamedata::buildGame(bareGame())}};
  for (const char* target : {"save", "string_table", "resource_index", "spell_archive", "game_set",
                             "compressed_archive", "class_lists"})
    std::filesystem::create_directories(root / target);
  for (const auto& [name, files] : sets) {
    gamedata::writeFile(root / "save" / name, files.save);
    if (name == "bare") continue;  // its data files are the small game's
    gamedata::writeFile(root / "string_table" / name, files.stringTable);
    gamedata::writeFile(root / "resource_index" / name, files.resourceIndex);
    gamedata::writeFile(root / "spell_archive" / name, files.spellArchive);
  }
  // The sample's party in the family's other layouts, and a party that keeps spells by class.
  for (const auto& [name, format] :
       {std::pair{"long_header", gamedata::SaveFormat::LongHeader},
        std::pair{"longest_header", gamedata::SaveFormat::LongestHeader}}) {
    gamedata::GameDef game = gamedata::sampleGame();
    game.format = format;
    gamedata::writeFile(root / "save" / name, gamedata::buildGame(game).save);
  }
  gamedata::writeFile(root / "save" / "by_class", gamedata::buildGame(gamedata::classGame()).save);
  // The class game's save, and its spell table (plain and obfuscated) ahead of it.
  const gamedata::ClassGameFiles classes = gamedata::buildClassGame();
  gamedata::writeFile(root / "save" / "class_game", classes.save);
  for (const auto& [name, table] : {std::pair{"plain", gamedata::classSpellTable(false)},
                                    std::pair{"obfuscated", classes.overrideTable}}) {
    gamedata::Bytes seed;
    gamedata::putU32(seed, 0, static_cast<std::uint32_t>(table.size()));
    seed.insert(seed.end(), table.begin(), table.end());
    seed.insert(seed.end(), classes.save.begin(), classes.save.end());
    gamedata::writeFile(root / "class_lists" / name, seed);
  }
  const GameFiles& small = sets[1].second;
  // The small game's archive in both compressed forms, in blocks small enough to hold few entries.
  gamedata::writeFile(root / "compressed_archive" / "blocks",
                      gamedata::blockCompressed(small.spellArchive, 64));
  gamedata::writeFile(root / "compressed_archive" / "stream",
                      gamedata::streamCompressed(small.spellArchive, "SPELLS.BIF"));
  gamedata::writeFile(root / "game_set" / "party", gameSet("", sets[0].second));
  gamedata::writeFile(root / "game_set" / "levels", gameSet("-p0", small));
  gamedata::writeFile(root / "game_set" / "listing", gameSet("-p0 -s1", small));
  gamedata::writeFile(root / "game_set" / "whack", gameSet("-p0 -s1 -w2", small));
  gamedata::writeFile(root / "game_set" / "method0", gameSet("-f0 -p0 -s1 -w1", small));
  gamedata::writeFile(root / "game_set" / "unknown", gameSet("-f7 -p0 -s1 -w1", sets[2].second));
  return 0;
}
