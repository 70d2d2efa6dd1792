#include "formats/compressed_archive.h"

#include <utility>

#include "formats/block_archive.h"
#include "formats/signatures.h"
#include "formats/stream_archive.h"

ArchiveForm archiveFormOf(const View& head) {
  if (hasSignature(head, 0, kBlocksSignature, kFormSignatureSize)) return ArchiveForm::Blocks;
  if (hasSignature(head, 0, kStreamSignature, kFormSignatureSize)) return ArchiveForm::Stream;
  return ArchiveForm::Plain;
}

bool isArchiveFile(const View& head) {
  return hasSignature(head, 0, kSpellArchiveSignature, kSignatureSize) ||
         archiveFormOf(head) != ArchiveForm::Plain;
}

std::unique_ptr<ArchiveBytes> readableArchive(std::unique_ptr<ArchiveBytes> raw) {
  switch (archiveFormOf(raw->bytes(0, kFormSignatureSize))) {
    case ArchiveForm::Blocks:
      return blockArchiveOver(std::move(raw));
    case ArchiveForm::Stream:
      return streamArchiveOver(std::move(raw));
    case ArchiveForm::Plain:
      break;
  }
  return raw;
}

InflateTrouble unusableBecause(ArchiveBytes& archive) {
  // The header first: reading it is what inflates a compressed archive's first bytes, and so
  // what finds a damaged first block.
  const bool archiveInside =
      hasSignature(archive.bytes(0, kArchiveHeaderSize), 0, kSpellArchiveSignature, kSignatureSize);
  if (archive.trouble() != InflateTrouble::None) return archive.trouble();
  return archiveInside ? InflateTrouble::None : InflateTrouble::HoldsNoArchive;
}
