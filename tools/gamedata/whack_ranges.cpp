#include "gamedata/whack_ranges.h"

#include <algorithm>

#include "gamedata/layout_internal.h"

namespace gamedata {

std::vector<Range> whackableRanges(const Bytes& save, std::int32_t member, std::int32_t method) {
  const auto size = static_cast<std::uint64_t>(save.size());
  // Reads that never fail: a field past the end reads as "does not lie in the file".
  auto fits = [&](std::int64_t offset, std::uint64_t length) {
    return offset >= 0 && length <= size && static_cast<std::uint64_t>(offset) <= size - length;
  };
  auto u32 = [&](std::int64_t offset) -> std::int64_t {
    return getU32(save, static_cast<std::size_t>(offset));
  };
  std::vector<Range> ranges;
  if (!fits(0, 0x28)) return ranges;
  const std::int64_t record = u32(0x20) + std::int64_t{member} * std::int64_t{kPartyMemberSize};
  if (!fits(record, kPartyMemberSize)) return ranges;
  const std::int64_t creature = u32(record + 4);
  if (!fits(creature, 0x2B8)) return ranges;
  // A section of `count` entries of `entrySize` bytes from the offset field `field`.
  auto section = [&](std::int64_t field, std::int64_t count, std::int64_t entrySize) {
    const std::int64_t begin = creature + u32(field);
    if (count <= 0 || begin >= static_cast<std::int64_t>(size)) return;
    const std::int64_t end = std::min(begin + count * entrySize, static_cast<std::int64_t>(size));
    ranges.push_back({static_cast<std::uint64_t>(begin), static_cast<std::uint64_t>(end)});
  };
  auto i32 = [&](std::int64_t offset) -> std::int64_t {
    return static_cast<std::int32_t>(getU32(save, static_cast<std::size_t>(offset)));
  };
  section(creature + 0x2A0, i32(creature + 0x2A4), 12);
  if (method == 0) return ranges;
  section(creature + 0x2A8, i32(creature + 0x2AC), 16);
  section(creature + 0x2B0, u32(creature + 0x2B4), 12);
  ranges.push_back(
      {static_cast<std::uint64_t>(creature + 0x2A0), static_cast<std::uint64_t>(creature + 0x2B8)});
  return ranges;
}

std::int64_t changeOutside(const Bytes& before, const Bytes& after,
                           const std::vector<Range>& ranges) {
  const std::size_t common = std::min(before.size(), after.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (before[i] == after[i]) continue;
    const bool allowed = std::any_of(ranges.begin(), ranges.end(),
                                     [&](const Range& r) { return r.begin <= i && i < r.end; });
    if (!allowed) return static_cast<std::int64_t>(i);
  }
  return before.size() == after.size() ? -1 : static_cast<std::int64_t>(common);
}

}  // namespace gamedata
