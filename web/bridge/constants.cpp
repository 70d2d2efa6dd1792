// What the page asks once, when it starts: how to tell the four kinds of file apart, the layout
// of what crosses between it and the core (bridge_protocol.h), every code it decides by, and the
// conventions of the core that its texts and requests speak of.
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "answer.h"
#include "bridge_protocol.h"
#include "formats/compressed_archive.h"
#include "formats/resource_index.h"
#include "spellbook/folder_layout.h"
#include "spellbook/settings.h"
#include "text/report_printer.h"

namespace {

// Each code's name, by which the page words it. Every switch names every code and has no
// default, so that a code added without a name fails the build; nullptr for a number no code has.
constexpr const char* nameOf(RunEnd code) {
  switch (code) {
    case RunEnd::Completed:
      return "Completed";
    case RunEnd::Whacked:
      return "Whacked";
    case RunEnd::MemberOutsideSave:
      return "MemberOutsideSave";
    case RunEnd::NoCreature:
      return "NoCreature";
    case RunEnd::KnownOutsideSave:
      return "KnownOutsideSave";
    case RunEnd::NameNotInIndex:
      return "NameNotInIndex";
    case RunEnd::NotASpell:
      return "NotASpell";
    case RunEnd::ArchiveUnusable:
      return "ArchiveUnusable";
    case RunEnd::NoSpellTable:
      return "NoSpellTable";
    case RunEnd::NumberNotInTable:
      return "NumberNotInTable";
  }
  return nullptr;
}

constexpr const char* nameOf(WhackEnd code) {
  switch (code) {
    case WhackEnd::LeftDuplicate:
      return "LeftDuplicate";
    case WhackEnd::Shrunk:
      return "Shrunk";
    case WhackEnd::KnownNotBeforeMemorization:
      return "KnownNotBeforeMemorization";
    case WhackEnd::MemorizationNotBeforeMemorized:
      return "MemorizationNotBeforeMemorized";
    case WhackEnd::SectionsOutsideSave:
      return "SectionsOutsideSave";
    case WhackEnd::NoMemorizedSpell:
      return "NoMemorizedSpell";
    case WhackEnd::NoLevelOneEntry:
      return "NoLevelOneEntry";
    case WhackEnd::LeftZeroedCopy:
      return "LeftZeroedCopy";
    case WhackEnd::SaveShortened:
      return "SaveShortened";
  }
  return nullptr;
}

constexpr const char* nameOf(ArchiveTrouble code) {
  switch (code) {
    case ArchiveTrouble::NotInTable:
      return "NotInTable";
    case ArchiveTrouble::Unreadable:
      return "Unreadable";
    case ArchiveTrouble::NotAnArchive:
      return "NotAnArchive";
    case ArchiveTrouble::LacksEntry:
      return "LacksEntry";
    case ArchiveTrouble::Compressed:
      return "Compressed";
  }
  return nullptr;
}

constexpr const char* nameOf(InflateTrouble code) {
  switch (code) {
    case InflateTrouble::None:
      return "None";
    case InflateTrouble::BeyondFile:
      return "BeyondFile";
    case InflateTrouble::TooLarge:
      return "TooLarge";
    case InflateTrouble::DoesNotInflate:
      return "DoesNotInflate";
    case InflateTrouble::WrongLength:
      return "WrongLength";
    case InflateTrouble::HoldsNoArchive:
      return "HoldsNoArchive";
  }
  return nullptr;
}

constexpr const char* nameOf(FileRole code) {
  switch (code) {
    case FileRole::StringTable:
      return "StringTable";
    case FileRole::SpellArchive:
      return "SpellArchive";
    case FileRole::ResourceIndex:
      return "ResourceIndex";
    case FileRole::Save:
      return "Save";
    case FileRole::Configuration:
      return "Configuration";
  }
  return nullptr;
}

constexpr const char* nameOf(FileStep code) {
  switch (code) {
    case FileStep::Ready:
      return "Ready";
    case FileStep::NoLocation:
      return "NoLocation";
    case FileStep::NotOpened:
      return "NotOpened";
    case FileStep::NoMapping:
      return "NoMapping";
    case FileStep::NoView:
      return "NoView";
    case FileStep::WrongSignature:
      return "WrongSignature";
    case FileStep::NotInFolder:
      return "NotInFolder";
    case FileStep::SeveralInFolder:
      return "SeveralInFolder";
    case FileStep::CompressedUnreadable:
      return "CompressedUnreadable";
    case FileStep::NotWritten:
      return "NotWritten";
  }
  return nullptr;
}

constexpr const char* nameOf(AnswerPart code) {
  switch (code) {
    case AnswerPart::Status:
      return "Status";
    case AnswerPart::Printed:
      return "Printed";
    case AnswerPart::FailedCheck:
      return "FailedCheck";
    case AnswerPart::Outcome:
      return "Outcome";
    case AnswerPart::Members:
      return "Members";
    case AnswerPart::MemberSpells:
      return "MemberSpells";
    case AnswerPart::FolderNotes:
      return "FolderNotes";
    case AnswerPart::SaveSize:
      return "SaveSize";
  }
  return nullptr;
}

// A class whose list holds a spell, by the name the listings show (report_printer.h).
constexpr const char* nameOf(SpellClass code) {
  switch (code) {
    case SpellClass::None:
      return "None";
    case SpellClass::Bard:
    case SpellClass::Cleric:
    case SpellClass::Druid:
    case SpellClass::Paladin:
    case SpellClass::Ranger:
    case SpellClass::Sorcerer:
    case SpellClass::Wizard:
    case SpellClass::Domain:
      return spellClassName(code);
  }
  return nullptr;
}

template <typename Code>
constexpr const char* nameOfNumber(std::uint32_t number) {
  return nameOf(static_cast<Code>(number));
}

// How many of a table's numbers have a name; and whether no two of them share one, which would
// leave the page's table of that name with one code only.
template <typename Code>
constexpr std::uint32_t namedCount() {
  std::uint32_t count = 0;
  for (std::uint32_t number = 0; number < kCodeNumbers; ++number)
    count += nameOfNumber<Code>(number) != nullptr ? 1 : 0;
  return count;
}
template <typename Code>
constexpr bool namesDistinct() {
  for (std::uint32_t a = 0; a < kCodeNumbers; ++a) {
    for (std::uint32_t b = a + 1; b < kCodeNumbers; ++b) {
      const char* first = nameOfNumber<Code>(a);
      const char* second = nameOfNumber<Code>(b);
      if (first != nullptr && second != nullptr && std::string_view(first) == second) return false;
    }
  }
  return true;
}
static_assert(namesDistinct<RunEnd>() && namesDistinct<WhackEnd>() &&
              namesDistinct<ArchiveTrouble>() && namesDistinct<InflateTrouble>() &&
              namesDistinct<FileRole>() && namesDistinct<FileStep>() &&
              namesDistinct<AnswerPart>());

// A table's codes: their count, then each one's number and name, by number.
template <typename Code>
void writeCodes(Answer& answer) {
  answer.word(namedCount<Code>());
  for (std::uint32_t number = 0; number < kCodeNumbers; ++number) {
    if (const char* name = nameOfNumber<Code>(number)) {
      answer.word(number);
      answer.text(name);
    }
  }
}

struct CodeTable {
  std::string_view name;
  void (*write)(Answer&);
};
constexpr CodeTable kCodeTables[] = {
    {"RunEnd", writeCodes<RunEnd>},
    {"WhackEnd", writeCodes<WhackEnd>},
    {"ArchiveTrouble", writeCodes<ArchiveTrouble>},
    {"InflateTrouble", writeCodes<InflateTrouble>},
    {"FileRole", writeCodes<FileRole>},
    {"FileStep", writeCodes<FileStep>},
    {"AnswerPart", writeCodes<AnswerPart>},
    {"SpellClass", writeCodes<SpellClass>},
};

// The name by which the page's requests give the value an option sets, as run() takes them.
constexpr const char* optionName(std::int32_t Settings::*field) {
  if (field == &Settings::method) return "method";
  if (field == &Settings::member) return "member";
  if (field == &Settings::level) return "level";
  if (field == &Settings::number) return "number";
  return nullptr;
}
constexpr bool everyOptionNamed() {
  for (const OptionLetter& option : kOptionLetters) {
    if (optionName(option.field) == nullptr) return false;
  }
  return true;
}
static_assert(everyOptionNamed(), "an option the page cannot ask for");

}  // namespace

