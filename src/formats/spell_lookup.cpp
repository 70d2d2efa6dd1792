#include "formats/spell_lookup.h"

#include <algorithm>
#include <array>
#include <bit>

namespace {

// Sorted distinct keys and, beside each, the first value a scan found for it.
template <typename Key, typename Value>
class FirstMatches {
 public:
  void want(Key key) { keys_.push_back(key); }

  // Call once every key is wanted.
  void freeze() {
    std::sort(keys_.begin(), keys_.end());
    keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
    found_.assign(keys_.size(), std::nullopt);
    open_ = keys_.size();
  }

  // Records `value` for `key` unless an earlier entry already gave one: the first entry in
  // table order wins.
  void offer(Key key, Value value) {
    const auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
    if (at == keys_.end() || *at != key) return;
    std::optional<Value>& slot = found_[static_cast<std::size_t>(at - keys_.begin())];
    if (slot) return;
    slot = value;
    --open_;
  }

  [[nodiscard]] std::optional<Value> found(Key key) const {
    const auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
    if (at == keys_.end() || *at != key) return std::nullopt;
    return found_[static_cast<std::size_t>(at - keys_.begin())];
  }

  [[nodiscard]] bool empty() const { return keys_.empty(); }
  // True once every key has its value: the rest of the table cannot change anything.
  [[nodiscard]] bool complete() const { return open_ == 0; }

 private:
  std::vector<Key> keys_;
  std::vector<std::optional<Value>> found_;
  std::size_t open_ = 0;
};

// Names compare under the mask of the wanted name, which has one of eight widths (one to eight
// bytes), so the wanted names fall into eight classes: within a class an index entry's name,
// masked once, is looked up among the class's keys.
constexpr std::size_t kMaskWidths = 8;

std::size_t widthClass(std::uint64_t mask) {
  return static_cast<std::size_t>(std::popcount(mask) / 8 - 1);
}

std::uint64_t maskOfClass(std::size_t width) {
  return width + 1 == kMaskWidths ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (width + 1))) - 1;
}

}  // namespace

std::vector<SpellLocation> locateSpells(const View& index, const View& archive,
                                        std::span<const ResRef> names) {
  std::array<FirstMatches<std::uint64_t, Locator>, kMaskWidths> byWidth;
  for (const ResRef name : names) {
    const std::uint64_t mask = nameMask(name);
    byWidth[widthClass(mask)].want(name & mask);
  }
  std::array<std::size_t, kMaskWidths> used{};
  std::size_t usedCount = 0;
  for (std::size_t w = 0; w < kMaskWidths; ++w) {
    byWidth[w].freeze();
    if (!byWidth[w].empty()) used[usedCount++] = w;
  }

  const EntryTable resources = resourceEntries(index);
  for (std::uint64_t i = 0; i < resources.entries; ++i) {
    const ResRef entryName = resourceName(index, resources, i);
    bool complete = true;
    for (std::size_t u = 0; u < usedCount; ++u) {
      FirstMatches<std::uint64_t, Locator>& matches = byWidth[used[u]];
      if (matches.complete()) continue;
      matches.offer(entryName & maskOfClass(used[u]), resourceLocator(index, resources, i));
      complete = complete && matches.complete();
    }
    if (complete) break;
  }

  std::vector<SpellLocation> locations(names.size());
  FirstMatches<Locator, std::uint32_t> headers;
  for (std::size_t n = 0; n < names.size(); ++n) {
    const std::uint64_t mask = nameMask(names[n]);
    locations[n].locator = byWidth[widthClass(mask)].found(names[n] & mask).value_or(kNoLocator);
    // A stored 0xFFFFFFFF cannot be told from a missing name: it is never looked up.
    if (locations[n].locator != kNoLocator) headers.want(locations[n].locator);
  }
  headers.freeze();
  if (headers.empty()) return locations;

  const EntryTable files = fileEntries(archive);
  for (std::uint64_t i = 0; i < files.entries && !headers.complete(); ++i)
    headers.offer(fileLocator(archive, files, i), fileDataOffset(archive, files, i));
  for (SpellLocation& location : locations) {
    if (location.locator != kNoLocator) location.dataOffset = headers.found(location.locator);
  }
  return locations;
}
