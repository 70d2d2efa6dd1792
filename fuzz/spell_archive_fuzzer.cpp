// Arbitrary bytes as the spell archive and its spell headers: the header of every locator the
// sample's index gives and of locators taken from the input, its fields, and the listings and
// whacks that depend on them.
#include "fuzz_support.h"

namespace {

void readHeader(Locator locator) {
  const SpellHeader header = findSpellHeader(locator);
  if (!header.isValid()) return;
  volatile std::int64_t sink = header.type() + header.level();
  sink = sink + stringLength(header.nameRef());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startWithSampleData();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes archive(data, data + size);
  fuzz::useView(g_spellArchiveView, archive);
  for (const fuzz::Bytes& name : fuzz::sampleNames())
    readHeader(findLocator(name.data()));
  for (std::size_t at = 0; at + 4 <= size && at < 512; at += 16)
    readHeader(gamedata::getU32(archive, at));
  fuzz::reportEverything(fuzz::sample().save, false);
  g_spellArchiveView = View{};
  return 0;
}
