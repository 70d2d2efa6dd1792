// The one place that knows how a field sits in a mapped file: little-endian, no alignment
// assumed, and every access checked against the size of the view it reads or writes.
#ifndef GRIMTRIM_FORMATS_BYTES_H_
#define GRIMTRIM_FORMATS_BYTES_H_

#include <bit>
#include <cstdint>
#include <cstring>

// A mapped file as the formats see it: its bytes and how many there are. `data` is writable
// only for a save opened for editing; the formats never store through any other view.
struct View {
  std::uint8_t* data = nullptr;
  std::uint64_t size = 0;
};

// True when [offset, offset + length) lies inside `size` bytes. The subtraction runs only once
// length <= size is known, so no value a file holds can make it wrap.
[[nodiscard]] constexpr bool fitsIn(std::uint64_t size, std::uint64_t offset,
                                    std::uint64_t length) {
  return length <= size && offset <= size - length;
}

// True when [offset, offset + length) lies inside the view.
[[nodiscard]] constexpr bool inside(const View& v, std::uint64_t offset, std::uint64_t length) {
  return fitsIn(v.size, offset, length);
}

// Field readers and writers. Each one checks its own bytes and yields 0 (or stores nothing)
// outside the view, so even a missed check upstream cannot reach past a file's end; callers
// still check the enclosing record first, so that a damaged file gets its proper message.
[[nodiscard]] inline std::uint16_t loadU16(const View& v, std::uint64_t offset) {
  if (!inside(v, offset, 2)) return 0;
  const std::uint8_t* p = v.data + offset;
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

[[nodiscard]] inline std::uint32_t loadU32(const View& v, std::uint64_t offset) {
  if (!inside(v, offset, 4)) return 0;
  const std::uint8_t* p = v.data + offset;
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

// A dword stored as two's complement: the counts and levels of the game's files are signed.
[[nodiscard]] inline std::int32_t loadI32(const View& v, std::uint64_t offset) {
  return static_cast<std::int32_t>(loadU32(v, offset));
}

// Eight bytes as one little-endian number, for comparing resource names in one step.
[[nodiscard]] inline std::uint64_t loadU64(const View& v, std::uint64_t offset) {
  if (!inside(v, offset, 8)) return 0;
  std::uint64_t value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, v.data + offset, 8);  // one unaligned load
  } else {
    for (unsigned i = 8; i-- > 0;)
      value = value << 8 | v.data[offset + i];
  }
  return value;
}

inline void storeU16(const View& v, std::uint64_t offset, std::uint16_t value) {
  if (!inside(v, offset, 2)) return;
  std::uint8_t* p = v.data + offset;
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void storeU32(const View& v, std::uint64_t offset, std::uint32_t value) {
  if (!inside(v, offset, 4)) return;
  std::uint8_t* p = v.data + offset;
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Moves `length` bytes from `from` to `to` inside the view; the ranges may overlap. Nothing
// moves unless both ranges lie inside the view.
inline void moveBytes(const View& v, std::uint64_t to, std::uint64_t from, std::uint64_t length) {
  if (length == 0 || !inside(v, to, length) || !inside(v, from, length)) return;
  std::memmove(v.data + to, v.data + from, static_cast<std::size_t>(length));
}

// True when the view starts at `offset` with the `length` bytes of `signature`; false when any
// of those bytes lies past the view's end, without reading them.
[[nodiscard]] inline bool hasSignature(const View& v, std::uint64_t offset, const char* signature,
                                       std::uint64_t length) {
  return inside(v, offset, length) &&
         std::memcmp(v.data + offset, signature, static_cast<std::size_t>(length)) == 0;
}

// The view's bytes from `offset` on, at most `length` of them, as a view whose byte 0 is the
// view's byte `offset`: fewer at the view's end, none past it.
[[nodiscard]] inline View viewFrom(const View& v, std::uint64_t offset, std::uint64_t length) {
  if (offset > v.size) return {};
  const std::uint64_t room = v.size - offset;
  return {v.data + offset, length < room ? length : room};
}

// Address of `offset` inside the view, for printing a counted text or a name in place. Only
// called for ranges already checked with inside().
[[nodiscard]] inline const char* textAt(const View& v, std::uint64_t offset) {
  return reinterpret_cast<const char*>(v.data + offset);
}

// Length of the text at `offset`: up to its first NUL byte, at most `limit` bytes, and never
// past the view's end.
[[nodiscard]] inline std::uint64_t textLength(const View& v, std::uint64_t offset,
                                              std::uint64_t limit) {
  if (offset >= v.size) return 0;
  const std::uint64_t room = v.size - offset < limit ? v.size - offset : limit;
  const auto* start = v.data + offset;
  const void* nul = std::memchr(start, 0, static_cast<std::size_t>(room));
  return nul == nullptr ? room
                        : static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(nul) - start);
}

#endif  // GRIMTRIM_FORMATS_BYTES_H_
