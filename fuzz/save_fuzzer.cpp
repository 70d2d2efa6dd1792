// Arbitrary bytes as a saved game, read against the sample's valid data files: the party, the
// chosen members' listings and whacks under every free-space method.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes none;
  fuzz::readEverything(fuzz::sampleFilesWith(none), fuzz::Bytes(data, data + size), true);
  return 0;
}
