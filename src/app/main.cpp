// grimtrim: lists a party's spell-book spells in a saved game and whacks one of them.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "app/fatal.h"
#include "app/game_folder.h"
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

// Says on standard error, once each, which archives of the game's folder could not be used:
// their spells were passed over, as a spell missing from a configured archive is.
void reportUnusable(const std::vector<UnusableArchive>& archives) {
  for (const UnusableArchive& archive : archives) {
    const int length = static_cast<int>(archive.path.size());
    const char* path = archive.path.data();
    switch (archive.trouble) {
      case ArchiveTrouble::NotInTable:
        std::fprintf(stderr, "grimtrim: archive %u is not in the index's archive table\n",
                     archive.number);
        break;
      case ArchiveTrouble::Unreadable:
        std::fprintf(stderr, "grimtrim: archive <%.*s> is missing or cannot be read\n", length,
                     path);
        break;
      case ArchiveTrouble::NotAnArchive:
        std::fprintf(stderr, "grimtrim: <%.*s> is not an archive\n", length, path);
        break;
      case ArchiveTrouble::LacksEntry:
        std::fprintf(stderr, "grimtrim: archive <%.*s> lacks spells the index places in it\n",
                     length, path);
        break;
    }
  }
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
  // The options come first; the last two arguments are the save and either the configuration
  // file or the game's folder.
  OpenFiles files;
  std::unique_ptr<FolderOnDisk> folder;
  if (isFolder(argv[argc - 1])) {
    folder = std::make_unique<FolderOnDisk>(argv[argc - 1]);
    openGameFolder(*folder, files);
  } else {
    openDataFiles(argv[argc - 1], files);
  }
  openSaveGame(argv[argc - 2], editsSave(settings), files);
  Game game = files.game();
  std::optional<InstalledSpells> installed;
  if (folder) {
    installed.emplace(files.resourceIndex.view, *folder);
    game.installed = &*installed;
  }
  static_cast<void>(reportParty(game, settings, out));
  out.flush();
  if (installed) reportUnusable(installed->unusable());
  closeAll(files);
  folder.reset();
  return finish(out, EXIT_SUCCESS);
}
