// Writes a sample game set (string table, spell archive, resource index, saved game and
// configuration file) into a folder, for the demo, the tests' seeds and the benchmark. The sample
// set adds its party's saves in the family's other layouts.
#include <cstdio>
#include <cstring>
#include <exception>

#include "gamedata/class_game.h"
#include "gamedata/game_data.h"
#include "gamedata/installation.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::printf(
        "usage: make_sample FOLDER "
        "[sample|utf8|cyrillic|real|stress|large|installed|installed-large|"
        "installed-large-plain|classes|classes-large]\n");
    return 2;
  }
  const char* size = argc == 3 ? argv[2] : "sample";
  gamedata::GameDef game;
  if (std::strcmp(size, "sample") == 0) {
    game = gamedata::sampleGame();
  } else if (std::strcmp(size, "utf8") == 0 || std::strcmp(size, "cyrillic") == 0) {
    game = gamedata::localizedGame(std::strcmp(size, "utf8") == 0);
  } else if (std::strcmp(size, "real") == 0) {
    game = gamedata::scaledGame(20000, 2000, 60000, 60);
  } else if (std::strcmp(size, "stress") == 0) {
    game = gamedata::scaledGame(100000, 10000, 100000, 200);
  } else if (std::strcmp(size, "large") == 0) {
    // An index of the largest kind met: on it a pass over the index dominates a run.
    game = gamedata::scaledGame(410000, 10000, 100000, 200);
  } else if (std::strcmp(size, "installed") == 0 || std::strcmp(size, "installed-large") == 0 ||
             std::strcmp(size, "installed-large-plain") == 0) {
    // A whole game's folder rather than four files; "plain" without compressed archives, for
    // measuring what they cost.
    try {
      gamedata::writeInstallation(argv[1], std::strcmp(size, "installed") != 0,
                                  std::strcmp(size, "installed-large-plain") != 0);
    } catch (const std::exception& e) {
      std::printf("make_sample: %s\n", e.what());
      return 1;
    }
    return 0;
  } else if (std::strcmp(size, "classes") == 0 || std::strcmp(size, "classes-large") == 0) {
    // A game that keeps its spells in lists by class, as its folder holds it; "large" with a
    // spell table of 2,000 rows and a member who knows 300 of them.
    try {
      if (std::strcmp(size, "classes") == 0) {
        gamedata::writeClassGame(argv[1]);
      } else {
        gamedata::writeLargeClassGame(argv[1], 2000, 300);
      }
    } catch (const std::exception& e) {
      std::printf("make_sample: %s\n", e.what());
      return 1;
    }
    return 0;
  } else {
    std::printf("make_sample: unknown set \"%s\"\n", size);
    return 2;
  }
  try {
    gamedata::writeGame(argv[1], gamedata::buildGame(game));
    // The sample's party as the family's other games lay their saves out, beside its own.
    if (std::strcmp(size, "sample") == 0) gamedata::writeFamilySaves(argv[1]);
  } catch (const std::exception& e) {
    std::printf("make_sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
