// What the page asks once, when it starts: how to tell the four kinds of file apart, and the
// layout of what crosses between it and the core (bridge_protocol.h).
#include <cstdint>
#include <iterator>
#include <string_view>

#include "answer.h"
#include "bridge_protocol.h"

extern "C" {

// Answer: each kind's signatures, in the order of kHandedRoles (the order the command line
// checks the files), each a count and texts: one, but for a spell archive also its compressed
// forms'; how many first bytes of a file the page reads (enough for a signature and an archive's
// header); the handed folder's flags kUnreadable and kSizeKnown; then the parts of gt_run's answer
// and of gt_party's, each a count and the parts in order. The caller frees it.
std::uint8_t* gt_constants() {
  Answer answer;
  for (const FileRole role : kHandedRoles) {
    const char* signature = kHandedSignatures[codeOf(role)];
    if (role != FileRole::SpellArchive) {
      answer.word(1);
      answer.text(std::string_view(signature, kSignatureSize));
      continue;
    }
    answer.word(static_cast<std::uint32_t>(1 + std::size(kCompressedArchiveSignatures)));
    answer.text(std::string_view(signature, kSignatureSize));
    for (const char* compressed : kCompressedArchiveSignatures)
      answer.text(std::string_view(compressed, kFormSignatureSize));
  }
  answer.word(static_cast<std::uint32_t>(kHeadSize));
  answer.word(kUnreadable);
  answer.word(kSizeKnown);
  for (const auto& order :
       {std::span<const AnswerPart>(kRunAnswer), std::span<const AnswerPart>(kPartyAnswer)}) {
    answer.word(static_cast<std::uint32_t>(order.size()));
    for (const AnswerPart part : order)
      answer.word(codeOf(part));
  }
  return answer.release();
}

}  // extern "C"
