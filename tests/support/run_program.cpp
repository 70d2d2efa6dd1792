#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

Started::Started(const std::filesystem::path& folder, const std::vector<std::string>& args) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> argv = {GRIMTRIM_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv)
    pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    // No standard input, as when CI runs it; output into the pipe.
    const int nothing = ::open("/dev/null", O_RDONLY);
    ::dup2(nothing, 0);
    ::dup2(pipeEnds[1], 1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  process_ = child;
  output_ = pipeEnds[0];
}

Started::~Started() {
  if (process_ > 0) static_cast<void>(wait());
}

RunResult Started::wait() {
  RunResult result;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(output_, buffer, sizeof buffer);
    if (got <= 0) break;
    result.output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(output_);
  int status = 0;
  ::waitpid(static_cast<pid_t>(process_), &status, 0);
  process_ = -1;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
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
