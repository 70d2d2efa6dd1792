// The spell lists of a "V2.2" creature record: 63 lists by class and level (seven classes,
// levels 1 to 9) and 9 domain lists, each an offset field and a count field in the record's
// header; then the lists of innate abilities, songs and shapes, which hold no spells of a book.
// Each entry is 16 bytes: the spell's number (a row of the game's spell table), the amount
// memorized, the amount remaining and a dword kept as it is. Each list is followed by 8 bytes of
// slot counts.
#ifndef GRIMTRIM_FORMATS_CLASS_LISTS_H_
#define GRIMTRIM_FORMATS_CLASS_LISTS_H_

#include <array>
#include <cstdint>

#include "formats/bytes.h"
#include "formats/creature.h"

// The header of a record that keeps its spells by class, up to where its first list may start.
inline constexpr std::uint64_t kClassRecordHeaderSize = 0x62E;
inline constexpr std::uint64_t kClassEntrySize = 16;
inline constexpr std::uint64_t kClassEntryMemorized = 0x4;  // dword
inline constexpr std::uint64_t kClassEntryRemaining = 0x8;  // dword
// The slot counts that follow each list.
inline constexpr std::uint64_t kClassListTrailer = 8;

// The lists of spells of a book, in the order they are walked: the classes' levels 1 to 9 in
// turn, then the domain's.
inline constexpr int kClassListCount = 72;

// Whose list it is: the seven classes, then the domain lists.
enum class SpellClass : std::uint32_t {
  None = 0,  // a spell of a record that keeps one list of known spells
  Bard = 1,
  Cleric = 2,
  Druid = 3,
  Paladin = 4,
  Ranger = 5,
  Sorcerer = 6,
  Wizard = 7,
  Domain = 8,
};

// One of the 72 lists, as its header fields stand.
struct ClassList {
  SpellClass spellClass = SpellClass::None;
  std::int32_t level = 0;         // 1 to 9
  std::uint64_t offsetField = 0;  // where its offset is kept, from the record's start
  std::uint64_t countField = 0;   // where its count is kept, from the record's start
  std::uint32_t offset = 0;       // its first entry, from the record's start
  std::uint32_t count = 0;        // its entries
};

// List `list` (0 to kClassListCount - 1) of `creature`, a record that keeps its spells by class.
[[nodiscard]] ClassList classListAt(const Creature& creature, int list);

// Where the record keeps every offset into itself, from its start: the 72 lists', those of the
// innate abilities, songs and shapes, then the item slots', the items' and the effects'.
inline constexpr int kClassRecordOffsetFields = 78;
[[nodiscard]] std::array<std::uint64_t, kClassRecordOffsetFields> classRecordOffsetFields();

#endif  // GRIMTRIM_FORMATS_CLASS_LISTS_H_
