// What the fuzz targets share: quiet output, a valid game set to read against, and runs of the
// party report over views set directly, as the driver sets them once the files are checked.
#ifndef GRIMTRIM_FUZZ_FUZZ_SUPPORT_H_
#define GRIMTRIM_FUZZ_FUZZ_SUPPORT_H_

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/settings.h"
#include "formats/resource_index.h"
#include "formats/save_game.h"
#include "formats/string_table.h"
#include "gamedata/game_data.h"
#include "spellbook/spellbook.h"

namespace fuzz {

using gamedata::Bytes;

// The report prints everything on standard output; formatting it still runs, but writing it to
// a terminal or a log would slow every input down.
inline void quietOutput() {
  const int nothing = ::open("/dev/null", O_WRONLY);
  if (nothing >= 0) ::dup2(nothing, STDOUT_FILENO);
}

// The sample game set, built once: the fixed, valid files the targets read one damaged file
// against.
inline const gamedata::GameFiles& sample() {
  static const gamedata::GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  return files;
}

// Copies of the sample's files that the views may point at. Each is a block of its own, so
// the address sanitizer reports a read one byte past its end.
struct DataFiles {
  Bytes stringTable = sample().stringTable;
  Bytes spellArchive = sample().spellArchive;
  Bytes resourceIndex = sample().resourceIndex;
};

inline void useView(View& view, Bytes& bytes) {
  view = View{bytes.data(), bytes.size()};
}

// Quiets the output and points the three data views at the sample's valid files, once for the
// whole run; a target then points the view it fuzzes at each input.
inline void startWithSampleData() {
  quietOutput();
  static DataFiles* files = new DataFiles;
  useView(g_stringTableView, files->stringTable);
  useView(g_spellArchiveView, files->spellArchive);
  useView(g_resourceIndexView, files->resourceIndex);
}

// Runs the report with these option values, flushing the output so that a crash is not
// blamed on a later input.
inline void report(std::int32_t member, std::int32_t level, std::int32_t number,
                   std::int32_t method) {
  g_settings = Settings{method, member, level, number};
  reportParty();
  std::fflush(stdout);
}

// Whacks spell `number` of `level` from party record `member` of a fresh writable copy of
// `save`, then checks what a whack may never do: change the file's size or any byte outside
// the member's spell sections and their fields. A breach ends the run as a finding.
inline void whackCopy(const Bytes& save, std::int32_t member, std::int32_t level,
                      std::int32_t number, std::int32_t method) {
  Bytes edited = save;
  useView(g_saveGameView, edited);
  report(member, level, number, method);
  g_saveGameView = View{};
  const std::int64_t outside =
      gamedata::changeOutside(save, edited, gamedata::whackableRanges(save, member, method));
  if (outside >= 0) {
    std::fprintf(stderr, "whack of member %d changed byte 0x%llx outside its spell sections\n",
                 member, static_cast<unsigned long long>(outside));
    std::abort();
  }
}

// The runs a user can make on one save: the party, then for each of the first members the
// level listing, the numbered listing of level 1, and whacks of its first spell of level 1 under
// free-space method 1 or, with `everyMethod`, of its first two under methods 0, 1 and an
// unknown one. A run that does not whack must leave the save as it was.
inline void reportEverything(const Bytes& save, bool everyMethod) {
  Bytes readOnly = save;
  useView(g_saveGameView, readOnly);
  report(kNotGiven, kNotGiven, kNotGiven, 1);
  for (std::int32_t member = 0; member < 4; ++member) {
    report(member, kNotGiven, kNotGiven, 1);
    report(member, 1, kNotGiven, 1);
  }
  g_saveGameView = View{};
  if (readOnly != save) {
    std::fprintf(stderr, "a run without a whack changed the save\n");
    std::abort();
  }
  for (std::int32_t member = 0; member < 4; ++member) {
    if (!everyMethod) {
      whackCopy(save, member, 1, 1, 1);
      continue;
    }
    for (std::int32_t number = 1; number <= 2; ++number) {
      for (std::int32_t method : {0, 1, 7})
        whackCopy(save, member, 1, number, method);
    }
  }
}

// The resource names of the sample's spells, as 8-byte fields.
inline const std::vector<Bytes>& sampleNames() {
  static const std::vector<Bytes> names = [] {
    std::vector<Bytes> all;
    for (const gamedata::SpellDef& spell : gamedata::sampleGame().spells) {
      Bytes name;
      gamedata::putText(name, 0, spell.resref, 8);
      all.push_back(name);
    }
    return all;
  }();
  return names;
}

}  // namespace fuzz

#endif  // GRIMTRIM_FUZZ_FUZZ_SUPPORT_H_
