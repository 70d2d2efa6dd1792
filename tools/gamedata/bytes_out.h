// Little-endian stores and loads on the files being built: the tools' side of the program's
// in-place reads.
#ifndef GRIMTRIM_TOOLS_GAMEDATA_BYTES_OUT_H_
#define GRIMTRIM_TOOLS_GAMEDATA_BYTES_OUT_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gamedata {

using Bytes = std::vector<std::uint8_t>;

// Little-endian stores at an offset of a file being built; the file grows to hold them.
void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value);
void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value);
// `text`, cut or padded with NUL bytes to `width` bytes.
void putText(Bytes& bytes, std::size_t offset, std::string_view text, std::size_t width);
[[nodiscard]] std::uint16_t getU16(const Bytes& bytes, std::size_t offset);
[[nodiscard]] std::uint32_t getU32(const Bytes& bytes, std::size_t offset);

}  // namespace gamedata

#endif  // GRIMTRIM_TOOLS_GAMEDATA_BYTES_OUT_H_
