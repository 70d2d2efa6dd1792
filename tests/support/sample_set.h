// A folder holding the sample game set, for damaging one of its files and running on it.
#ifndef GRIMTRIM_TESTS_SUPPORT_SAMPLE_SET_H_
#define GRIMTRIM_TESTS_SUPPORT_SAMPLE_SET_H_

#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/game_data.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

class SampleSet {
 public:
  SampleSet() { gamedata::writeGame(folder_.path(), gamedata::buildGame(gamedata::sampleGame())); }
  std::filesystem::path operator/(const char* name) const { return folder_ / name; }
  [[nodiscard]] const std::filesystem::path& path() const { return folder_.path(); }
  // Runs grimtrim with `options`, then the saved game's and the configuration file's names.
  RunResult run(std::vector<std::string> options = {}) const {
    options.push_back(gamedata::kSaveName);
    options.push_back(gamedata::kConfigName);
    return runGrimtrim(folder_.path(), options);
  }

 private:
  TempFolder folder_;
};

#endif  // GRIMTRIM_TESTS_SUPPORT_SAMPLE_SET_H_
