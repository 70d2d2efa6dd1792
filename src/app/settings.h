// The four option values of a run and how the command line sets them.
#ifndef GRIMTRIM_APP_SETTINGS_H_
#define GRIMTRIM_APP_SETTINGS_H_

#include <cstdint>

// The value of `member`, `level` and `number` that means the option was not given. An option
// whose value reads as -1 is the same as the option left out.
inline constexpr std::int32_t kNotGiven = -1;

struct Settings {
  // -fN: what the whack does with the 12 bytes it frees; 0 and 1 are defined, other values
  // warn and act as 1.
  std::int32_t method = 1;
  // -pN: 0-based index of the party record to report on; kNotGiven lists every member's name.
  std::int32_t member = kNotGiven;
  // -sN: spell level to list, as stored in the spell header; kNotGiven lists the levels.
  std::int32_t level = kNotGiven;
  // -wN: 1-based number, in the listing of `level`, of the spell to whack; kNotGiven lists.
  std::int32_t number = kNotGiven;
};

// The run's settings: filled while the options are parsed, read-only afterwards.
extern Settings g_settings;

// Scans the options, every argument from argv[1] up to but not including the last two, left
// to right into `settings`; the last of a repeated option wins. False on the first argument
// that does not begin with '-' or names a letter other than f, p, s and w (in either case);
// `settings` may then be partly filled.
[[nodiscard]] bool parseOptions(int argc, const char* const* argv, Settings& settings);

// The value of an option's text after its letter, read as C's atoi reads a decimal number:
// leading white space, one optional sign, then digits up to the first other character (none
// gives 0). Too many digits wrap around in 32 bits.
[[nodiscard]] std::int32_t optionValue(const char* text);

// True when member, level and number were all given: only such a run may whack a spell, so
// only it opens the saved game for writing.
[[nodiscard]] bool editsSave(const Settings& settings);

#endif  // GRIMTRIM_APP_SETTINGS_H_
