// Arbitrary bytes as the resource index: the lookup of every name the sample's members know
// and of names taken from the input, one at a time and all at once, and the walks and whacks
// that depend on them.
#include "formats/spell_lookup.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes index(data, data + size);
  fuzz::Bytes none;
  fuzz::Files game = fuzz::sampleFilesWith(none);
  game.resourceIndex = fuzz::viewOf(index);
  std::vector<ResRef> names = fuzz::sampleNames();
  // Names cut from the input itself: found whenever the table lies where it says.
  for (std::size_t at = 0; at + 8 <= size && at < 512; at += 14)
    names.push_back(gamedata::getU32(index, at) | std::uint64_t{gamedata::getU32(index, at + 4)}
                                                      << 32);
  // The one-pass lookup must agree with the name-by-name one on whatever the index holds.
  const std::vector<SpellLocation> all = locateSpells(game.resourceIndex, game.spellArchive, names);
  for (std::size_t n = 0; n < names.size(); ++n) {
    if (all[n].locator != findLocator(game.resourceIndex, names[n])) std::abort();
  }
  fuzz::readEverything(game, fuzz::sample().save, false);
  return 0;
}
