// A text table ("2DA"), as the game's data holds its lists: lines ending in LF, values separated
// by spaces, tabs or CRs. Line 1 is the signature (not checked), line 2 the default value, line 3
// the column headings; every later line that holds a value is a row, numbered from 0, its first
// value the row's label. A table whose first two bytes are FF FF is obfuscated: the rest is
// XORed with a 64-byte key, byte j with byte j mod 64.
#ifndef GRIMTRIM_FORMATS_TEXT_TABLE_H_
#define GRIMTRIM_FORMATS_TEXT_TABLE_H_

#include <cstddef>
#include <vector>

#include "formats/bytes.h"
#include "formats/resource_index.h"

// The type of a text table in the resource index.
inline constexpr std::uint16_t kTextTableType = 0x3F4;

// Value `value` of every row of the table in `file` (0 is the label), as a resource name: its
// ASCII letters made capitals, cut to 8 bytes and NUL-padded. A row with fewer values takes the
// default value (none: an empty name). The file is read once, in place, whatever it holds.
[[nodiscard]] std::vector<ResRef> tableNames(const View& file, std::size_t value);

#endif  // GRIMTRIM_FORMATS_TEXT_TABLE_H_
