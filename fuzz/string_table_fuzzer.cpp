// Arbitrary bytes as the string table: every lookup a name or a spell name can make, and the
// walks that hand such names out, over the sample's other files.
#include <array>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes table(data, data + size);
  fuzz::Bytes save = fuzz::sample().save;
  fuzz::Files game = fuzz::sampleFilesWith(save);
  game.stringTable = fuzz::viewOf(table);
  // The references the sample uses, the edges of the count the file claims, and the extremes.
  const std::uint32_t count = size >= 0x0E ? gamedata::getU32(table, 0x0A) : 0;
  const std::array<std::uint32_t, 8> edges = {count,      count - 1,  count + 1,  0x7FFFFFFF,
                                              0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 1u << 28};
  volatile unsigned sink = 0;
  for (std::uint32_t ref = 0; ref < 64; ++ref)
    sink = sink + fuzz::touch(stringText(game.stringTable, ref));
  for (std::uint32_t ref : edges)
    sink = sink + fuzz::touch(stringText(game.stringTable, ref));
  fuzz::readEverything(game, fuzz::sample().save, false);
  return 0;
}
