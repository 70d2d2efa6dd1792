// What a run asks of the spell book: the four option values, as the command line's options give
// them.
#ifndef GRIMTRIM_SPELLBOOK_SETTINGS_H_
#define GRIMTRIM_SPELLBOOK_SETTINGS_H_

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

// The letter of each option (after its '-', either case) and the value it sets, in the order the
// help lists them.
struct OptionLetter {
  char letter;
  std::int32_t Settings::*field;
};
inline constexpr OptionLetter kOptionLetters[] = {{'f', &Settings::method},
                                                  {'p', &Settings::member},
                                                  {'s', &Settings::level},
                                                  {'w', &Settings::number}};

// True when member, level and number were all given: only such a run may whack a spell, so
// only it opens the saved game for writing.
[[nodiscard]] constexpr bool editsSave(const Settings& settings) {
  return settings.member != kNotGiven && settings.level != kNotGiven &&
         settings.number != kNotGiven;
}

#endif  // GRIMTRIM_SPELLBOOK_SETTINGS_H_
