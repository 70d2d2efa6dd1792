#include "formats/spell_header.h"

namespace {

constexpr std::uint64_t kNameRef = 0x08;  // dword
constexpr std::uint64_t kType = 0x1C;     // word
constexpr std::uint64_t kLevel = 0x34;    // dword, signed

}  // namespace

std::optional<SpellHeader> SpellHeader::at(const View& bytes, std::uint64_t offset) {
  if (!inside(bytes, offset, kSpellHeaderSize) || !hasSignature(bytes, offset, "SPL ", 4)) {
    return std::nullopt;
  }
  return SpellHeader(bytes, offset);
}

std::uint16_t SpellHeader::type() const {
  return loadU16(bytes_, offset_ + kType);
}

std::int32_t SpellHeader::level() const {
  return loadI32(bytes_, offset_ + kLevel);
}

StrRef SpellHeader::nameRef() const {
  return loadU32(bytes_, offset_ + kNameRef);
}
