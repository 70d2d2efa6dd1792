#include "run_session.h"

#include <cstring>
#include <utility>
#include <vector>

#include "answer.h"
#include "bridge_protocol.h"
#include "spellbook/driver.h"
#include "spellbook/run.h"
#include "text/file_messages.h"
#include "text/help.h"
#include "text/output.h"
#include "text/report_printer.h"

namespace {

// configured_ holds the three files a configuration names, each at its role's number.
static_assert(codeOf(FileRole::StringTable) < 3 && codeOf(FileRole::SpellArchive) < 3 &&
              codeOf(FileRole::ResourceIndex) < 3);

View viewOf(const HandedFile& file) {
  return file.bytes == nullptr ? View{} : View{file.bytes.get(), file.size};
}

// The members a run reads, as answer items.
class MemberValues final : public RunListener {
 public:
  void member(const MemberLine& line) override {
    members_.member(line);
    ++count_;
  }
  void kept(const KeptSpell&) override {}

  void put(Answer& answer) const {
    answer.word(count_);
    answer.append(members_);
  }

 private:
  Answer members_;
  std::uint32_t count_ = 0;
};

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

RunRequest RunSession::request(const Settings& settings) {
  if (folder_) folder_->forgetNeeds();
  RunRequest request;
  request.settings = settings;
  request.savePath = save_.name;
  request.folder = folder_.get();
  request.folderName = folderName_;
  request.listsMemberAfter = true;
  return request;
}

const std::uint8_t* RunSession::keep(std::uint8_t* answer) {
  answer_.reset(answer);
  return answer;
}

const std::uint8_t* RunSession::run(const Settings& settings) {
  TextOutput printed;
  printBanner(printed);
  ReportPrinter printer(settings, printed);
  MemberValues members;
  BothListeners both(printer, members);
  const RunReport report = driveRun(*this, request(settings), both);
  if (report.reported) printer.finish(report.outcome);
  // A save written anew shorter takes the old one's place, in the block that held it.
  if (!report.shorterSave.empty() && report.shorterSave.size() < save_.size) {
    std::memcpy(save_.bytes.get(), report.shorterSave.data(), report.shorterSave.size());
    save_.size = static_cast<std::uint32_t>(report.shorterSave.size());
  }
  // A file that cannot be used ends the command line's run with its message and status 1.
  TextOutput gaveUp;
  if (report.trouble) printFileTrouble(*report.trouble, gaveUp);
  printed.print("%s", gaveUp.text().c_str());

  PartedAnswer answer;
  answer[AnswerPart::Status].word(report.trouble ? 1 : 0);
  answer[AnswerPart::Printed].text(printed.text());
  answer[AnswerPart::FailedCheck].text(gaveUp.text());
  answer[AnswerPart::Outcome].outcome(report.outcome);
  members.put(answer[AnswerPart::Members]);
  answer[AnswerPart::MemberSpells].memberListing(report.memberAfter);
  answer[AnswerPart::FolderNotes].folderNotes(report.unusable,
                                              folder_ ? folder_->needs().size() : 0);
  answer[AnswerPart::SaveSize].word(save_.size);
  return keep(answer.release(kRunAnswer));
}

const std::uint8_t* RunSession::party(HandedFile save) {
  // The string table as the runs find it; a table that fails its check names no one, as a
  // damaged one does.
  RunFiles files;
  HandedFile kept = std::exchange(save_, std::move(save));
  static_cast<void>(openRunFiles(*this, request(Settings{}), files));
  const Game game{viewOf(save_), files.stringTable};
  MemberValues members;
  const RunOutcome outcome = runRequest(game, Settings{}, members);
  save_ = std::move(kept);
  PartedAnswer answer;
  members.put(answer[AnswerPart::Members]);
  answer[AnswerPart::Outcome].outcome(outcome);
  return keep(answer.release(kPartyAnswer));
}
