// The fixed texts the program opens with, and the help it gives for a wrong command line.
#ifndef GRIMTRIM_APP_HELP_H_
#define GRIMTRIM_APP_HELP_H_

// The two banner lines every run starts with.
void printBanner();

// The usage line, printed before the help when the two file names are missing.
void printUsage();

// What the options do, the configuration file's format and the free-space methods.
void printHelp();

#endif  // GRIMTRIM_APP_HELP_H_
