// What the program prints about the party, and the walk over a member's known spells that
// lists them or finds the one to whack.
#ifndef GRIMTRIM_SPELLBOOK_SPELLBOOK_H_
#define GRIMTRIM_SPELLBOOK_SPELLBOOK_H_

#include <cstdint>

// What a member's report says about the walk over the party.
inline constexpr int kStop = 0;
inline constexpr int kContinue = 1;

// How a walk over the known spells ended.
enum class ListEnd {
  Stop,       // a lookup failed and its message was printed
  Whacked,    // the chosen spell was handed to whackSpell()
  Completed,  // every known spell was walked
};

// Reports on every party member in table order (names only), or on the chosen member alone,
// then prints the closing hint that fits the options given.
void reportParty();

// Prints the line of the party record at `record` in the saved game view and, when a member
// was chosen, walks its known spells. kContinue, or kStop when the walk over the party must end
// here because the member's data could not be read.
[[nodiscard]] int reportMember(std::uint64_t record);

// Walks the known spells of the creature record at `creature`, keeping the spell-book spells:
// lists their levels, lists the spells of the chosen level with their numbers, or whacks the
// chosen number.
[[nodiscard]] ListEnd listSpells(std::uint64_t creature);

#endif  // GRIMTRIM_SPELLBOOK_SPELLBOOK_H_
