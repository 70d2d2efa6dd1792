// Arbitrary bytes as the string table: every lookup a name or a spell name can make, and the
// listings that print them, over the sample's other files.
#include <array>

#include "fuzz_support.h"

namespace {

// Touches every byte "%.*s" would print, so that the sanitizer sees a text past the file's end
// even where printf's own checks would not.
unsigned touch(StrRef ref) {
  const char* text = stringText(ref);
  const int length = stringLength(ref);
  unsigned sum = 0;
  for (int i = 0; i < length && text[i] != '\0'; ++i)
    sum += static_cast<unsigned char>(text[i]);
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::startWithSampleData();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes table(data, data + size);
  fuzz::useView(g_stringTableView, table);
  // The references the sample uses, the edges of the count the file claims, and the extremes.
  const std::uint32_t count = size >= 0x0E ? gamedata::getU32(table, 0x0A) : 0;
  const std::array<std::uint32_t, 8> edges = {count,      count - 1,  count + 1,  0x7FFFFFFF,
                                              0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 1u << 28};
  volatile unsigned sink = 0;
  for (std::uint32_t ref = 0; ref < 64; ++ref)
    sink = sink + touch(ref);
  for (std::uint32_t ref : edges)
    sink = sink + touch(ref);
  fuzz::reportEverything(fuzz::sample().save, false);
  g_stringTableView = View{};
  return 0;
}
