// An archive in the two compressed forms older releases ship archives in, made with zlib.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_COMPRESSED_OUT_H_
#define GRIMTRIM_TOOLS_GAMEDATA_COMPRESSED_OUT_H_

#include <cstddef>
#include <string>

#include "gamedata/bytes_out.h"

namespace gamedata {

// "BIFCV1.0": the inflated length, then `archive` in blocks of `blockSize` bytes (the last one
// shorter), each its inflated length, its compressed length and one zlib stream.
[[nodiscard]] Bytes blockCompressed(const Bytes& archive, std::size_t blockSize = 8192);

// "BIF V1.0", as a ".cbf" file holds it: the length of `name` with its NUL, the name, the inflated
// and compressed lengths, then `archive` as one zlib stream.
[[nodiscard]] Bytes streamCompressed(const Bytes& archive, const std::string& name);

// `bytes` as one zlib stream.
[[nodiscard]] Bytes deflated(const Bytes& bytes);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_COMPRESSED_OUT_H_
