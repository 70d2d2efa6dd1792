// The first four bytes that mark each of the four files a run works on. A file is taken for its
// kind only when it begins with these; what is said when it does not is the front end's.
#ifndef GRIMTRIM_FORMATS_SIGNATURES_H_
#define GRIMTRIM_FORMATS_SIGNATURES_H_

#include <cstdint>

inline constexpr std::uint64_t kSignatureSize = 4;

inline constexpr const char* kStringTableSignature = "TLK ";
inline constexpr const char* kSpellArchiveSignature = "BIFF";
inline constexpr const char* kResourceIndexSignature = "KEY ";
inline constexpr const char* kSaveGameSignature = "GAME";

#endif  // GRIMTRIM_FORMATS_SIGNATURES_H_
