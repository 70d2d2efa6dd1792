#include "spellbook/driver.h"

#include <utility>

#include "spellbook/run_spells.h"

namespace {

// Hands each event on to the front end's listener and keeps the kept spells as values.
class KeepingListener final : public RunListener {
 public:
  explicit KeepingListener(RunListener& listener) : listener_(listener) {}
  void member(const MemberLine& line) override { listener_.member(line); }
  void kept(const KeptSpell& spell) override {
    listener_.kept(spell);
    spells_.push_back(spell);
  }
  [[nodiscard]] std::vector<KeptSpell> taken() { return std::move(spells_); }

 private:
  RunListener& listener_;
  std::vector<KeptSpell> spells_;
};

// A listener that hears nothing.
class NoListener final : public RunListener {
 public:
  void member(const MemberLine&) override {}
  void kept(const KeptSpell&) override {}
};

}  // namespace

std::optional<FileTrouble> openRunFiles(RunFileOpener& opener, const RunRequest& request,
                                        RunFiles& files) {
  std::optional<FileTrouble> trouble =
      request.folder != nullptr
          ? openFolderFiles(opener, *request.folder, request.folderName, files)
          : openConfiguredFiles(opener, files);
  if (!trouble)
    trouble = openSaveFile(opener, request.savePath, editsSave(request.settings), files);
  return trouble;
}

RunReport driveRun(RunFileOpener& opener, const RunRequest& request, RunListener& listener) {
  RunReport report;
  RunFiles files;
  report.trouble = openRunFiles(opener, request, files);
  report.tableChoice = files.tableChoice;
  if (report.trouble) return report;

  RunSpells spells(files, request.folder);
  const Game game{files.save, files.stringTable, &spells.source()};
  const Settings& settings = request.settings;
  // The member's whole listing is what the run walks when it lists no level and whacks nothing;
  // otherwise it is walked again once the run has ended, over the save as the run left it.
  const bool wantsListing = request.listsMemberAfter && settings.member != kNotGiven;
  const bool listsWhole = settings.level == kNotGiven && settings.number == kNotGiven;
  KeepingListener keeping(listener);
  report.outcome = runRequest(game, settings, wantsListing && listsWhole ? keeping : listener);
  report.reported = true;
  if (report.outcome.end == RunEnd::ArchiveUnusable) {
    report.trouble = FileTrouble{FileRole::SpellArchive, FileStep::CompressedUnreadable,
                                 files.spellArchivePath, report.outcome.inflate};
  }
  report.shorterSave = std::exchange(report.outcome.shorterSave, {});
  // The archives the request itself could not use: a front end's own listing after it reads no
  // more of the folder than it reports.
  report.unusable = spells.unusable();
  if (wantsListing) {
    if (listsWhole) {
      report.memberAfter = MemberListing{keeping.taken(), report.outcome};
    } else {
      NoListener none;
      KeepingListener listing(none);
      const View after = report.shorterSave.empty()
                             ? files.save
                             : View{report.shorterSave.data(), report.shorterSave.size()};
      const Game edited{after, files.stringTable, &spells.source()};
      const RunOutcome end = runRequest(edited, Settings{1, settings.member}, listing);
      report.memberAfter = MemberListing{listing.taken(), end};
    }
  }
  return report;
}
