#include "gamedata/bytes_out.h"

#include "gamedata/layout_internal.h"

namespace gamedata {

void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2);
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  putU16(bytes, offset, static_cast<std::uint16_t>(value));
  putU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void putText(Bytes& bytes, std::size_t offset, std::string_view text, std::size_t width) {
  if (bytes.size() < offset + width) bytes.resize(offset + width);
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
  }
}

std::uint16_t getU16(const Bytes& bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

std::uint32_t getU32(const Bytes& bytes, std::size_t offset) {
  return getU16(bytes, offset) | std::uint32_t{getU16(bytes, offset + 2)} << 16;
}

void fill(Bytes& bytes, std::size_t begin, std::size_t end, std::uint32_t seed) {
  if (bytes.size() < end) bytes.resize(end);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::size_t i = begin; i < end; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<std::uint8_t>(state >> 16);
  }
}

}  // namespace gamedata
