// grimtrim: lists a party's spell-book spells in a saved game and whacks one of them.
#include <cstdlib>

#include "app/fatal.h"
#include "app/mapped_file.h"
#include "app/settings.h"
#include "text/help.h"
#include "text/output.h"
#include "text/report_printer.h"

int main(int argc, char** argv) {
  StandardOutput out;
  printBanner(out);
  if (argc < 3) {
    printUsage(out);
    printHelp(out);
    return finishOutput(EXIT_FAILURE);
  }
  Settings settings;
  if (!parseOptions(argc, argv, settings)) {
    printHelp(out);
    return finishOutput(EXIT_FAILURE);
  }
  // The options come first; the last two arguments are the files.
  OpenFiles files;
  openDataFiles(argv[argc - 1], files);
  openSaveGame(argv[argc - 2], editsSave(settings), files);
  reportParty(files.game(), settings, out);
  closeAll(files);
  return finishOutput(EXIT_SUCCESS);
}
