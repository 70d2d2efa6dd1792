// The game's string table ("TLK "): the display texts that names and spell names refer to.
#ifndef GRIMTRIM_FORMATS_STRING_TABLE_H_
#define GRIMTRIM_FORMATS_STRING_TABLE_H_

#include <cstdint>

#include "formats/bytes.h"

// Index of a text in the string table.
using StrRef = std::uint32_t;

// The mapped string table; set by the driver once the file's signature has been checked.
extern View g_stringTableView;

// Text of `ref`, in place in the string table view, and its length in bytes; always used as a
// pair to print with "%.*s". A reference beyond the table, or one whose header, entry or text
// does not lie inside the file, gives the text "strref error" of length 12 instead.
[[nodiscard]] const char* stringText(StrRef ref);
[[nodiscard]] int stringLength(StrRef ref);

#endif  // GRIMTRIM_FORMATS_STRING_TABLE_H_
