// The first four bytes that mark each of the four files a run works on. A file is taken for its
// kind only when it begins with these; what is said when it does not is the front end's.
#ifndef GRIMTRIM_FORMATS_SIGNATURES_H_
#define GRIMTRIM_FORMATS_SIGNATURES_H_

#include <cstdint>

#include "formats/bytes.h"

inline constexpr std::uint64_t kSignatureSize = 4;

inline constexpr const char* kStringTableSignature = "TLK ";
inline constexpr const char* kSpellArchiveSignature = "BIFF";
inline constexpr const char* kResourceIndexSignature = "KEY ";
inline constexpr const char* kSaveGameSignature = "GAME";
// An exported character stands where a save does: a party of one.
inline constexpr const char* kCharacterSignature = "CHR ";

// True when `file` begins as a save or an exported character does.
[[nodiscard]] inline bool isSaveFile(const View& file) {
  return hasSignature(file, 0, kSaveGameSignature, kSignatureSize) ||
         hasSignature(file, 0, kCharacterSignature, kSignatureSize);
}

#endif  // GRIMTRIM_FORMATS_SIGNATURES_H_
