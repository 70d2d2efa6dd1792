#include "text/file_messages.h"

namespace {

struct FileMessages {
  const char* location;                   // its line cannot be read from the configuration file
  const char* open;                       // %s: the path
  const char* mapping;                    // no mapping of the file (a file of 0 bytes has none)
  const char* signature;                  // %s: the path
  const char* notInFolder = nullptr;      // %s: the game's folder
  const char* severalInFolder = nullptr;  // %s: the game's folder
  const char* doesNotInflate = nullptr;   // %s: the path, then why
  const char* notWritten = nullptr;       // %s: the path
};

constexpr FileMessages kStringTable{
    "error reading .tlk file location", "Cannot open .tlk file <%s>",
    "Cannot create .tlk file mapping object",
    "<%s> is not a .tlk file, first chars are not \"TLK \"", "no dialog.tlk in game folder <%s>"};
constexpr FileMessages kSpellArchive{"error reading spell.bif file location",
                                     "Cannot open spell.bif file <%s>",
                                     "Cannot create spell.bif file mapping object",
                                     "<%s> is not a spell.bif file, first chars are not \"BIFF\"",
                                     nullptr,
                                     nullptr,
                                     "<%s> is a compressed spell.bif file that %s"};
constexpr FileMessages kResourceIndex{"error reading .key file location",
                                      "Cannot open .key file <%s>",
                                      "Cannot create .key file mapping object",
                                      "<%s> is not a .key file, first chars are not \"KEY \"",
                                      "no .key file in game folder <%s>",
                                      "more than one .key file in game folder <%s>"};
constexpr FileMessages kSaveGame{nullptr,
                                 "Cannot open save file <%s>",
                                 "Cannot create file mapping object",
                                 "<%s> is not a save file, first chars are not \"GAME\"",
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 "Cannot write save file <%s>"};
constexpr FileMessages kConfiguration{nullptr, "cannot open config <%s>", nullptr, nullptr};

// All four files share this one for a view that cannot be made.
constexpr const char* kViewMessage = "Cannot Map file <%s>, maybe too large";

const FileMessages& messagesOf(FileRole role) {
  switch (role) {
    case FileRole::StringTable:
      return kStringTable;
    case FileRole::SpellArchive:
      return kSpellArchive;
    case FileRole::ResourceIndex:
      return kResourceIndex;
    case FileRole::Save:
      return kSaveGame;
    case FileRole::Configuration:
      break;
  }
  return kConfiguration;
}

const char* formatOf(const FileMessages& messages, FileStep step) {
  switch (step) {
    case FileStep::NoLocation:
      return messages.location;
    case FileStep::NotOpened:
      return messages.open;
    case FileStep::NoMapping:
      return messages.mapping;
    case FileStep::NoView:
      return kViewMessage;
    case FileStep::WrongSignature:
      return messages.signature;
    case FileStep::NotInFolder:
      return messages.notInFolder;
    case FileStep::SeveralInFolder:
      return messages.severalInFolder;
    case FileStep::CompressedUnreadable:
      return messages.doesNotInflate;
    case FileStep::NotWritten:
      return messages.notWritten;
    case FileStep::Ready:
      break;
  }
  return nullptr;
}

}  // namespace

const char* inflateTroubleText(InflateTrouble trouble) {
  switch (trouble) {
    case InflateTrouble::BeyondFile:
      return "states lengths beyond its file";
    case InflateTrouble::TooLarge:
      return "states a length too large to inflate";
    case InflateTrouble::DoesNotInflate:
      return "does not inflate";
    case InflateTrouble::WrongLength:
      return "inflates to another length than it states";
    case InflateTrouble::HoldsNoArchive:
      return "does not hold an archive";
    case InflateTrouble::None:
      break;
  }
  return "can be read";
}

void printFileTrouble(const FileTrouble& trouble, Output& out) {
  const char* format = formatOf(messagesOf(trouble.role), trouble.step);
  if (format == nullptr) return;  // no such trouble befalls this file
  // Every format names at most the path (or the game's folder), then why.
  out.print(format, trouble.path.c_str(), inflateTroubleText(trouble.inflate));
}
