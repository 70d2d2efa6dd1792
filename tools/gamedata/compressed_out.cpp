#include "gamedata/compressed_out.h"

#include <algorithm>
#include <stdexcept>

#include <zlib.h>

namespace gamedata {

Bytes deflated(const Bytes& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK) {
    throw std::runtime_error("zlib cannot compress");
  }
  out.resize(size);
  return out;
}

Bytes blockCompressed(const Bytes& archive, std::size_t blockSize) {
  Bytes out;
  putText(out, 0, "BIFCV1.0", 8);
  putU32(out, 8, static_cast<std::uint32_t>(archive.size()));
  for (std::size_t at = 0; at < archive.size(); at += blockSize) {
    const auto end = std::min(archive.size(), at + blockSize);
    const Bytes block(archive.begin() + static_cast<std::ptrdiff_t>(at),
                      archive.begin() + static_cast<std::ptrdiff_t>(end));
    const Bytes stream = deflated(block);
    const std::size_t header = out.size();
    putU32(out, header, static_cast<std::uint32_t>(block.size()));
    putU32(out, header + 4, static_cast<std::uint32_t>(stream.size()));
    out.insert(out.end(), stream.begin(), stream.end());
  }
  return out;
}

Bytes streamCompressed(const Bytes& archive, const std::string& name) {
  Bytes out;
  putText(out, 0, "BIF V1.0", 8);
  putU32(out, 8, static_cast<std::uint32_t>(name.size() + 1));
  putText(out, 12, name, name.size() + 1);
  const Bytes stream = deflated(archive);
  const std::size_t lengths = out.size();
  putU32(out, lengths, static_cast<std::uint32_t>(archive.size()));
  putU32(out, lengths + 4, static_cast<std::uint32_t>(stream.size()));
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

}  // namespace gamedata
