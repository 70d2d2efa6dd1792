// What the command line says on standard error of a game's folder it was given: which language's
// string table it reads, and each archive whose spells it passed over. Each note is one line.
#ifndef GRIMTRIM_TEXT_FOLDER_NOTES_H_
#define GRIMTRIM_TEXT_FOLDER_NOTES_H_

#include "spellbook/folder_layout.h"
#include "spellbook/installed_spells.h"
#include "text/output.h"

// The language of the string table in use, where the folder holds tables of several; nothing
// otherwise.
void printLanguageNote(const StringTableChoice& table, Output& out);

// Why `archive` could not be used.
void printUnusableArchive(const UnusableArchive& archive, Output& out);

#endif  // GRIMTRIM_TEXT_FOLDER_NOTES_H_
