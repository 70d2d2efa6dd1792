// grimtrim: lists a party's spell-book spells in a saved game and whacks one of them.
#include <cstdlib>

#include "app/help.h"
#include "app/mapped_file.h"
#include "app/settings.h"
#include "spellbook/spellbook.h"

int main(int argc, char** argv) {
  printBanner();
  if (argc < 3) {
    printUsage();
    printHelp();
    return EXIT_FAILURE;
  }
  if (!parseOptions(argc, argv, g_settings)) {
    printHelp();
    return EXIT_FAILURE;
  }
  // The options come first; the last two arguments are the files.
  openDataFiles(argv[argc - 1]);
  openSaveGame(argv[argc - 2], editsSave(g_settings));
  reportParty();
  closeAll();
  return EXIT_SUCCESS;
}
