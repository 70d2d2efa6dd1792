// Arbitrary bytes as a spell table and a save that keeps its spells by class, read against the
// class game's valid index, archive and string table: the table's rows, every member's listing
// and, on a fresh copy each, whacks under both free-space methods. The input is the table's
// length (a dword), the table, then the save.
#include <cstring>
#include <span>

#include "fuzz_support.h"
#include "gamedata/class_game.h"
#include "spellbook/class_walk.h"
#include "spellbook/run.h"

namespace {

struct ClassData {
  gamedata::ClassGameFiles files = gamedata::buildClassGame();
};

ClassData& classData() {
  static ClassData* data = new ClassData;
  return *data;
}

// The class game's spells, and the fuzzed table as its spell table.
class FuzzedSource final : public SpellSource {
 public:
  FuzzedSource(const View& index, ArchiveBytes& archive, const View& table)
      : spells_(index, archive, "data/spells.bif"), table_(table) {}
  [[nodiscard]] std::vector<FoundSpell> find(std::span<const ResRef> names) override {
    return spells_.find(names);
  }

 protected:
  [[nodiscard]] std::optional<View> textTable(ResRef) override { return table_; }

 private:
  ConfiguredSpells spells_;
  View table_;
};

class NoListener final : public RunListener {
 public:
  void member(const MemberLine& line) override { sink_ = sink_ + fuzz::touch(line.name); }
  void kept(const KeptSpell& spell) override { sink_ = sink_ + fuzz::touch(spell.name); }

 private:
  volatile unsigned sink_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t tableLength = 0;
  std::memcpy(&tableLength, data, 4);
  const std::size_t rest = size - 4;
  const std::size_t length = tableLength < rest ? tableLength : rest;
  fuzz::Bytes table(data + 4, data + 4 + length);
  const fuzz::Bytes save(data + 4 + length, data + size);
  ClassData& fixed = classData();
  WholeArchive archive(fuzz::viewOf(fixed.files.archive));
  const View tableView = fuzz::viewOf(table);
  for (const Settings settings :
       {Settings{}, Settings{1, 0}, Settings{1, 1, 1}, Settings{1, 2, 2}, Settings{1, 0, 1, 1},
        Settings{0, 1, 1, 2}, Settings{7, 1, 3, 1}}) {
    fuzz::Bytes copy = save;
    FuzzedSource source(fuzz::viewOf(fixed.files.index), archive, tableView);
    const Game game{fuzz::viewOf(copy), fuzz::viewOf(fixed.files.stringTable), &source};
    NoListener listener;
    const RunOutcome outcome = runRequest(game, settings, listener);
    // A save written anew is 16 bytes shorter than the save, never longer.
    if (!outcome.shorterSave.empty() && outcome.shorterSave.size() + 16 != copy.size())
      std::abort();
  }
  return 0;
}
