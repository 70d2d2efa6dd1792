// The saved game ("GAME"): its party table, the party records, and the creature record each
// one points to with its three spell sections, all read and written in place.
//
// The games of the family lay their saves out alike but for the size of a party record, where
// its name lies, and how long a creature record's header is before its spell fields. A save's
// layout is decided once from its version and the version of its first member's creature;
// each creature record is read by its own version.
//
// A record is a small value of the save's view and the record's offset in it, made only once
// its fixed fields are known to lie inside the file; offsets inside a creature record are from
// the record's own start, as the file stores them.
#ifndef GRIMTRIM_FORMATS_SAVE_GAME_H_
#define GRIMTRIM_FORMATS_SAVE_GAME_H_

#include <cstdint>
#include <optional>

#include "formats/bytes.h"
#include "formats/string_table.h"

inline constexpr std::uint64_t kKnownSpellSize = 12;
inline constexpr std::uint64_t kMemorizationEntrySize = 16;
inline constexpr std::uint64_t kMemorizedSpellSize = 12;

// Number of party records the header announces (signed, as stored); 0 when the header does
// not lie inside the file.
[[nodiscard]] std::int32_t partyCount(const View& save);

// How a save lays out its party table.
struct SaveLayout {
  std::uint64_t memberSize = 0x160;  // bytes from one party record to the next
  std::uint64_t nameOffset = 0xC0;   // where a record's name field starts

  friend bool operator==(const SaveLayout&, const SaveLayout&) = default;
};

// The layout of `save`: "GAMEV2.2" keeps 0x340-byte records named at +0x1BE; "GAMEV1.1" whose
// first member's creature record is "V9.0" keeps 0x180-byte records, and one whose first creature
// is "V1.2" 0x168-byte records named at +0xC8. Every other save, and a "GAMEV1.1" whose first
// member or its creature's version does not lie inside the file, keeps 0x160-byte records named
// at +0xC0.
[[nodiscard]] SaveLayout saveLayoutOf(const View& save);

// One party record.
class PartyMember {
 public:
  // Record `index` of the party table laid out as `layout` says (not checked against the
  // count), or nothing when the header or the whole record does not lie inside `save`.
  [[nodiscard]] static std::optional<PartyMember> at(const View& save, const SaveLayout& layout,
                                                     std::int32_t index);

  // The number the game shows in front of the member's name; not the record's index.
  [[nodiscard]] std::uint16_t listingNumber() const;
  // The name in place: up to its first NUL byte or the end of the record. An empty name means
  // the member is named through its creature record.
  [[nodiscard]] Text name() const;
  [[nodiscard]] const SaveLayout& layout() const { return layout_; }
  // Where the member's creature record starts, from the start of the file, as stored.
  [[nodiscard]] std::uint32_t creatureOffset() const;
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

// A creature record, whose fixed fields up to the last spell field lie inside the save. Records
// of versions "V9.0" and "V1.2" (bytes 4-7) keep the same three spell sections as every other,
// behind a header 0x68 or 0xA4 bytes longer, so their spell-section fields lie that much further
// on. A "V2.2" record keeps its spells in lists by class and level instead, and has no known
// spells section. The setters store straight into the save's view, which must be writable.
class Creature {
 public:
  // The creature record `member` points to, or nothing when its fixed fields do not lie inside
  // the file or it does not begin with "CRE" (the fourth byte may hold anything).
  [[nodiscard]] static std::optional<Creature> of(const PartyMember& member);

  // True for a "V2.2" record: its spells are kept by class, and the known spells section and
  // its neighbours do not exist.
  [[nodiscard]] bool keepsSpellsByClass() const { return byClass_; }
  // True when the record knows any spell: a known spells count other than 0, or for a record
  // that keeps spells by class, any list (by class, by domain, innate abilities, songs or
  // shapes) that is not empty.
  [[nodiscard]] bool knowsSpells() const;

  [[nodiscard]] StrRef nameRef() const;
  [[nodiscard]] std::uint32_t knownOffset() const;
  [[nodiscard]] std::int32_t knownCount() const;
  [[nodiscard]] std::uint32_t memorizationOffset() const;
  [[nodiscard]] std::int32_t memorizationCount() const;
  [[nodiscard]] std::uint32_t memorizedOffset() const;
  [[nodiscard]] std::uint32_t memorizedCount() const;

