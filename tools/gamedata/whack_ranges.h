// What a whack may change in a saved game, and the first change outside that: how the tests and
// the fuzz targets check that a whack, even on a damaged save, touches nothing else.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_WHACK_RANGES_H_
#define GRIMTRIM_TOOLS_GAMEDATA_WHACK_RANGES_H_

#include <cstdint>
#include <vector>

#include "gamedata/bytes_out.h"

namespace gamedata {

// A half-open byte range [begin, end) of a file.
struct Range {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

// The bytes of `save` that a whack on party record `member` may change, read from the save's
// own fields as they stand (damaged or not), each range cut to the file: the known spells
// section under free-space method 0; under any other method also the spell memorization and
// memorized spells sections and the creature record's six spell-section fields (0x2A0 to
// 0x2B8 of version 1.0, further on in the longer headers). The party records are laid out as the
// save's format says. No range when the party record or the creature's fields do not lie in the
// file, or the creature keeps its spells by class.
[[nodiscard]] std::vector<Range> whackableRanges(const Bytes& save, std::int32_t member,
                                                 std::int32_t method);

// The first offset at which `after` differs from `before` outside `ranges`, or -1 when none
// does; a difference in size counts at the shorter one's end.
[[nodiscard]] std::int64_t changeOutside(const Bytes& before, const Bytes& after,
                                         const std::vector<Range>& ranges);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_WHACK_RANGES_H_
