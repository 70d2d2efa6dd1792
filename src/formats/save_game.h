// The saved game ("GAME") and the exported character ("CHR "): the party they hold and where each
// member's creature record lies, read and written in place (the records themselves:
// creature.h).
//
// The games of the family lay their saves out alike but for the size of a party record, where
// its name lies, and the version of the creature records inside. A save's layout is decided once
// from its version and the version of its first member's creature. An exported character is a
// party of one: a short header naming one creature record.
//
// A record is a small value of the save's view and the record's offset in it, made only once
// its fixed fields are known to lie inside the file.
#ifndef GRIMTRIM_FORMATS_SAVE_GAME_H_
#define GRIMTRIM_FORMATS_SAVE_GAME_H_

#include <cstdint>
#include <optional>

#include "formats/bytes.h"
#include "formats/string_table.h"

// How a save lays out its party.
struct SaveLayout {
  std::uint64_t memberSize = 0x160;  // bytes from one party record to the next
  std::uint64_t nameOffset = 0xC0;   // where a record's name field starts
  // An exported character: one member, named and placed by the file's header.
  bool character = false;

  friend bool operator==(const SaveLayout&, const SaveLayout&) = default;
};

// The layout of `save`: a file that begins with "CHR " is an exported character; "GAMEV2.2" keeps
// 0x340-byte records named at +0x1BE; "GAMEV1.1" whose first member's creature record is "V9.0"
// keeps 0x180-byte records, and one whose first creature is "V1.2" 0x168-byte records named at
// +0xC8. Every other save, and a "GAMEV1.1" whose first member or its creature's version does not
// lie inside the file, keeps 0x160-byte records named at +0xC0.
[[nodiscard]] SaveLayout saveLayoutOf(const View& save);

// Number of party records the header announces (signed, as stored): 0 when the header does not
// lie inside the file; for an exported character 1, or 0 when its header does not.
[[nodiscard]] std::int32_t partyCount(const View& save, const SaveLayout& layout);
[[nodiscard]] inline std::int32_t partyCount(const View& save) {
  return partyCount(save, saveLayoutOf(save));
}

// A save's own tables of offsets into the file, besides the creature records' own.
inline constexpr std::uint64_t kOutOfPartyTable = 0x30;  // dword: members out of the party
inline constexpr std::uint64_t kOutOfPartyCount = 0x34;  // dword, signed

// One party record.
class PartyMember {
 public:
  // Record `index` of the party table laid out as `layout` says (not checked against the
  // count), or nothing when the header or the whole record does not lie inside `save`. An
  // exported character holds record 0 only.
  [[nodiscard]] static std::optional<PartyMember> at(const View& save, const SaveLayout& layout,
                                                     std::int32_t index);
  // Record `index` of the table of `count` records at `table` laid out as the party's, or
  // nothing when it does not lie whole inside `save`.
  [[nodiscard]] static std::optional<PartyMember> inTable(const View& save,
                                                          const SaveLayout& layout,
                                                          std::uint64_t table, std::int64_t index);

  // The number the game shows in front of the member's name; not the record's index. 0 for an
  // exported character.
  [[nodiscard]] std::uint16_t listingNumber() const;
  // The name in place: up to its first NUL byte or the end of its field (a save's runs to the
  // end of the record). An empty name means the member is named through its creature record.
  [[nodiscard]] Text name() const;
  [[nodiscard]] const SaveLayout& layout() const { return layout_; }
  // Where the member's creature record starts, from the start of the file, as stored.
  [[nodiscard]] std::uint32_t creatureOffset() const;
  // The offset in the save of the creature offset field.
  [[nodiscard]] std::uint64_t creatureOffsetField() const;
  // How long the creature record is, as stored, and the offset in the save of that field.
  [[nodiscard]] std::uint32_t creatureSize() const;
  [[nodiscard]] std::uint64_t creatureSizeField() const;
  [[nodiscard]] const View& save() const { return save_; }
  // Where the record starts, from the start of the file.
  [[nodiscard]] std::uint64_t offset() const { return offset_; }

 private:
  PartyMember(const View& save, const SaveLayout& layout, std::uint64_t offset)
      : save_(save), layout_(layout), offset_(offset) {}
  View save_;
  SaveLayout layout_;
  std::uint64_t offset_;
};

#endif  // GRIMTRIM_FORMATS_SAVE_GAME_H_
