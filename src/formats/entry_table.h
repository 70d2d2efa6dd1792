// A table of fixed-size entries inside a file, as the index and the archives keep theirs: where
// it starts and how many of its entries a scan may read.
#ifndef GRIMTRIM_FORMATS_ENTRY_TABLE_H_
#define GRIMTRIM_FORMATS_ENTRY_TABLE_H_

#include <cstdint>

#include "formats/bytes.h"

// Where a table starts and how many of its entries lie whole inside the file (fewer than
// announced when the file is cut short).
struct EntryTable {
  std::uint64_t offset = 0;
  std::uint64_t entries = 0;
};

// The table of a signed `count` of `entrySize`-byte entries from the offset stored at
// `tableField`, as far as it lies inside a file of `fileSize` bytes whose header, `headerSize`
// bytes, is in `head`. A header that does not lie inside `head` means no entries.
[[nodiscard]] inline EntryTable entriesInside(const View& head, std::uint64_t fileSize,
                                              std::uint64_t headerSize, std::uint64_t countField,
                                              std::uint64_t tableField, std::uint64_t entrySize) {
  if (!inside(head, 0, headerSize)) return {};
  const std::int32_t count = loadI32(head, countField);
  const std::uint64_t table = loadU32(head, tableField);
  if (count <= 0 || table > fileSize) return {};
  const std::uint64_t fit = (fileSize - table) / entrySize;
  const auto wanted = static_cast<std::uint64_t>(count);
  return {table, fit < wanted ? fit : wanted};
}

#endif  // GRIMTRIM_FORMATS_ENTRY_TABLE_H_
