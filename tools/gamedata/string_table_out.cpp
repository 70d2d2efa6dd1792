#include "gamedata/string_table_out.h"

#include "gamedata/layout_internal.h"

namespace gamedata {

Bytes makeStringTable(const std::vector<std::string>& texts) {
  Bytes bytes;
  putText(bytes, 0, "TLK V1  ", 8);
  putU16(bytes, 0x08, 0);  // language
  putU32(bytes, 0x0A, static_cast<std::uint32_t>(texts.size()));
  const std::size_t textArea = 0x12 + texts.size() * 26;
  putU32(bytes, 0x0E, static_cast<std::uint32_t>(textArea));
  bytes.resize(textArea);
  std::size_t offset = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::size_t entry = 0x12 + i * 26;
    putU16(bytes, entry, 1);  // has text
    putU32(bytes, entry + 0x12, static_cast<std::uint32_t>(offset));
    putU32(bytes, entry + 0x16, static_cast<std::uint32_t>(texts[i].size()));
    offset += texts[i].size();
  }
  for (const std::string& text : texts)
    bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

std::size_t addString(std::vector<std::string>& strings, const std::string& text) {
  strings.push_back(text);
  return strings.size() - 1;
}

}  // namespace gamedata
