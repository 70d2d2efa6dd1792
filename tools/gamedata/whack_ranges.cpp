#include "gamedata/whack_ranges.h"

#include <algorithm>
#include <string>

#include "gamedata/layout_internal.h"

namespace gamedata {

namespace {

// The four bytes at `offset` of `save` as text, or "" past its end.
std::string versionAt(const Bytes& save, std::uint64_t offset) {
  if (offset > save.size() || save.size() - offset < 4) return "";
  return std::string(save.begin() + static_cast<std::ptrdiff_t>(offset),
                     save.begin() + static_cast<std::ptrdiff_t>(offset + 4));
}

// The format whose party records `save` holds, from its version and its first member's
// creature version, as the games tell them apart.
SaveFormat formatOf(const Bytes& save) {
  const std::string version = versionAt(save, 4);
  if (version == "V2.2") return SaveFormat::ByClass;
  if (version != "V1.1" || save.size() < 0x28 || static_cast<std::int32_t>(getU32(save, 0x24)) <= 0)
    return SaveFormat::Usual;
  const std::uint64_t first = getU32(save, 0x20);
  if (first > save.size() || save.size() - first < 8) return SaveFormat::Usual;
  const std::string creature = versionAt(save, std::uint64_t{getU32(save, first + 4)} + 4);
  if (creature == "V9.0") return SaveFormat::LongHeader;
  if (creature == "V1.2") return SaveFormat::LongestHeader;
  return SaveFormat::Usual;
}

}  // namespace

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
  const std::size_t memberSize = factsOf(formatOf(save)).memberSize;
  const std::int64_t record =
      u32(0x20) + std::int64_t{member} * static_cast<std::int64_t>(memberSize);
  if (!fits(record, memberSize)) return ranges;
  const std::int64_t creature = u32(record + 4);
  // Each creature is read by its own version; one that keeps its spells by class is never
  // edited.
  const std::string version = versionAt(save, static_cast<std::uint64_t>(creature) + 4);
  if (version == "V2.2") return ranges;
  const std::int64_t shift = version == "V9.0" ? 0x68 : version == "V1.2" ? 0xA4 : 0;
  const std::int64_t fields = creature + shift;
  if (!fits(creature, static_cast<std::uint64_t>(shift) + 0x2B8)) return ranges;
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
  section(fields + 0x2A0, i32(fields + 0x2A4), 12);
  if (method == 0) return ranges;
  section(fields + 0x2A8, i32(fields + 0x2AC), 16);
  section(fields + 0x2B0, u32(fields + 0x2B4), 12);
  ranges.push_back(
      {static_cast<std::uint64_t>(fields + 0x2A0), static_cast<std::uint64_t>(fields + 0x2B8)});
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
