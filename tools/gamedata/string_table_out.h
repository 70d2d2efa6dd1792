// The string table ("TLK ") that names and spell names refer to.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_STRING_TABLE_OUT_H_
#define GRIMTRIM_TOOLS_GAMEDATA_STRING_TABLE_OUT_H_

#include <string>
#include <vector>

#include "gamedata/bytes_out.h"

namespace gamedata {

// The string table alone: one entry per text, texts back to back after the entries.
[[nodiscard]] Bytes makeStringTable(const std::vector<std::string>& texts);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_STRING_TABLE_OUT_H_
