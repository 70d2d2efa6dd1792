// How the program gives up: one message on standard output, then exit status 1.
#ifndef GRIMTRIM_APP_FATAL_H_
#define GRIMTRIM_APP_FATAL_H_

#include "text/output.h"

// Prints the message like printf and ends the process with status 1, once everything printed
// has been written out.
[[noreturn]] void fatal(const char* format, ...) GRIMTRIM_PRINTF_FORMAT(1, 2);

// Writes out what is still buffered for standard output. `status` when that worked; otherwise
// says on standard error that the output was lost and gives 1, so that lost output never
// passes for a good run.
[[nodiscard]] int finishOutput(int status);

#endif  // GRIMTRIM_APP_FATAL_H_
