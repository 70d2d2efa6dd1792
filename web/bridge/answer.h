// An answer to the page being built: the parts bridge_protocol.h declares, written in the order the
// page reads them, handed over as one block.
#ifndef GRIMTRIM_WEB_ANSWER_H_
#define GRIMTRIM_WEB_ANSWER_H_

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "bridge_protocol.h"

#include "formats/bytes.h"
#include "spellbook/driver.h"
#include "spellbook/installed_spells.h"
#include "spellbook/party.h"
#include "spellbook/run.h"
#include "spellbook/spell_walk.h"

class Answer {
 public:
  void word(std::uint32_t value);
  void signedWord(std::int32_t value) { word(static_cast<std::uint32_t>(value)); }
  // Two words, low first: an offset or a length of a file past 4 GB.
  void longWord(std::uint64_t value);
  void text(std::string_view text);
  void append(const Answer& other);

  // The part Outcome: how a run ended, with the message it stopped with.
  void outcome(const RunOutcome& outcome);
  // One item of the parts Members and MemberSpells, names through `stringTable`.
  void member(const MemberLine& line);
  void spell(const KeptSpell& spell);
  // The part MemberSpells: the member's listing, none where no member was chosen.
  void memberListing(const std::optional<MemberListing>& listing);
  // The part FolderNotes.
  void folderNotes(const std::vector<UnusableArchive>& unusable, std::size_t unmet);

  // The answer in a block of its own from malloc(), for the caller to free; nullptr when memory
  // is spent.
  [[nodiscard]] std::uint8_t* release() const;

 private:
  std::vector<std::uint8_t> bytes_;
};

// An answer written part by part in any order, and handed over in the order its table in
// bridge_protocol.h gives.
class PartedAnswer {
 public:
  Answer& operator[](AnswerPart part) { return parts_[static_cast<std::size_t>(part)]; }
  [[nodiscard]] std::uint8_t* release(std::span<const AnswerPart> order) const;

 private:
  std::array<Answer, kAnswerParts> parts_;
};

// The text of `text` as the command line prints it with "%.*s": up to its first NUL byte within
// its length.
[[nodiscard]] std::string_view printedText(const Text& text);

#endif  // GRIMTRIM_WEB_ANSWER_H_
