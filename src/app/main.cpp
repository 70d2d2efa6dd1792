// grimtrim: lists a party's spell-book spells in a saved game and whacks one of them.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/fatal.h"
#include "app/folder_on_disk.h"
#include "app/open_files.h"
#include "app/options.h"
#include "app/platform_map.h"
#include "spellbook/installed_spells.h"
#include "spellbook/run.h"
#include "spellbook/run_files.h"
#include "spellbook/run_spells.h"
#include "text/file_messages.h"
#include "text/help.h"
#include "text/output.h"
#include "text/report_printer.h"

namespace {

// Writes out everything printed; the run's exit status.
int finish(StandardOutput& out, int status) {
  out.flush();
  return finishOutput(status);
}

// Gives up on a file the run cannot use, with its message.
[[noreturn]] void giveUp(const FileTrouble& trouble) {
  TextOutput message;
  printFileTrouble(trouble, message);
  fatal("%s", message.text().c_str());
}

// Says on standard error which language's string table is used, where the folder has several.
void noteLanguage(const StringTableChoice& table) {
  if (table.languages > 1) {
    std::fprintf(stderr, "grimtrim: using the string table of language %s, one of %u\n",
                 table.language.c_str(), static_cast<unsigned>(table.languages));
  }
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
      case ArchiveTrouble::Compressed:
        std::fprintf(stderr, "grimtrim: compressed archive <%.*s> %s\n", length, path,
                     inflateTroubleText(archive.inflate));
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
  const char* last = argv[argc - 1];
  OpenFiles files;
  RunFiles run;
  std::unique_ptr<FolderOnDisk> folder;
  if (isFolder(last)) {
    folder = std::make_unique<FolderOnDisk>(last);
    const std::optional<FileTrouble> trouble = openFolderFiles(files, *folder, last, run);
    noteLanguage(run.tableChoice);
    if (trouble) giveUp(*trouble);
  } else {
    if (!files.readConfiguration(last))
      giveUp({FileRole::Configuration, FileStep::NotOpened, last});
    if (const std::optional<FileTrouble> trouble = openConfiguredFiles(files, run))
      giveUp(*trouble);
    files.closeConfiguration();
  }
  if (const std::optional<FileTrouble> trouble =
          openSaveFile(files, argv[argc - 2], editsSave(settings), run)) {
    giveUp(*trouble);
  }

  // The known spells are found in the configured spell archive or in the game's folder.
  std::optional<RunSpells> spells;
  spells.emplace(run, folder.get());
  const Game game{run.save, run.stringTable, &spells->source()};

  ReportPrinter printer(game.stringTable, settings, out);
  const RunOutcome outcome = runRequest(game, settings, printer);
  printer.finish(outcome);
  out.flush();
  if (outcome.end == RunEnd::ArchiveUnusable) {
    giveUp({FileRole::SpellArchive, FileStep::CompressedUnreadable, run.spellArchivePath,
            outcome.inflate});
  }
  reportUnusable(spells->unusable());
  // The folder's archives are let go before the files the run opened.
  spells.reset();
  files.closeAll();
  return finish(out, EXIT_SUCCESS);
}
