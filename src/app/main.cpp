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
#include "spellbook/driver.h"
#include "text/file_messages.h"
#include "text/folder_notes.h"
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
  // A file cut short while mapped ends the run with a message; what the report printed until
  // then goes out too.
  writeOnCutShort(out.pending());

  // The options come first; the last two arguments are the save and either the configuration
  // file or the game's folder.
  const char* last = argv[argc - 1];
  OpenFiles files;
  std::unique_ptr<FolderOnDisk> folder;
  RunRequest request;
  request.settings = settings;
  request.savePath = argv[argc - 2];
  if (isFolder(last)) {
    folder = std::make_unique<FolderOnDisk>(last);
    request.folder = folder.get();
    request.folderName = last;
  } else if (!files.readConfiguration(last)) {
    out.flush();
    giveUp({FileRole::Configuration, FileStep::NotOpened, last});
  }

  ReportPrinter printer(settings, out);
  const RunReport report = driveRun(files, request, printer);
  ErrorOutput errors;
  printLanguageNote(report.tableChoice, errors);
  if (report.reported) printer.finish(report.outcome);
  // Giving up, and the closing that may give up too, print straight to standard output: what was
  // printed before goes out first.
  out.flush();
  if (report.trouble) giveUp(*report.trouble);
  for (const UnusableArchive& archive : report.unusable)
    printUnusableArchive(archive, errors);
  if (const std::optional<FileTrouble> unwritten = files.closeAll(report.shorterSave)) {
    giveUp(*unwritten);
  }
  return finish(out, EXIT_SUCCESS);
}
