#include "run_session.h"

#include <utility>
#include <vector>

#include "answer.h"
#include "bridge_protocol.h"
#include "spellbook/run.h"
#include "spellbook/run_spells.h"
#include "text/file_messages.h"
#include "text/help.h"
#include "text/output.h"
#include "text/report_printer.h"

namespace {

View viewOf(const HandedFile& file) {
  return file.bytes == nullptr ? View{} : View{file.bytes.get(), file.size};
}

// The values of a run: each member line and each kept spell, as answer items.
class RunValues final : public RunListener {
 public:
  explicit RunValues(const View& stringTable) : stringTable_(stringTable) {}
  void member(const MemberLine& line) override {
    members_.member(line);
    ++memberCount_;
  }
  void kept(const KeptSpell& spell) override {
    spells_.spell(spell, stringTable_);
    ++spellCount_;
  }

  void putMembers(Answer& answer) const {
    answer.word(memberCount_);
    answer.append(members_);
  }
  // The part MemberSpells, from a walk of the member's whole listing that ended with `outcome`.
  void putSpells(Answer& answer, const RunOutcome& outcome) const {
    answer.word(spellCount_);
    answer.append(spells_);
    answer.word(static_cast<std::uint32_t>(outcome.end));
    TextOutput message;
    printStopMessage(outcome, message);
    answer.text(message.text());
  }

 private:
  View stringTable_;
  Answer members_;
  Answer spells_;
  std::uint32_t memberCount_ = 0;
  std::uint32_t spellCount_ = 0;
};

// The member's whole listing without a level is what the page shows of a member; a run that
// lists a level or whacks walks it again, over the save as the run left it.
bool listsWholeMember(const Settings& settings) {
  return settings.level == kNotGiven && settings.number == kNotGiven;
}

}  // namespace

RunSession::RunSession(HandedFile stringTable, HandedFile spellArchive, HandedFile resourceIndex,
                       HandedFile save)
    : configured_{std::move(stringTable), std::move(spellArchive), std::move(resourceIndex)},
      save_(std::move(save)) {}

RunSession::RunSession(std::string folderName, HeapBlock folder, std::uint32_t folderSize,
                       HandedFile save)
    : folderName_(std::move(folderName)),
      folderBytes_(std::move(folder)),
      folder_(std::make_unique<HandedFolder>()),
      save_(std::move(save)) {
  // A block the page built wrongly holds fewer files: the runs then say what they lack.
  static_cast<void>(folder_->read(View{folderBytes_.get(), folderBytes_ ? folderSize : 0}));
}

void RunSession::handSave(std::optional<std::string> name, HeapBlock bytes, std::uint32_t size) {
  if (name) save_.name = std::move(*name);
  save_.bytes = std::move(bytes);
  save_.size = size;
}

std::optional<std::string> RunSession::configuredPath(FileRole role) {
  // A file the player did not give stands as an empty line of the configuration does.
  return configured_[static_cast<std::size_t>(role)].name;
}

FileStep RunSession::open(FileRole role, const FilePlace& place, bool, View& view) {
  std::optional<View> bytes;
  if (role == FileRole::Save) {
    if (save_.bytes != nullptr) bytes = viewOf(save_);
  } else if (folder_) {
    bytes = folder_->whole(place.inFolder);
  } else if (configured_[static_cast<std::size_t>(role)].bytes != nullptr) {
    bytes = viewOf(configured_[static_cast<std::size_t>(role)]);
  }
  if (!bytes) return FileStep::NotOpened;
  // A file of 0 bytes has no mapping on disk.
  if (bytes->size == 0) return FileStep::NoMapping;
  view = *bytes;
  return FileStep::Ready;
}

std::optional<FileTrouble> RunSession::openFiles(const Settings& settings, RunFiles& files) {
  if (folder_) folder_->forgetNeeds();
  std::optional<FileTrouble> trouble = folder_
                                           ? openFolderFiles(*this, *folder_, folderName_, files)
                                           : openConfiguredFiles(*this, files);
  if (!trouble) trouble = openSaveFile(*this, save_.name, editsSave(settings), files);
  return trouble;
}

const std::uint8_t* RunSession::keep(std::uint8_t* answer) {
  answer_.reset(answer);
  return answer;
}

const std::uint8_t* RunSession::run(const Settings& settings) {
  TextOutput printed;
  printBanner(printed);
  RunFiles files;
  PartedAnswer answer;
  if (const std::optional<FileTrouble> trouble = openFiles(settings, files)) {
    TextOutput message;
    printFileTrouble(*trouble, message);
    printed.print("%s", message.text().c_str());
    answer[AnswerPart::Status].word(1);
    answer[AnswerPart::Printed].text(printed.text());
    answer[AnswerPart::FailedCheck].text(message.text());
    answer[AnswerPart::Outcome].outcome(RunOutcome{});
    const RunValues none(View{});
    none.putMembers(answer[AnswerPart::Members]);
    none.putSpells(answer[AnswerPart::MemberSpells], RunOutcome{});
    answer[AnswerPart::FolderNotes].folderNotes({}, folder_ ? folder_->needs().size() : 0);
    return keep(answer.release(kRunAnswer));
  }

  RunSpells source(files, folder_.get());
  const Game game{files.save, files.stringTable, &source.source()};

  ReportPrinter printer(game.stringTable, settings, printed);
  RunValues values(game.stringTable);
  BothListeners both(printer, values);
  const RunOutcome outcome = runRequest(game, settings, both);
  printer.finish(outcome);
  // A configured archive found not to inflate on the way: the command line gives up with the
  // archive's message and status 1, after what it printed until then.
  TextOutput gaveUp;
  if (outcome.end == RunEnd::ArchiveUnusable) {
    printFileTrouble({FileRole::SpellArchive, FileStep::CompressedUnreadable,
                      files.spellArchivePath, outcome.inflate},
                     gaveUp);
    printed.print("%s", gaveUp.text().c_str());
  }
  answer[AnswerPart::Status].word(outcome.end == RunEnd::ArchiveUnusable ? 1 : 0);
  answer[AnswerPart::Printed].text(printed.text());
  answer[AnswerPart::FailedCheck].text(gaveUp.text());
  answer[AnswerPart::Outcome].outcome(outcome);
  values.putMembers(answer[AnswerPart::Members]);
  Answer& spells = answer[AnswerPart::MemberSpells];
  if (settings.member == kNotGiven) {
    RunValues(View{}).putSpells(spells, RunOutcome{});
  } else if (listsWholeMember(settings)) {
    values.putSpells(spells, outcome);
  } else {
    RunValues listing(game.stringTable);
    const RunOutcome listed = runRequest(game, Settings{1, settings.member}, listing);
    listing.putSpells(spells, listed);
  }
  answer[AnswerPart::FolderNotes].folderNotes(source.unusable(),
                                              folder_ ? folder_->needs().size() : 0);
  return keep(answer.release(kRunAnswer));
}

const std::uint8_t* RunSession::party(HandedFile save) {
  // The string table as the runs find it; a table that fails its check names no one, as a
  // damaged one does.
  RunFiles files;
  HandedFile kept = std::exchange(save_, std::move(save));
  static_cast<void>(openFiles(Settings{}, files));
  const Game game{viewOf(save_), files.stringTable};
  RunValues values(game.stringTable);
  const RunOutcome outcome = runRequest(game, Settings{}, values);
  save_ = std::move(kept);
  PartedAnswer answer;
  values.putMembers(answer[AnswerPart::Members]);
  answer[AnswerPart::Outcome].outcome(outcome);
  return keep(answer.release(kPartyAnswer));
}
