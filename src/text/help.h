// The fixed texts the program opens with, and the help it gives for a wrong command line.
#ifndef GRIMTRIM_TEXT_HELP_H_
#define GRIMTRIM_TEXT_HELP_H_

#include "text/output.h"

// The two banner lines every run starts with.
void printBanner(Output& out);

// The usage line, printed before the help when the two file names are missing.
void printUsage(Output& out);

// What the options do, the configuration file's format and the free-space methods.
void printHelp(Output& out);

#endif  // GRIMTRIM_TEXT_HELP_H_
