// How the command line sets the four option values of a run.
#ifndef GRIMTRIM_APP_OPTIONS_H_
#define GRIMTRIM_APP_OPTIONS_H_

#include <cstdint>

#include "spellbook/settings.h"

// Scans the options, every argument from argv[1] up to but not including the last two, left
// to right into `settings`; the last of a repeated option wins. False on the first argument
// that does not begin with '-' or names a letter other than f, p, s and w (in either case);
// `settings` may then be partly filled.
[[nodiscard]] bool parseOptions(int argc, const char* const* argv, Settings& settings);

// The value of an option's text after its letter, read as C's atoi reads a decimal number:
// leading white space, one optional sign, then digits up to the first other character (none
// gives 0). Too many digits wrap around in 32 bits.
[[nodiscard]] std::int32_t optionValue(const char* text);

#endif  // GRIMTRIM_APP_OPTIONS_H_
