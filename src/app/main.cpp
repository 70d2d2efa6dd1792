// grimtrim: lists a party's spell-book spells in a saved game and whacks one of them.
#include <cstdlib>

#include "app/fatal.h"
#include "app/open_files.h"
#include "app/options.h"
#include "app/platform_map.h"
#include "text/help.h"
#include "text/output.h"
#include "text/report_printer.h"

namespace {

// Writes out everything printed; the run's exit status.
int finish(StandardOutput& out, int status) {
  out.flush();
  return finishOutput(status);
}

}  // namespace

int main(int argc, char** argv) {
  StandardOutput out;
  printBanner(out);
  if (argc < 3) {
    printUsage(out);
    printHelp(out);
    return finish(out, EXIT_FAILURE);
  }
  Settings settings;
  if (!parseOptions(argc, argv, settings)) {
    printHelp(out);
    return finish(out, EXIT_FAILURE);
  }
  // Opening and closing the files may give up with a message of their own, printed straight to
  // standard output: what was printed before it goes out first.
  out.flush();
  // A file cut short while mapped ends the run with a message; what the report printed until
  // then goes out too.
  writeOnCutShort(out.pending());
  // The options come first; the last two arguments are the files.
  OpenFiles files;
  openDataFiles(argv[argc - 1], files);
  openSaveGame(argv[argc - 2], editsSave(settings), files);
  reportParty(files.game(), settings, out);
  out.flush();
  closeAll(files);
  return finish(out, EXIT_SUCCESS);
}
