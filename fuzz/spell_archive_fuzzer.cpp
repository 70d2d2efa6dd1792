// Arbitrary bytes as the spell archive and its spell headers: the header of every locator the
// sample's index gives and of locators taken from the input, its fields, and the walks and
// whacks that depend on them.
#include "formats/spell_header.h"
#include "formats/spell_lookup.h"
#include "fuzz_support.h"

namespace {

void readHeader(const fuzz::Files& game, Locator locator) {
  const std::optional<std::uint32_t> offset = dataOffsetOf(game.spellArchive, locator);
  if (!offset) return;
  const std::optional<SpellHeader> header = SpellHeader::at(game.spellArchive, *offset);
  if (!header) return;
  volatile std::int64_t sink = header->type() + header->level();
  sink = sink + fuzz::touch(stringText(game.stringTable, header->nameRef()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes archive(data, data + size);
  fuzz::Bytes none;
  fuzz::Files game = fuzz::sampleFilesWith(none);
  game.spellArchive = fuzz::viewOf(archive);
  const std::vector<ResRef>& names = fuzz::sampleNames();
  for (const ResRef name : names)
    readHeader(game, findLocator(game.resourceIndex, name));
  for (std::size_t at = 0; at + 4 <= size && at < 512; at += 16)
    readHeader(game, gamedata::getU32(archive, at));
  // The one-pass lookup must find the same data as the locator-by-locator one.
  const std::vector<SpellLocation> all = locateSpells(game.resourceIndex, game.spellArchive, names);
  for (std::size_t n = 0; n < names.size(); ++n) {
    if (all[n].locator == kNoLocator) continue;
    if (all[n].dataOffset != dataOffsetOf(game.spellArchive, all[n].locator)) std::abort();
  }
  fuzz::readEverything(game, fuzz::sample().save, false);
  return 0;
}
