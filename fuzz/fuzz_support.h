// What the fuzz targets share: a valid game set to read one damaged file against, and the
// core's walks over a game made of byte buffers, as a front end makes them. Nothing is printed:
// the texts the core hands out are read byte for byte instead, as "%.*s" would read them.
#ifndef GRIMTRIM_FUZZ_FUZZ_SUPPORT_H_
#define GRIMTRIM_FUZZ_FUZZ_SUPPORT_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "formats/creature.h"
#include "formats/resource_index.h"
#include "formats/spell_archive.h"
#include "formats/string_table.h"
#include "gamedata/game_data.h"
#include "spellbook/configured_spells.h"
#include "spellbook/game.h"
#include "spellbook/party.h"
#include "spellbook/settings.h"
#include "spellbook/spell_walk.h"
#include "spellbook/whack.h"

namespace fuzz {

using gamedata::Bytes;

// The sample game set, built once: the fixed, valid files the targets read one damaged file
// against.
inline const gamedata::GameFiles& sample() {
  static const gamedata::GameFiles files = gamedata::buildGame(gamedata::sampleGame());
  return files;
}

// `bytes` as a file's view. Each file is a block of its own, so the address sanitizer reports a
// read one byte past its end.
inline View viewOf(Bytes& bytes) {
  return View{bytes.data(), bytes.size()};
}

// Copies of the sample's files, made once for the whole run; a target swaps the one it fuzzes.
struct DataFiles {
  Bytes stringTable = sample().stringTable;
  Bytes spellArchive = sample().spellArchive;
  Bytes resourceIndex = sample().resourceIndex;
};

inline DataFiles& sampleData() {
  static DataFiles* files = new DataFiles;
  return *files;
}

// The four files of a run given a configuration, as views once they are open.
struct Files {
  View save;
  View stringTable;
  View spellArchive;
  View resourceIndex;
};

// The sample's data files with `save`.
inline Files sampleFilesWith(Bytes& save) {
  DataFiles& data = sampleData();
  return {viewOf(save), viewOf(data.stringTable), viewOf(data.spellArchive),
          viewOf(data.resourceIndex)};
}

// A game over `files` whose spells are found in the configured archive, as a front end lends it
// to a run.
class ConfiguredGame {
 public:
  explicit ConfiguredGame(const Files& files)
      : archive_(files.spellArchive),
        spells_(files.resourceIndex, archive_, "spells.bif"),
        game_{files.save, files.stringTable, &spells_} {}
  ConfiguredGame(const ConfiguredGame&) = delete;
  ConfiguredGame& operator=(const ConfiguredGame&) = delete;
  [[nodiscard]] const Game& game() const { return game_; }

 private:
  WholeArchive archive_;
  ConfiguredSpells spells_;
  Game game_;
};

// Reads every byte "%.*s" would print of a text, so that the sanitizer sees a text past its
// file's end even where printf's own checks would not.
inline unsigned touch(const Text& text) {
  unsigned sum = 0;
  for (int i = 0; i < text.length && text.address[i] != '\0'; ++i)
    sum += static_cast<unsigned char>(text.address[i]);
  return sum;
}

// What a front end reads of one member: its line, the levels of its spells, the spells of
// level 1 and every name the walks give.
inline void readMember(const Game& game, std::int32_t index) {
  volatile unsigned sink = 0;
  const MemberLookup member = lookUpMember(game, index);
  if (!member.creature) return;
  sink = sink + touch(member.line.name);
  KeptSpellCalls names([&](const KeptSpell& spell) { sink = sink + touch(spell.name); });
  for (const std::int32_t level : {kNotGiven, 1})
    static_cast<void>(walkSpells(game, *member.creature, level, kNotGiven, names));
}

// Whacks spell `number` of `level` from party record `member` of a fresh writable copy of
// `save`, as a front end does, then checks what a whack may never do: change the file's size
// or any byte outside the member's spell sections and their fields. A breach ends the run as a
// finding.
inline void whackCopy(const Files& data, const Bytes& save, std::int32_t member, std::int32_t level,
                      std::int32_t number, std::int32_t method) {
  Bytes edited = save;
  Files files = data;
  files.save = viewOf(edited);
  const ConfiguredGame configured(files);
  const Game& game = configured.game();
  const MemberLookup found = lookUpMember(game, member);
  if (found.creature) {
    KeptSpellCalls ignore([](const KeptSpell&) {});
    const SpellWalk walk = walkSpells(game, *found.creature, level, number, ignore);
    if (walk.end == WalkEnd::Chosen) {
      static_cast<void>(whackSpell(*found.creature, walk.chosen.knownIndex, method));
    }
  }
  const std::int64_t outside =
      gamedata::changeOutside(save, edited, gamedata::whackableRanges(save, member, method));
  if (outside >= 0) {
    std::fprintf(stderr, "whack of member %d changed byte 0x%llx outside its spell sections\n",
                 member, static_cast<unsigned long long>(outside));
    std::abort();
  }
}

// The reads a user can ask for on one save: the party, then for each of the first members the
// level listing and the spells of level 1, and whacks of its first spell of level 1 under
// free-space method 1 or, with `everyMethod`, of its first two under methods 0, 1 and an
// unknown one. Reading must leave the save as it was.
inline void readEverything(const Files& data, const Bytes& save, bool everyMethod) {
  Bytes readOnly = save;
  Files files = data;
  files.save = viewOf(readOnly);
  const ConfiguredGame configured(files);
  const Game& game = configured.game();
  volatile unsigned sink = 0;
  MemberCalls names(
      [&](const MemberLine& line, const Creature&) { sink = sink + touch(line.name); });
  static_cast<void>(walkParty(game, names));
  for (std::int32_t member = 0; member < 4; ++member)
    readMember(game, member);
  if (readOnly != save) {
    std::fprintf(stderr, "a read of the save changed it\n");
    std::abort();
  }
  for (std::int32_t member = 0; member < 4; ++member) {
    if (!everyMethod) {
      whackCopy(data, save, member, 1, 1, 1);
      continue;
    }
    for (std::int32_t number = 1; number <= 2; ++number) {
      for (std::int32_t method : {0, 1, 7})
        whackCopy(data, save, member, 1, number, method);
    }
  }
}

// The resource names of the sample's spells, as 8-byte fields read as one number.
inline const std::vector<ResRef>& sampleNames() {
  static const std::vector<ResRef> names = [] {
    std::vector<ResRef> all;
    for (const gamedata::SpellDef& spell : gamedata::sampleGame().spells) {
      Bytes name;
      gamedata::putText(name, 0, spell.resref, 8);
      ResRef key = 0;
      for (std::size_t i = 8; i-- > 0;)
        key = key << 8 | name[i];
      all.push_back(key);
    }
    return all;
  }();
  return names;
}

}  // namespace fuzz

#endif  // GRIMTRIM_FUZZ_FUZZ_SUPPORT_H_
