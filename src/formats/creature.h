// A creature record ("CRE"), as a save or an exported character holds one per member: its name
// and its spell sections, read and written in place. Offsets inside a record are from the
// record's own start, as the file stores them.
//
// Versions 1.0, 9.0 and 1.2 keep the same three spell sections (known spells, memorization,
// memorized spells) behind headers of different lengths; version 2.2 keeps its spells in lists
// by class and level instead (class_lists.h).
#ifndef GRIMTRIM_FORMATS_CREATURE_H_
#define GRIMTRIM_FORMATS_CREATURE_H_

#include <cstdint>
#include <optional>

#include "formats/bytes.h"
#include "formats/save_game.h"
#include "formats/string_table.h"

inline constexpr std::uint64_t kKnownSpellSize = 12;
inline constexpr std::uint64_t kMemorizationEntrySize = 16;
inline constexpr std::uint64_t kMemorizedSpellSize = 12;

// A record's version, bytes 4-7 of the record.
enum class CreatureVersion {
  Usual,          // "V1.0", and any version but the three below
  LongHeader,     // "V9.0": the spell fields 0x68 bytes further on
  LongestHeader,  // "V1.2": the spell fields 0xA4 bytes further on
  ByClass,        // "V2.2": spells in lists by class and level
};

// The version of the record at `offset` in `save`; Usual where its version bytes do not lie
// inside the file.
[[nodiscard]] CreatureVersion creatureVersionAt(const View& save, std::uint64_t offset);

// A creature record whose fixed fields lie inside the save: up to the last spell field for the
// first three versions, up to the end of its header (0x62E) for version 2.2. The setters store
// straight into the save's view, which must be writable.
class Creature {
 public:
  // The creature record `member` points to, or nothing when its fixed fields do not lie inside
  // the file or it does not begin with "CRE" (the fourth byte may hold anything).
  [[nodiscard]] static std::optional<Creature> of(const PartyMember& member);

  [[nodiscard]] CreatureVersion version() const { return version_; }
  // True for a "V2.2" record: its spells are kept by class, and the known spells section and
  // its neighbours do not exist.
  [[nodiscard]] bool keepsSpellsByClass() const { return version_ == CreatureVersion::ByClass; }
  // True when the record knows any spell of a spell book: a known spells count other than 0, or
  // for a record that keeps spells by class, a class or domain list that is not empty (innate
  // abilities, songs and shapes are no spells of a book).
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
  Creature(const View& save, std::uint64_t offset, CreatureVersion version, std::uint64_t shift)
      : save_(save), offset_(offset), version_(version), shift_(shift) {}
  // Offset in the save of the spell-section field at `field` of a version 1.0 record.
  [[nodiscard]] std::uint64_t spellField(std::uint64_t field) const {
    return offset_ + shift_ + field;
  }
  View save_;
  std::uint64_t offset_;
  CreatureVersion version_;
  std::uint64_t shift_;  // how much further on the spell-section fields lie than in version 1.0
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

#endif  // GRIMTRIM_FORMATS_CREATURE_H_
