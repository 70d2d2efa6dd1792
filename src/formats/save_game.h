// The saved game ("GAME"): its party table, the party records, and the creature record each
// one points to with its three spell sections, all read and written in place.
//
// Records are named by their byte offset in the saved game view; kNowhere stands for a record
// that does not lie inside the file. Offsets inside a creature record are from its own start.
#ifndef GRIMTRIM_FORMATS_SAVE_GAME_H_
#define GRIMTRIM_FORMATS_SAVE_GAME_H_

#include <cstdint>

#include "formats/bytes.h"
#include "formats/string_table.h"

// The mapped saved game; writable only when a spell is to be whacked.
extern View g_saveGameView;

inline constexpr std::uint64_t kPartyMemberSize = 352;
inline constexpr std::uint64_t kKnownSpellSize = 12;
inline constexpr std::uint64_t kMemorizationEntrySize = 16;
inline constexpr std::uint64_t kMemorizedSpellSize = 12;

// Number of party records the header announces (signed, as stored); 0 when the header does
// not lie inside the file.
[[nodiscard]] std::int32_t partyCount();

// Offset of party record `index` (not checked against the count), or kNowhere when the whole
// 352-byte record does not lie inside the file.
[[nodiscard]] std::uint64_t partyMember(std::int32_t index);

// The number the game shows in front of the member's name; not the record's index.
[[nodiscard]] std::uint16_t listingNumber(std::uint64_t member);

// The member's name in place: up to its first NUL byte or the end of the party record. An
// empty name (length 0) means the member is named through its creature record.
[[nodiscard]] const char* memberName(std::uint64_t member);
[[nodiscard]] int memberNameLength(std::uint64_t member);

// Offset of the member's creature record, or kNowhere when its fixed fields do not lie inside
// the file or it does not begin with "CRE".
[[nodiscard]] std::uint64_t creatureOf(std::uint64_t member);

// Fields of a creature record found by creatureOf().
[[nodiscard]] StrRef creatureNameRef(std::uint64_t creature);
[[nodiscard]] std::uint32_t knownSpellsOffset(std::uint64_t creature);
[[nodiscard]] std::int32_t knownSpellsCount(std::uint64_t creature);
[[nodiscard]] std::uint32_t memorizationOffset(std::uint64_t creature);
[[nodiscard]] std::int32_t memorizationCount(std::uint64_t creature);
[[nodiscard]] std::uint32_t memorizedSpellsOffset(std::uint64_t creature);
[[nodiscard]] std::uint32_t memorizedSpellsCount(std::uint64_t creature);

void setKnownSpellsCount(std::uint64_t creature, std::int32_t count);
void setMemorizationOffset(std::uint64_t creature, std::uint32_t offset);
void setMemorizedSpellsOffset(std::uint64_t creature, std::uint32_t offset);
void setMemorizedSpellsCount(std::uint64_t creature, std::uint32_t count);

// Fields of a spell memorization entry, named by its offset in the saved game view.
// The level word holds 0 for spell level 1; the slots word must be non-zero for the entry to
// take a duplicated memorized spell.
[[nodiscard]] std::uint16_t memorizationLevel(std::uint64_t entry);
[[nodiscard]] std::uint16_t memorizationSlots(std::uint64_t entry);
[[nodiscard]] std::uint16_t memorizationFirstIndex(std::uint64_t entry);
[[nodiscard]] std::uint16_t memorizationSpellCount(std::uint64_t entry);
void setMemorizationFirstIndex(std::uint64_t entry, std::uint16_t index);
void setMemorizationSpellCount(std::uint64_t entry, std::uint16_t count);

#endif  // GRIMTRIM_FORMATS_SAVE_GAME_H_
