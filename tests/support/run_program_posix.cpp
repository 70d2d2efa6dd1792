// Runs the program with fork and exec, its output and errors read through pipes.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/run_program.h"

std::string asPrinted(std::string_view text) {
  return std::string(text);
}

Started::Started(const std::filesystem::path& folder, const std::vector<std::string>& args,
                 const std::vector<std::string>& environment) {
  int outputEnds[2];
  int errorEnds[2];
  if (::pipe(outputEnds) != 0 || ::pipe(errorEnds) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> argv = {GRIMTRIM_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv)
    pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  std::vector<std::string> settings = environment;
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    // No standard input, as when CI runs it; output and errors into their pipes.
    const int nothing = ::open("/dev/null", O_RDONLY);
    ::dup2(nothing, 0);
    ::dup2(outputEnds[1], 1);
    ::dup2(errorEnds[1], 2);
    for (int end : {outputEnds[0], outputEnds[1], errorEnds[0], errorEnds[1]})
      ::close(end);
    for (std::string& setting : settings)
      ::putenv(setting.data());
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    ::execv(pointers[0], pointers.data());
    ::_exit(127);
  }
  ::close(outputEnds[1]);
  ::close(errorEnds[1]);
  process_ = child;
  output_ = outputEnds[0];
  errors_ = errorEnds[0];
}

Started::~Started() {
  if (output_ >= 0) static_cast<void>(wait());
}

bool Started::ended() {
  if (status_ >= 0) return true;
  int status = 0;
  if (::waitpid(static_cast<pid_t>(process_), &status, WNOHANG) != process_) return false;
  status_ = status;
  return true;
}

std::size_t Started::unread() const {
  int bytes = 0;
  if (output_ < 0 || ::ioctl(static_cast<int>(output_), FIONREAD, &bytes) != 0) return 0;
  return static_cast<std::size_t>(bytes);
}

RunResult Started::wait() {
  RunResult result;
  // Both pipes at once: a program that fills one while the other is read must not stall.
  pollfd ends[2] = {{static_cast<int>(output_), POLLIN, 0}, {static_cast<int>(errors_), POLLIN, 0}};
  std::string* into[2] = {&result.output, &result.errors};
  int open = 2;
  while (open > 0) {
    if (::poll(ends, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || ends[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = ::read(ends[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        into[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        ::close(ends[i].fd);
        ends[i].fd = -1;
        --open;
      }
    }
  }
  output_ = errors_ = -1;
  if (status_ < 0) ::waitpid(static_cast<pid_t>(process_), &status_, 0);
  result.status = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  return result;
}

bool errorsCollected() {
  return true;
}
