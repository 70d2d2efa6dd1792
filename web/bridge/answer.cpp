#include "answer.h"

#include <cstdlib>
#include <cstring>

#include "formats/string_table.h"
#include "text/output.h"
#include "text/report_printer.h"

void Answer::word(std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Answer::longWord(std::uint64_t value) {
  word(static_cast<std::uint32_t>(value));
  word(static_cast<std::uint32_t>(value >> 32));
}

void Answer::text(std::string_view text) {
  word(static_cast<std::uint32_t>(text.size()));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void Answer::append(const Answer& other) {
  bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
}

void Answer::outcome(const RunOutcome& outcome) {
  word(static_cast<std::uint32_t>(outcome.end));
  signedWord(outcome.member);
  longWord(outcome.missingName);
  signedWord(outcome.whacked.knownIndex);
  signedWord(outcome.whacked.level);
  signedWord(outcome.whacked.number);
  word(static_cast<std::uint32_t>(outcome.whack.end));
  word(outcome.whack.unknownMethod ? 1 : 0);
  TextOutput message;
  printStopMessage(outcome, message);
  text(message.text());
}

void Answer::member(const MemberLine& line) {
  signedWord(line.index);
  word(line.listingNumber);
  word(line.knowsSpells ? 1 : 0);
  text(printedText(line.name));
}

void Answer::spell(const KeptSpell& spell) {
  signedWord(spell.knownIndex);
  signedWord(spell.level);
  signedWord(spell.number);
  word(static_cast<std::uint32_t>(spell.spellClass));
  text(printedText(spell.name));
}

void Answer::memberListing(const std::optional<MemberListing>& listing) {
  const RunOutcome none;
  word(listing ? static_cast<std::uint32_t>(listing->spells.size()) : 0);
  if (listing) {
    for (const KeptSpell& kept : listing->spells)
      spell(kept);
  }
  const RunOutcome& end = listing ? listing->end : none;
  word(static_cast<std::uint32_t>(end.end));
  TextOutput message;
  printStopMessage(end, message);
  text(message.text());
}

void Answer::folderNotes(const std::vector<UnusableArchive>& unusable, std::size_t unmet) {
  word(static_cast<std::uint32_t>(unusable.size()));
  for (const UnusableArchive& archive : unusable) {
    word(archive.number);
    word(static_cast<std::uint32_t>(archive.trouble));
    word(static_cast<std::uint32_t>(archive.inflate));
    text(archive.path);
  }
  word(static_cast<std::uint32_t>(unmet));
}

std::uint8_t* Answer::release() const {
  auto* block = static_cast<std::uint8_t*>(std::malloc(bytes_.empty() ? 1 : bytes_.size()));
  if (block != nullptr && !bytes_.empty()) std::memcpy(block, bytes_.data(), bytes_.size());
  return block;
}

std::uint8_t* PartedAnswer::release(std::span<const AnswerPart> order) const {
  Answer whole;
  for (const AnswerPart part : order)
    whole.append(parts_[static_cast<std::size_t>(part)]);
  return whole.release();
}

std::string_view printedText(const Text& text) {
  // "%.*s" stops at a NUL byte within the length, and so does the page.
  const void* nul = std::memchr(text.address, 0, static_cast<std::size_t>(text.length));
  const std::size_t length =
      nul == nullptr ? static_cast<std::size_t>(text.length)
                     : static_cast<std::size_t>(static_cast<const char*>(nul) - text.address);
  return {text.address, length};
}
