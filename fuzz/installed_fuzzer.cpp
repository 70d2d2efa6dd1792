// Arbitrary bytes as a game's folder: the first dword gives the length of the resource index
// that follows, the rest is the one archive nearly every path of the index's archive table leads
// to, beside a loose spell in the override folder. Every known spell of the sample and names cut
// from the input are found as the game finds them, and each spell header found is read.
#include <cstring>

#include "formats/spell_header.h"
#include "fuzz_support.h"
#include "spellbook/game_folder.h"
#include "spellbook/installed_spells.h"

namespace {

// A folder that holds override/ModSpark.spl and, under any path whose bytes do not add up to a
// multiple of 5, the one archive.
class FuzzedFolder final : public FolderReader {
 public:
  FuzzedFolder(View archive, View loose) : archive_(archive), loose_(loose) {}
  [[nodiscard]] const std::vector<std::string>& namesIn(const std::string& folder) override {
    static const std::vector<std::string> kTop = {"override"};
    static const std::vector<std::string> kOverride = {"ModSpark.spl"};
    static const std::vector<std::string> kNone;
    return folder.empty() ? kTop : folder == "override" ? kOverride : kNone;
  }
  [[nodiscard]] bool isFile(const std::string& path) override {
    return path != "override" && exists(path);
  }
  [[nodiscard]] bool exists(const std::string& path) override {
    std::size_t sum = 0;
    for (const char c : path)
      sum += static_cast<unsigned char>(c);
    return sum % 5 != 0;
  }
  [[nodiscard]] bool readWhole(const std::string&, std::vector<std::uint8_t>& bytes) override {
    bytes.assign(loose_.data, loose_.data + loose_.size);
    return true;
  }
  [[nodiscard]] std::unique_ptr<ArchiveBytes> openArchive(const std::string&) override {
    return std::make_unique<WholeArchive>(archive_);
  }

 private:
  View archive_;
  View loose_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t indexSize = 0;
  std::memcpy(&indexSize, data, 4);
  const std::size_t cut = 4 + (indexSize < size - 4 ? indexSize : size - 4);
  // Each file in a block of its own, so that the sanitizer sees its end.
  fuzz::Bytes index(data + 4, data + cut);
  fuzz::Bytes archive(data + cut, data + size);
  fuzz::Bytes loose(
      archive.begin(),
      archive.begin() + static_cast<std::ptrdiff_t>(archive.size() < 0x40 ? archive.size() : 0x40));
  FuzzedFolder files(fuzz::viewOf(archive), fuzz::viewOf(loose));
  GameFolder folder(files);
  InstalledSpells spells(fuzz::viewOf(index), folder);
  std::vector<ResRef> names = fuzz::sampleNames();
  names.push_back(0x4B52415053444F4Dull);  // MODSPARK
  for (std::size_t at = 0; at + 8 <= index.size() && at < 512; at += 14)
    names.push_back(gamedata::getU32(index, at) | std::uint64_t{gamedata::getU32(index, at + 4)}
                                                      << 32);
  std::uint64_t sum = 0;
  for (const FoundSpell& found : spells.find(names)) {
    if (found.inArchive && !found.inIndex) std::abort();
    if (const std::optional<SpellHeader> header = SpellHeader::at(found.data, 0)) {
      sum += header->type() + static_cast<std::uint32_t>(header->level()) + header->nameRef();
    }
  }
  for (std::uint32_t number = 0; number < 8; ++number)
    sum += archivePath(fuzz::viewOf(index), number).size();
  sum += archiveNumberNamed(fuzz::viewOf(index), "data\\SPELLS.BIF").value_or(0);
  return sum == 1 ? 1 : 0;  // keeps the reads from being optimized away
}
