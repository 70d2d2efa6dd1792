// Where a game's folder keeps what a run needs, worked out from the names its folders hold: the
// index, the string table, the loose spells of the override folder and the archives the index
// names. Every front end's folder is laid out under these rules, a folder on disk or files handed
// over with their paths.
#ifndef GRIMTRIM_SPELLBOOK_FOLDER_LAYOUT_H_
#define GRIMTRIM_SPELLBOOK_FOLDER_LAYOUT_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/spell_archive.h"

// The names by which a game's folder keeps what a run needs; any case.
inline constexpr std::string_view kStringTableName = "dialog.tlk";
inline constexpr std::string_view kLanguagesFolder = "lang";  // lang/<language>/dialog.tlk
inline constexpr std::string_view kFirstLanguage = "en_US";   // taken where there are several
inline constexpr std::string_view kOverrideFolder = "override";
inline constexpr std::string_view kIndexEnding = ".key";
inline constexpr std::string_view kLooseSpellEnding = ".spl";
inline constexpr std::string_view kTextTableEnding = ".2da";

// The names a game's folder holds. Paths are relative to the game's folder, their parts joined
// with '/'; "" is the game's folder itself.
class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // The names of the files and folders in `folder`, in byte order; none when it cannot be
  // listed or is not a folder.
  [[nodiscard]] virtual const std::vector<std::string>& namesIn(const std::string& folder) = 0;
  // True when `path` names a file (a folder is not one).
  [[nodiscard]] virtual bool isFile(const std::string& path) = 0;
  // True when `path` names a file or a folder, looked at alone (no listing needed).
  [[nodiscard]] virtual bool exists(const std::string& path) = 0;
};

// A game's folder as a front end has it: its names, and its files read whole or, for an archive,
// a part at a time. Paths are relative to the game's folder as FolderListing's are.
class FolderReader : public FolderListing {
 public:
  // The whole file at `path` into `bytes` (empty before the call); false when it cannot be read.
  [[nodiscard]] virtual bool readWhole(const std::string& path,
                                       std::vector<std::uint8_t>& bytes) = 0;
  // The file at `path`, to be read only where a lookup asks; nullptr when it cannot be opened
  // or holds no bytes.
  [[nodiscard]] virtual std::unique_ptr<ArchiveBytes> openArchive(const std::string& path) = 0;
};

// `name` inside `folder`.
[[nodiscard]] std::string joinPath(const std::string& folder, std::string_view name);

// The path of the entry of `folder` named `name` regardless of ASCII case, the name as it stands
// first; nothing when there is none.
[[nodiscard]] std::optional<std::string> childNamed(FolderListing& listing,
                                                    const std::string& folder,
                                                    std::string_view name);

// The files at the game folder's top whose names end in ".key", any case: the index, when there
// is exactly one.
[[nodiscard]] std::vector<std::string> indexPaths(FolderListing& listing);

struct StringTableChoice {
  std::optional<std::string> path;  // nothing: the folder holds no string table
  std::size_t languages = 0;        // how many languages under lang/ hold one
  std::string language;             // the one used, when it is one of them
};

// "dialog.tlk" at the top, else "lang/<language>/dialog.tlk" of en_US where present, else of
// the first language in name order; any case throughout.
[[nodiscard]] StringTableChoice stringTableIn(FolderListing& listing);

// The file an archive path of the index names (either separator, any case), or nothing when
// there is none; a part "." or ".." is never followed, so no path leaves the game's folder.
[[nodiscard]] std::optional<std::string> archiveIn(FolderListing& listing, std::string_view path);

// The file that holds the archive an archive path of the index names: the file at that path
// (archiveIn()), else its ".cbf" file (compressedArchivePath()); nothing when neither is there.
[[nodiscard]] std::optional<std::string> archiveFileIn(FolderListing& listing,
                                                       std::string_view path);

// The loose files of the override folder whose names end in `ending` (kLooseSpellEnding, ...),
// any case: each by its name without that ending, folded to small letters. Of names that differ
// only in case, the first in byte order.
[[nodiscard]] std::map<std::string, std::string> looseFilesIn(FolderListing& listing,
                                                              std::string_view ending);

// The files a run finds first in a game's folder, in the order it needs them: the string table,
// then the index, which must be the only one.
struct FolderFiles {
  StringTableChoice table;
  std::vector<std::string> indexes;  // the ".key" files at the top
  // The index when there is exactly one.
  [[nodiscard]] std::optional<std::string> index() const {
    return indexes.size() == 1 ? std::optional<std::string>(indexes.front()) : std::nullopt;
  }
};
[[nodiscard]] FolderFiles folderFilesIn(FolderListing& listing);

#endif  // GRIMTRIM_SPELLBOOK_FOLDER_LAYOUT_H_
