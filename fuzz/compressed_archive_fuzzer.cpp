// Arbitrary bytes as a compressed archive of either form (or a plain one): read as the archive it
// holds, its header, its file table and the spell header of every entry, and reads across its
// end. Whatever it holds, a read gives only bytes that lie inside the archive it states, and
// none once it is found damaged.
#include <cstdlib>
#include <memory>

#include "formats/compressed_archive.h"
#include "formats/spell_header.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes file(data, data + size);
  const std::unique_ptr<ArchiveBytes> archive =
      readableArchive(std::make_unique<WholeArchive>(fuzz::viewOf(file)));
  volatile std::uint64_t sink = 0;
  const auto read = [&](std::uint64_t offset, std::uint64_t length) {
    const View view = archive->bytes(offset, length);
    if (view.size > length || (view.size > 0 && offset + view.size > archive->size())) std::abort();
    if (view.size > 0 && archive->trouble() != InflateTrouble::None) std::abort();
    for (std::uint64_t i = 0; i < view.size; ++i)
      sink = sink + view.data[i];
    return view;
  };
  const FileTable files = fileTableOf(*archive);
  for (std::uint64_t i = 0; i < files.entries.entries && i < 256; ++i) {
    const View header = read(fileDataOffset(files.bytes, files.entries, i), kSpellHeaderSize);
    if (const std::optional<SpellHeader> spell = SpellHeader::at(header, 0)) {
      sink = sink + spell->type() + spell->nameRef();
    }
  }
  const std::uint64_t stated = archive->size();
  read(stated > 10 ? stated - 10 : 0, 100);
  read(stated / 2, stated);
  read(0, stated);
  return 0;
}
