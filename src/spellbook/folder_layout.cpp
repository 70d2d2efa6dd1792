#include "spellbook/folder_layout.h"

#include <algorithm>

#include "formats/ascii.h"
#include "formats/resource_index.h"

std::string joinPath(const std::string& folder, std::string_view name) {
  return folder.empty() ? std::string(name) : folder + "/" + std::string(name);
}

std::optional<std::string> childNamed(FolderListing& listing, const std::string& folder,
                                      std::string_view name) {
  // The name as it stands is the usual case: one look at the file, no listing of the folder.
  const std::string exact = joinPath(folder, name);
  if (listing.exists(exact)) return exact;
  const std::string wanted = foldedText(name);
  for (const std::string& entry : listing.namesIn(folder)) {
    if (foldedText(entry) == wanted) return joinPath(folder, entry);
  }
  return std::nullopt;
}

std::vector<std::string> indexPaths(FolderListing& listing) {
  std::vector<std::string> paths;
  for (const std::string& name : listing.namesIn("")) {
    if (endsWithIgnoringCase(name, kIndexEnding) && listing.isFile(name)) paths.push_back(name);
  }
  return paths;
}

StringTableChoice stringTableIn(FolderListing& listing) {
  StringTableChoice choice;
  if (const auto top = childNamed(listing, "", kStringTableName); top && listing.isFile(*top)) {
    choice.path = top;
    return choice;
  }
  const std::optional<std::string> lang = childNamed(listing, "", kLanguagesFolder);
  if (!lang) return choice;
  for (const std::string& name : listing.namesIn(*lang)) {
    const auto table = childNamed(listing, joinPath(*lang, name), kStringTableName);
    if (!table || !listing.isFile(*table)) continue;
    ++choice.languages;
    // en_US where present, else the first in name order.
    if (!choice.path || (equalIgnoringCase(name, kFirstLanguage) &&
                         !equalIgnoringCase(choice.language, kFirstLanguage))) {
      choice.path = table;
      choice.language = name;
    }
  }
  return choice;
}

std::optional<std::string> archiveIn(FolderListing& listing, std::string_view path) {
  std::string at;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
    const std::string_view part = path.substr(start, end - start);
    if (part == ".." || part == ".") return std::nullopt;
    if (!part.empty()) {
      const std::optional<std::string> child = childNamed(listing, at, part);
      if (!child) return std::nullopt;
      at = *child;
    }
    start = end + 1;
  }
  if (at.empty() || !listing.isFile(at)) return std::nullopt;
  return at;
}

std::optional<std::string> archiveFileIn(FolderListing& listing, std::string_view path) {
  if (std::optional<std::string> file = archiveIn(listing, path)) return file;
  return archiveIn(listing, compressedArchivePath(path));
}

std::map<std::string, std::string> looseFilesIn(FolderListing& listing, std::string_view ending) {
  std::map<std::string, std::string> files;
  const std::optional<std::string> folder = childNamed(listing, "", kOverrideFolder);
  if (!folder) return files;
  for (const std::string& name : listing.namesIn(*folder)) {
    if (!endsWithIgnoringCase(name, ending)) continue;
    // Names are met in byte order: of several that differ only in case, the first stays.
    files.try_emplace(foldedText(name.substr(0, name.size() - ending.size())),
                      joinPath(*folder, name));
  }
  return files;
}

FolderFiles folderFilesIn(FolderListing& listing) {
  return {stringTableIn(listing), indexPaths(listing)};
}
