// One run from its files to its end, driven in one place for every front end: the files opened
// and checked (run_files.h), the known spells' source chosen (run_spells.h), the request run over
// the game (run.h), and, where the front end shows a member so, the chosen member's listing as it
// stands once the run has ended. The driver tells its listener what it meets and hands back one
// value that says everything about how the run went; it never prints. A front end calls it once
// and speaks of the report.
#ifndef GRIMTRIM_SPELLBOOK_DRIVER_H_
#define GRIMTRIM_SPELLBOOK_DRIVER_H_

#include <optional>
#include <string>
#include <vector>

#include "spellbook/folder_layout.h"
#include "spellbook/installed_spells.h"
#include "spellbook/run.h"
#include "spellbook/run_files.h"
#include "spellbook/settings.h"

// What a front end asks of one run.
struct RunRequest {
  Settings settings;
  std::string savePath;  // the save as given, as messages name it
  // The game's folder, whose files the run finds as the game does; nullptr: the three files a
  // configuration names (RunFileOpener::configuredPath()).
  FolderReader* folder = nullptr;
  std::string folderName;  // the game's folder as given, as messages name it
  // Also walk the chosen member's whole listing, without a level, over the save as the run left
  // it: for a front end that shows a member's spells beside what the run did.
  bool listsMemberAfter = false;
};

// A member's spell-book spells as its listing without a level walks them, and how that walk
// ended.
struct MemberListing {
  std::vector<KeptSpell> spells;
  RunOutcome end;
};

// How a run went. Views and names in it borrow the files `opener` opened: they stay valid as long
// as those do.
struct RunReport {
  // The file that could not be used. A run whose files failed their checks ends with it before
  // the report; a configured spell archive found not to inflate ends it after the report, whose
  // outcome then ends with RunEnd::ArchiveUnusable.
  std::optional<FileTrouble> trouble;
  bool reported = false;  // the files passed their checks and the request ran: `outcome` is its end
  RunOutcome outcome;
  StringTableChoice tableChoice;  // with a game's folder: the string table it holds
  // With a game's folder: the archives that could not be used, once each in the order met.
  std::vector<UnusableArchive> unusable;
  // With listsMemberAfter and a member chosen: the member's listing as it now stands.
  std::optional<MemberListing> memberAfter;
  // After a whack that shortens the save (WhackEnd::SaveShortened): the whole save as it is to
  // be written in place of the old one, which the run left as it was.
  std::vector<std::uint8_t> shorterSave;
};

// Opens the files `request` names through `opener` into `files`, in the order the command line
// checks them: the configured files or the game folder's, then the save. The first trouble, if
// any.
[[nodiscard]] std::optional<FileTrouble> openRunFiles(RunFileOpener& opener,
                                                      const RunRequest& request, RunFiles& files);

// Runs `request`: opens its files through `opener`, then runs its settings over them, telling
// `listener` of each member and kept spell. A whack stores into the save `opener` opened, which it
// opens writable for a run that may whack (editsSave()).
[[nodiscard]] RunReport driveRun(RunFileOpener& opener, const RunRequest& request,
                                 RunListener& listener);

#endif  // GRIMTRIM_SPELLBOOK_DRIVER_H_
