// How the program gives up: one message on standard output, then exit status 1.
#ifndef GRIMTRIM_APP_FATAL_H_
#define GRIMTRIM_APP_FATAL_H_

#if defined(__GNUC__)
#define GRIMTRIM_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define GRIMTRIM_PRINTF_FORMAT(f, a)
#endif

// Prints the message like printf and ends the process with status 1. exit() rather than
// _exit() so that everything printed before it still reaches standard output.
[[noreturn]] void fatal(const char* format, ...) GRIMTRIM_PRINTF_FORMAT(1, 2);

#endif  // GRIMTRIM_APP_FATAL_H_
