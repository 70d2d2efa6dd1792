// Arbitrary bytes as a saved game, read against the sample's valid data files: the party, the
// chosen members' listings and whacks under every free-space method.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startWithSampleData();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::reportEverything(fuzz::Bytes(data, data + size), true);
  return 0;
}
