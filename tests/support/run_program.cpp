#include "support/run_program.h"

#include <fstream>
#include <iterator>

std::string bannerThen(std::string_view text) {
  return asPrinted(std::string(kBanner) + std::string(text));
}

RunResult runGrimtrim(const std::filesystem::path& folder, const std::vector<std::string>& args) {
  RunResult result = Started(folder, args).wait();
  result.save = readFile(folder / gamedata::kSaveName);
  return result;
}

RunResult runOn(const gamedata::GameFiles& files, std::vector<std::string> options) {
  TempFolder folder;
  gamedata::writeGame(folder.path(), files);
  options.push_back(gamedata::kSaveName);
  options.push_back(gamedata::kConfigName);
  return runGrimtrim(folder.path(), options);
}

gamedata::Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return gamedata::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
