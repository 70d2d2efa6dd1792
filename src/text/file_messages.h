// What the command line says when one of the run's files cannot be used: the one message of each
// file and step, as the program prints it before it gives up.
#ifndef GRIMTRIM_TEXT_FILE_MESSAGES_H_
#define GRIMTRIM_TEXT_FILE_MESSAGES_H_

#include "spellbook/run_files.h"
#include "text/output.h"

// Prints the message of `trouble`, with its path where the message names one; none of them ends
// with a line feed.
void printFileTrouble(const FileTrouble& trouble, Output& out);

// Why a compressed archive cannot be read, as the messages about it end: "does not inflate", ...
[[nodiscard]] const char* inflateTroubleText(InflateTrouble trouble);

#endif  // GRIMTRIM_TEXT_FILE_MESSAGES_H_
