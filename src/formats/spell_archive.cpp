#include "formats/spell_archive.h"

namespace {

constexpr std::uint64_t kFileCount = 0x08;  // dword, signed
constexpr std::uint64_t kFileTable = 0x10;  // dword, from the start of the file

}  // namespace

EntryTable fileEntriesOf(const View& head, std::uint64_t fileSize) {
  return entriesInside(head, fileSize, kArchiveHeaderSize, kFileCount, kFileTable, kFileEntrySize);
}

EntryTable fileEntries(const View& archive) {
  return fileEntriesOf(archive, archive.size);
}

std::optional<std::uint32_t> dataOffsetOf(const View& archive, Locator locator) {
  const EntryTable table = fileEntries(archive);
  for (std::uint64_t i = 0; i < table.entries; ++i) {
    if (fileLocator(archive, table, i) == locator) return fileDataOffset(archive, table, i);
  }
  return std::nullopt;
}

FileTable fileTableOf(ArchiveBytes& archive) {
  const View head = archive.bytes(0, kArchiveHeaderSize);
  const EntryTable announced = fileEntriesOf(head, archive.size());
  const View table = archive.bytes(announced.offset, announced.entries * kFileEntrySize);
  const std::uint64_t read = table.size / kFileEntrySize;
  return {table, {0, announced.entries < read ? announced.entries : read}};
}

std::optional<View> resourceData(ArchiveBytes& archive, const FileData& data) {
  if (!fitsIn(archive.size(), data.offset, data.size)) return std::nullopt;
  const View bytes = archive.bytes(data.offset, data.size);
  if (bytes.size != data.size) return std::nullopt;
  return bytes;
}
