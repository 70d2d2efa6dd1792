#include "spellbook/run_files.h"

#include <vector>

#include "formats/compressed_archive.h"
#include "formats/signatures.h"

namespace {

const char* signatureOf(FileRole role) {
  switch (role) {
    case FileRole::StringTable:
      return kStringTableSignature;
    case FileRole::SpellArchive:
      return kSpellArchiveSignature;
    case FileRole::ResourceIndex:
      return kResourceIndexSignature;
    case FileRole::Save:
    case FileRole::Configuration:
      break;
  }
  return kSaveGameSignature;
}

// Opens the file of `role` at `place` into `view` and checks that it begins with its kind's
// signature; a file shorter than the signature fails without a byte past its end being read.
std::optional<FileTrouble> openChecked(RunFileOpener& opener, FileRole role, const FilePlace& place,
                                       bool writable, View& view) {
  const FileStep step = opener.open(role, place, writable, view);
  if (step != FileStep::Ready) return FileTrouble{role, step, place.path};
  const bool fits = role == FileRole::SpellArchive ? isArchiveFile(view)
                    : role == FileRole::Save
                        ? isSaveFile(view)
                        : hasSignature(view, 0, signatureOf(role), kSignatureSize);
  if (!fits) return FileTrouble{role, FileStep::WrongSignature, place.path};
  return std::nullopt;
}

std::optional<FileTrouble> openConfigured(RunFileOpener& opener, FileRole role, View& view,
                                          std::string* path = nullptr) {
  const std::optional<std::string> configured = opener.configuredPath(role);
  if (!configured) return FileTrouble{role, FileStep::NoLocation, {}};
  if (path != nullptr) *path = *configured;
  return openChecked(opener, role, {*configured, {}}, false, view);
}

std::optional<FileTrouble> openInFolder(RunFileOpener& opener, FileRole role,
                                        const std::string& folderName, const std::string& inFolder,
                                        View& view) {
  return openChecked(opener, role, {folderName + "/" + inFolder, inFolder}, false, view);
}

}  // namespace

std::optional<FileTrouble> openConfiguredFiles(RunFileOpener& opener, RunFiles& files) {
  if (auto trouble = openConfigured(opener, FileRole::StringTable, files.stringTable)) {
    return trouble;
  }
  if (auto trouble = openConfigured(opener, FileRole::SpellArchive, files.spellArchive,
                                    &files.spellArchivePath)) {
    return trouble;
  }
  files.archive = readableArchive(std::make_unique<WholeArchive>(files.spellArchive));
  // A compressed archive is looked into now, as far as its header: one that cannot be read is
  // refused here as a file of the wrong kind is.
  const InflateTrouble inflate = unusableBecause(*files.archive);
  if (inflate != InflateTrouble::None) {
    return FileTrouble{FileRole::SpellArchive, FileStep::CompressedUnreadable,
                       files.spellArchivePath, inflate};
  }
  return openConfigured(opener, FileRole::ResourceIndex, files.resourceIndex);
}

std::optional<FileTrouble> openFolderFiles(RunFileOpener& opener, FolderListing& folder,
                                           const std::string& folderName, RunFiles& files) {
  const FolderFiles found = folderFilesIn(folder);
  files.tableChoice = found.table;
  if (!found.table.path) {
    return FileTrouble{FileRole::StringTable, FileStep::NotInFolder, folderName};
  }
  if (auto trouble = openInFolder(opener, FileRole::StringTable, folderName, *found.table.path,
                                  files.stringTable)) {
    return trouble;
  }
  if (!found.index()) {
    return FileTrouble{FileRole::ResourceIndex,
                       found.indexes.empty() ? FileStep::NotInFolder : FileStep::SeveralInFolder,
                       folderName};
  }
  return openInFolder(opener, FileRole::ResourceIndex, folderName, *found.index(),
                      files.resourceIndex);
}

std::optional<FileTrouble> openSaveFile(RunFileOpener& opener, const std::string& path,
                                        bool writable, RunFiles& files) {
  return openChecked(opener, FileRole::Save, {path, {}}, writable, files.save);
}
