#include "text/folder_notes.h"

#include "text/file_messages.h"

void printLanguageNote(const StringTableChoice& table, Output& out) {
  if (table.languages > 1) {
    out.print("grimtrim: using the string table of language %s, one of %u\n",
              table.language.c_str(), static_cast<unsigned>(table.languages));
  }
}

void printUnusableArchive(const UnusableArchive& archive, Output& out) {
  const int length = static_cast<int>(archive.path.size());
  const char* path = archive.path.data();
  switch (archive.trouble) {
    case ArchiveTrouble::NotInTable:
      out.print("grimtrim: archive %u is not in the index's archive table\n", archive.number);
      break;
    case ArchiveTrouble::Unreadable:
      out.print("grimtrim: archive <%.*s> is missing or cannot be read\n", length, path);
      break;
    case ArchiveTrouble::NotAnArchive:
      out.print("grimtrim: <%.*s> is not an archive\n", length, path);
      break;
    case ArchiveTrouble::LacksEntry:
      out.print("grimtrim: archive <%.*s> lacks spells the index places in it\n", length, path);
      break;
    case ArchiveTrouble::Compressed:
      out.print("grimtrim: compressed archive <%.*s> %s\n", length, path,
                inflateTroubleText(archive.inflate));
      break;
  }
}
