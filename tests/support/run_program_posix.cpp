// Runs the program with fork and exec, its output read through a pipe.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/run_program.h"

std::string asPrinted(std::string_view text) {
  return std::string(text);
}

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
  const int output = static_cast<int>(output_);
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(output, buffer, sizeof buffer);
    if (got <= 0) break;
    result.output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(output);
  int status = 0;
  ::waitpid(static_cast<pid_t>(process_), &status, 0);
  process_ = -1;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
