// What the page must still read of a game's folder before its runs see what the command line
// sees: the folder laid out as the core lays it out, and the lookups of the party's spells made
// over the parts read so far, each byte they lacked written down as a need.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "answer.h"
#include "bridge_protocol.h"
#include "formats/creature.h"
#include "formats/resource_index.h"
#include "formats/signatures.h"
#include "handed_folder.h"
#include "spellbook/folder_layout.h"
#include "spellbook/game_folder.h"
#include "spellbook/installed_spells.h"
#include "spellbook/party.h"

namespace {

// How many archives of the index's archive table the folder holds at their paths, or as ".cbf"
// files beside them.
std::uint32_t archivesHeld(FolderListing& folder, const View& index) {
  std::uint32_t held = 0;
  // No more than the table inside the index can hold: no count the index holds makes this long.
  const std::uint64_t count = archiveCount(index);
  for (std::uint64_t number = 0; number < count; ++number) {
    const std::string_view path = archivePath(index, static_cast<std::uint32_t>(number));
    if (!path.empty() && archiveFileIn(folder, path)) ++held;
  }
  return held;
}

// Looks up the known spells of every member of `save` (up to kMostScoredSpells names in all) in
// `folder` through `index`, so that the folder notes what it lacks.
void lookUpParty(const View& save, const View& index, HandedFolder& folder) {
  GameFolder lookups(folder);
  InstalledSpells installed(index, lookups);
  std::vector<ResRef> names;
  std::unordered_set<ResRef> seen;
  for (const MemberSpellNames& member :
       partySpellNames(Game{save, View{}, &installed}, kMostScoredSpells)) {
    for (const ResRef name : member.names) {
      if (seen.insert(name).second) names.push_back(name);
    }
  }
  static_cast<void>(installed.find(names));
}

}  // namespace

extern "C" {

// What the page must still read of a game's folder (a block, handed_folder.h) for the party of
// `save`: the string table and the index whole, for a member who keeps spells by class the spell
// table (loose, or its archive's part), and for every member's known spells the loose spells
// whole and of each archive its header, file table and the spell headers they resolve.
// Each answer asks for the next step's bytes; none asked means the page holds all it needs.
// Answer: whether the folder has a string table and its path, the count of .key files at its
// top and their paths, how many archives the index names that the folder holds (0 without one
// index held whole), then the count of needs and each one's path, whether it is the whole file,
// and its offset and length as two words each. Both blocks stay the caller's; it frees the
// answer.
std::uint8_t* gt_folder_needs(const std::uint8_t* save, std::uint32_t saveSize,
                              const std::uint8_t* block, std::uint32_t blockSize) {
  HandedFolder folder;
  static_cast<void>(
      folder.read(block == nullptr ? View{} : View{const_cast<std::uint8_t*>(block), blockSize}));
  Answer answer;
  const FolderFiles found = folderFilesIn(folder);
  answer.word(found.table.path ? 1 : 0);
  answer.text(found.table.path.value_or(std::string()));
  if (found.table.path) static_cast<void>(folder.whole(*found.table.path));
  answer.word(static_cast<std::uint32_t>(found.indexes.size()));
  for (const std::string& path : found.indexes)
    answer.text(path);
  const std::optional<View> index = found.index() ? folder.whole(*found.index()) : std::nullopt;
  answer.word(index ? archivesHeld(folder, *index) : 0);
  const View saveView = save == nullptr ? View{} : View{const_cast<std::uint8_t*>(save), saveSize};
  if (index && isSaveFile(saveView)) {
    lookUpParty(saveView, *index, folder);
  }
  answer.word(static_cast<std::uint32_t>(folder.needs().size()));
  for (const FolderNeed& need : folder.needs()) {
    answer.text(need.path);
    answer.word(need.whole ? 1 : 0);
    answer.longWord(need.offset);
    answer.longWord(need.length);
  }
  return answer.release();
}

}  // extern "C"
