// Arbitrary bytes as the resource index: the lookup of every name the sample's members know
// and of names taken from the input, and the listings and whacks that depend on them.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startWithSampleData();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes index(data, data + size);
  fuzz::useView(g_resourceIndexView, index);
  volatile Locator sink = 0;
  for (const fuzz::Bytes& name : fuzz::sampleNames())
    sink = sink ^ findLocator(name.data());
  // Names cut from the input itself: found whenever the table lies where it says.
  for (std::size_t at = 0; at + 8 <= size && at < 512; at += 14) {
    const fuzz::Bytes name(data + at, data + at + 8);
    sink = sink ^ findLocator(name.data());
  }
  fuzz::reportEverything(fuzz::sample().save, false);
  g_resourceIndexView = View{};
  return 0;
}
