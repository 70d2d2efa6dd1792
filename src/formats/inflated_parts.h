// What the two compressed forms' readers share: reading the compressed file a part at a time,
// and joining inflated bytes that run across the pieces they are kept in.
#ifndef GRIMTRIM_FORMATS_INFLATED_PARTS_H_
#define GRIMTRIM_FORMATS_INFLATED_PARTS_H_

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "formats/bytes.h"
#include "formats/spell_archive.h"

// The compressed bytes that may be needed to give `inflated` bytes: compressed data takes no
// more room than it inflates to, but for a little, and its headers fit in the window beside.
inline constexpr std::uint64_t kInflateWindow = std::uint64_t{64} << 10;
[[nodiscard]] constexpr std::uint64_t compressedBound(std::uint64_t inflated) {
  return inflated + inflated / 8 + kInflateWindow;
}

// The bytes of `raw` from `offset`, exactly `length` of them, or nothing when they cannot be had
// yet; then the `ahead` bytes from `offset` that the reader will go on to want are expected of
// `raw` (ArchiveBytes::expect()).
[[nodiscard]] inline std::optional<View> rawBytes(ArchiveBytes& raw, std::uint64_t offset,
                                                  std::uint64_t length,
                                                  std::uint64_t ahead = kInflateWindow) {
  const View bytes = raw.bytes(offset, length);
  if (bytes.size == length) return bytes;
  raw.expect(offset, length > ahead ? length : ahead);
  return std::nullopt;
}

// Bytes handed out that had to be joined from several pieces, kept for as long as the archive,
// each range joined once however often it is asked for.
class JoinedRanges {
 public:
  template <typename CopyPart>
  View join(std::uint64_t offset, std::uint64_t length, CopyPart copyPart) {
    auto [at, added] = joined_.try_emplace({offset, length});
    if (added) {
      at->second.resize(static_cast<std::size_t>(length));
      copyPart(at->second.data());
    }
    return {at->second.data(), length};
  }

 private:
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::uint8_t>> joined_;
};

#endif  // GRIMTRIM_FORMATS_INFLATED_PARTS_H_
