// Runs the built grimtrim the way a user does, and captures what it printed.
#ifndef GRIMTRIM_TESTS_SUPPORT_RUN_PROGRAM_H_
#define GRIMTRIM_TESTS_SUPPORT_RUN_PROGRAM_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "gamedata/game_data.h"
#include "support/temp_folder.h"

// What the banner prints at the start of every run.
inline constexpr char kBanner[] =
    "\nOrvane's Grimtrim 1.01 -- whack spells a Vellmark character\n"
    "                                     has in his/her spell book\n\n";

// `text` as it comes out of the program's standard output, a text stream: on Windows each line
// feed goes out as CR LF, every other byte as it is.
[[nodiscard]] std::string asPrinted(std::string_view text);

// What a run prints: the banner, then `text`, as it comes out of standard output.
[[nodiscard]] std::string bannerThen(std::string_view text);

struct RunResult {
  std::string output;    // standard output, byte for byte
  std::string errors;    // standard error: the program writes none, a sanitizer its reports
  int status = -1;       // exit status; -1 when the program did not exit normally
  gamedata::Bytes save;  // the saved game's bytes afterwards (sample.gam), when there is one
};

// True where a run's standard error is collected into RunResult::errors; elsewhere it goes to the
// test's own.
[[nodiscard]] bool errorsCollected();

// Runs grimtrim with `args` from inside `folder`.
[[nodiscard]] RunResult runGrimtrim(const std::filesystem::path& folder,
                                    const std::vector<std::string>& args);

// Writes `files` into a fresh folder and runs grimtrim there with `options`, then the saved
// game's and the configuration file's names.
[[nodiscard]] RunResult runOn(const gamedata::GameFiles& files,
                              std::vector<std::string> options = {});

// A running grimtrim whose output is collected by wait(). Until then nothing reads its
// output, so a run that prints more than a pipe holds waits in its write for wait().
class Started {
 public:
  // `environment` holds NAME=VALUE settings added to the test's own environment.
  Started(const std::filesystem::path& folder, const std::vector<std::string>& args,
          const std::vector<std::string>& environment = {});
  ~Started();
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  // True once the program has ended; does not wait and reads none of its output.
  [[nodiscard]] bool ended();
  // Bytes of output the program has written that nobody has read yet.
  [[nodiscard]] std::size_t unread() const;
  [[nodiscard]] RunResult wait();

 private:
  std::intptr_t process_ = -1;  // the platform's process and pipe handles
  std::intptr_t output_ = -1;
  std::intptr_t errors_ = -1;
  int status_ = -1;  // the wait status, once ended() has seen the end
};

// The bytes of a file, or empty when it cannot be read.
[[nodiscard]] gamedata::Bytes readFile(const std::filesystem::path& path);

#endif  // GRIMTRIM_TESTS_SUPPORT_RUN_PROGRAM_H_
