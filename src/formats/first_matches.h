// The first value a table scan finds for each of a set of wanted keys, for resolving many names
// or locators in one pass over a file's table.
#ifndef GRIMTRIM_FORMATS_FIRST_MATCHES_H_
#define GRIMTRIM_FORMATS_FIRST_MATCHES_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The distinct keys a scan looks for and, beside each, the first value it found for it: an
// open-addressing hash table, at most 4/5 full, behind a bit filter at most 1/40 full. Nearly
// every entry of a large table matches nothing, and the filter turns it away with one
// well-predicted test, where a probe of the table would find a used slot too often to predict.
template <typename Key, typename Value>
class FirstMatches {
 public:
  // Room for `count` wanted keys, so that wanting them does not grow the list step by step.
  void expect(std::size_t count) { wanted_.reserve(count); }
  void want(Key key) { wanted_.push_back(key); }

  // Call once every key is wanted.
  void freeze() {
    if (wanted_.empty()) return;
    // At most four slots in five used: the filter spares nearly every entry that matches
    // nothing a probe, so a fuller table costs little and saves memory.
    std::size_t size = 8;
    while (size < wanted_.size() + wanted_.size() / 4)
      size *= 2;
    shift_ = 64 - std::countr_zero(size);
    slots_.assign(size, Slot{});
    // 32 bits for each slot, so that at most one bit in 40 is set.
    filter_.assign(size / 2, 0);
    filterMask_ = size * 32 - 1;
    for (const Key key : wanted_) {
      const std::uint64_t hash = hashOf(key);
      Slot& slot = slotOf(key, hash);
      if (slot.used) continue;
      slot.used = true;
      slot.key = key;
      filter_[filterBit(hash) / 64] |= std::uint64_t{1} << (filterBit(hash) % 64);
      ++open_;
      ++keys_;
    }
    wanted_ = {};
  }

  // Records the value `value()` gives for `key` unless an earlier entry already gave one: the
  // first entry in table order wins. The value is read only for a wanted key.
  template <typename ReadValue>
  void offer(Key key, ReadValue value) {
    if (keys_ == 0) return;
    const std::uint64_t hash = hashOf(key);
    const std::size_t bit = filterBit(hash);
    if ((filter_[bit / 64] >> (bit % 64) & 1) == 0) return;
    Slot& slot = slotOf(key, hash);
    if (!slot.used || slot.found) return;
    slot.value = value();
    slot.found = true;
    --open_;
  }

  [[nodiscard]] std::optional<Value> found(Key key) {
    if (keys_ == 0) return std::nullopt;
    const Slot& slot = slotOf(key, hashOf(key));
    if (!slot.found) return std::nullopt;
    return slot.value;
  }

  [[nodiscard]] bool empty() const { return keys_ == 0; }
  // True once every key has its value: the rest of the table cannot change anything.
  [[nodiscard]] bool complete() const { return open_ == 0; }

 private:
  struct Slot {
    Key key{};
    Value value{};
    bool used = false;   // `key` is wanted
    bool found = false;  // `value` is the first one found for it
  };

  // Every bit of the key stirs the hash, so that names a damaged file makes alike in all but a
  // few bytes do not pile up in one run of slots.
  static std::uint64_t hashOf(Key key) {
    std::uint64_t mixed = std::uint64_t{key};
    mixed = (mixed ^ mixed >> 30) * 0xBF58476D1CE4E5B9u;
    mixed = (mixed ^ mixed >> 27) * 0x94D049BB133111EBu;
    return mixed ^ mixed >> 31;
  }

  // The filter takes the hash's low bits, the table its high ones.
  [[nodiscard]] std::size_t filterBit(std::uint64_t hash) const {
    return static_cast<std::size_t>(hash) & filterMask_;
  }

  // The slot that holds `key`, or the empty one where it would go.
  Slot& slotOf(Key key, std::uint64_t hash) {
    std::size_t at = static_cast<std::size_t>(hash >> shift_);
    while (slots_[at].used && slots_[at].key != key)
      at = (at + 1) & (slots_.size() - 1);
    return slots_[at];
  }

  std::vector<Key> wanted_;
  std::vector<Slot> slots_;
  std::vector<std::uint64_t> filter_;
  std::size_t filterMask_ = 0;
  int shift_ = 61;
  std::size_t keys_ = 0;  // distinct keys wanted
  std::size_t open_ = 0;  // of them, those without a value yet
};

#endif  // GRIMTRIM_FORMATS_FIRST_MATCHES_H_