  void setKnownCount(std::int32_t count) const;
  void setMemorizationOffset(std::uint32_t offset) const;
  void setMemorizedOffset(std::uint32_t offset) const;
  void setMemorizedCount(std::uint32_t count) const;

  // Offset in the save of `field`, an offset from the record's start; 64-bit, so a stored
  // offset cannot wrap.
  [[nodiscard]] std::uint64_t inSave(std::uint64_t field) const { return offset_ + field; }
  [[nodiscard]] const View& save() const { return save_; }
  // Where the record starts, from the start of the file.
  [[nodiscard]] std::uint64_t offset() const { return offset_; }

 private:
  Creature(const View& save, std::uint64_t offset, std::uint64_t shift, bool byClass)
      : save_(save), offset_(offset), shift_(shift), byClass_(byClass) {}
  // Offset in the save of the spell-section field at `field` of a version 1.0 record.
  [[nodiscard]] std::uint64_t spellField(std::uint64_t field) const {
    return offset_ + shift_ + field;
  }
  View save_;
  std::uint64_t offset_;
  std::uint64_t shift_;  // how much further on the spell-section fields lie than in version 1.0
  bool byClass_;
};

// The known spells section of a creature: `count` 12-byte entries that lie inside the save.
class KnownSpells {
 public:
  // The creature's known spells, or nothing when a positive count of them does not lie inside
  // the save. A count of 0 or less holds no entries, and so does a record that keeps its spells
  // by class.
  [[nodiscard]] static std::optional<KnownSpells> of(const Creature& creature);

  [[nodiscard]] std::int32_t count() const { return count_; }
  // The 8 name bytes of entry `j` (below count()) as one little-endian number.
  [[nodiscard]] std::uint64_t name(std::int32_t j) const;

 private:
  KnownSpells(const View& save, std::uint64_t offset, std::int32_t count)
      : save_(save), offset_(offset), count_(count) {}
  View save_;
  std::uint64_t offset_;
  std::int32_t count_;
};

// A 16-byte spell memorization entry, read and written as words. The level word holds 0 for
// spell level 1; the slots word must be non-zero for the entry to take a duplicated memorized
// spell.
class MemorizationEntry {
 public:
  // The entry at `offset` in the save, or nothing when it does not lie whole inside it.
  [[nodiscard]] static std::optional<MemorizationEntry> at(const View& save, std::uint64_t offset);

  [[nodiscard]] std::uint16_t level() const;
  [[nodiscard]] std::uint16_t slots() const;
  [[nodiscard]] std::uint16_t firstIndex() const;
  [[nodiscard]] std::uint16_t spellCount() const;
  void setFirstIndex(std::uint16_t index) const;
  void setSpellCount(std::uint16_t count) const;

 private:
  friend class MemorizationSection;
  MemorizationEntry(const View& save, std::uint64_t offset) : save_(save), offset_(offset) {}
  View save_;
  std::uint64_t offset_;
};

// A spell memorization section: `count` 16-byte entries that all lie inside the save, so that
// each entry is had without another check.
class MemorizationSection {
 public:
  // The `count` entries from `offset` in the save, or nothing when the count is negative or they
  // do not all lie inside the save.
  [[nodiscard]] static std::optional<MemorizationSection> at(const View& save, std::uint64_t offset,
                                                             std::int32_t count);

  [[nodiscard]] std::int32_t count() const { return count_; }
  // Entry `e`, below count().
  [[nodiscard]] MemorizationEntry entry(std::int32_t e) const {
    return {save_, offset_ + static_cast<std::uint64_t>(e) * kMemorizationEntrySize};
  }

 private:
  MemorizationSection(const View& save, std::uint64_t offset, std::int32_t count)
      : save_(save), offset_(offset), count_(count) {}
  View save_;
  std::uint64_t offset_;
  std::int32_t count_;
};

#endif  // GRIMTRIM_FORMATS_SAVE_GAME_H_