extern "C" {

// Answer: each kind's signatures, in the order of kHandedRoles (the order the command line
// checks the files), each a count and texts: one, but for a spell archive also its compressed
// forms', and for a save an exported character's; how many first bytes of a file the page reads
// (enough for a signature and an archive's header); the handed folder's flags kUnreadable and
// kSizeKnown; the parts of gt_run's answer and of gt_party's, each a count and the parts in order;
// the code tables, a count and each its name and its codes (writeCodes); the value of an option not
// given (signed), the default method (signed) and kNoLocator; the option letters in the order the
// help lists them, a count and each its letter and the name of the value it sets (texts); the names
// a game's folder keeps things by, kStringTableName, kOverrideFolder, kIndexEnding,
// kLooseSpellEnding and kCompressedArchiveEnding (texts); and the most a compressed archive and one
// of its blocks may inflate to (long words). The caller frees it.
std::uint8_t* gt_constants() {
  Answer answer;
  for (std::size_t i = 0; i < std::size(kHandedRoles); ++i) {
    const char* signature = kHandedSignatures[i];
    if (kHandedRoles[i] == FileRole::SpellArchive) {
      answer.word(static_cast<std::uint32_t>(1 + std::size(kCompressedArchiveSignatures)));
      answer.text(std::string_view(signature, kSignatureSize));
      for (const char* compressed : kCompressedArchiveSignatures)
        answer.text(std::string_view(compressed, kFormSignatureSize));
    } else if (kHandedRoles[i] == FileRole::Save) {
      answer.word(static_cast<std::uint32_t>(1 + std::size(kOtherSaveSignatures)));
      answer.text(std::string_view(signature, kSignatureSize));
      for (const char* other : kOtherSaveSignatures)
        answer.text(std::string_view(other, kSignatureSize));
    } else {
      answer.word(1);
      answer.text(std::string_view(signature, kSignatureSize));
    }
  }
  answer.word(static_cast<std::uint32_t>(kHeadSize));
  answer.word(kUnreadable);
  answer.word(kSizeKnown);
  for (const auto& order :
       {std::span<const AnswerPart>(kRunAnswer), std::span<const AnswerPart>(kPartyAnswer)}) {
    answer.word(static_cast<std::uint32_t>(order.size()));
    for (const AnswerPart part : order)
      answer.word(codeOf(part));
  }
  answer.word(static_cast<std::uint32_t>(std::size(kCodeTables)));
  for (const CodeTable& table : kCodeTables) {
    answer.text(table.name);
    table.write(answer);
  }
  answer.signedWord(kNotGiven);
  answer.signedWord(Settings{}.method);
  answer.word(kNoLocator);
  answer.word(static_cast<std::uint32_t>(std::size(kOptionLetters)));
  for (const OptionLetter& option : kOptionLetters) {
    answer.text(std::string_view(&option.letter, 1));
    answer.text(optionName(option.field));
  }
  for (const std::string_view name : {kStringTableName, kOverrideFolder, kIndexEnding,
                                      kLooseSpellEnding, kCompressedArchiveEnding})
    answer.text(name);
  answer.longWord(kMostInflated);
  answer.longWord(kMostBlockInflated);
  return answer.release();
}

}  // extern "C"
