// The four files a run works on, told apart by their signatures, with what is said when one
// of them cannot be used.
#ifndef GRIMTRIM_TEXT_FILE_KIND_H_
#define GRIMTRIM_TEXT_FILE_KIND_H_

#include "formats/bytes.h"
#include "formats/signatures.h"

struct FileKind {
  const char* signature;         // the first kSignatureSize bytes
  const char* locationMessage;   // its line cannot be read from the configuration file
  const char* openMessage;       // %s: the path
  const char* mappingMessage;    // no mapping of the file (a file of 0 bytes has none)
  const char* signatureMessage;  // %s: the path
};

inline constexpr FileKind kStringTable{kStringTableSignature, "error reading .tlk file location",
                                       "Cannot open .tlk file <%s>",
                                       "Cannot create .tlk file mapping object",
                                       "<%s> is not a .tlk file, first chars are not \"TLK \""};
inline constexpr FileKind kSpellArchive{
    kSpellArchiveSignature, "error reading spell.bif file location",
    "Cannot open spell.bif file <%s>", "Cannot create spell.bif file mapping object",
    "<%s> is not a spell.bif file, first chars are not \"BIFF\""};
inline constexpr FileKind kResourceIndex{
    kResourceIndexSignature, "error reading .key file location", "Cannot open .key file <%s>",
    "Cannot create .key file mapping object",
    "<%s> is not a .key file, first chars are not \"KEY \""};
inline constexpr FileKind kSaveGame{kSaveGameSignature, nullptr, "Cannot open save file <%s>",
                                    "Cannot create file mapping object",
                                    "<%s> is not a save file, first chars are not \"GAME\""};

// All four files share this one for a view that cannot be made.
inline constexpr const char* kViewMessage = "Cannot Map file <%s>, maybe too large";

// True when `view` begins with the kind's signature. A file shorter than the signature fails
// without a byte past its end being read.
[[nodiscard]] inline bool hasKindSignature(const View& view, const FileKind& kind) {
  return hasSignature(view, 0, kind.signature, kSignatureSize);
}

#endif  // GRIMTRIM_TEXT_FILE_KIND_H_
