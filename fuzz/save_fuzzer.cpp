// Arbitrary bytes as a saved game, read against the sample's valid data files: the party, the
// chosen members' listings and whacks under every free-space method.
#include "fuzz_support.h"

namespace {

fuzz::DataFiles* g_data = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietOutput();
  g_data = new fuzz::DataFiles;
  fuzz::useView(g_stringTableView, g_data->stringTable);
  fuzz::useView(g_spellArchiveView, g_data->spellArchive);
  fuzz::useView(g_resourceIndexView, g_data->resourceIndex);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::reportEverything(fuzz::Bytes(data, data + size), true);
  return 0;
}
