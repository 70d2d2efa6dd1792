// The game's string table ("TLK "): the display texts that names and spell names refer to.
#ifndef GRIMTRIM_FORMATS_STRING_TABLE_H_
#define GRIMTRIM_FORMATS_STRING_TABLE_H_

#include <cstdint>

#include "formats/bytes.h"

// Index of a text in the string table.
using StrRef = std::uint32_t;

// A counted text in place in a view, as "%.*s" prints it: at most `length` bytes, fewer when a
// NUL byte stands within them. `length` never exceeds what an int precision can hold.
struct Text {
  const char* address = "";
  int length = 0;
};

// The text of `ref` in the string table `table`. A reference beyond the table, or one whose
// header, entry or text does not lie inside the file, gives the text "strref error" instead.
[[nodiscard]] Text stringText(const View& table, StrRef ref);

// The length of that text in bytes.
[[nodiscard]] int stringLength(const View& table, StrRef ref);

#endif  // GRIMTRIM_FORMATS_STRING_TABLE_H_
