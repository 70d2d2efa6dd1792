// What crosses between the core and the page, declared once: the handed folder's flags and caps,
// and the parts each answer is made of, in order. The page asks once, when it starts
// (gt_constants, constants.cpp), for these, for every table of codes it decides by, each code by
// its name and number, and for the conventions of the core it speaks of; it then reads each
// answer part by part in the order given here, and knows a code only by the name it was sent.
#ifndef GRIMTRIM_WEB_BRIDGE_PROTOCOL_H_
#define GRIMTRIM_WEB_BRIDGE_PROTOCOL_H_

#include <cstdint>
#include <iterator>

#include "formats/compressed_archive.h"
#include "formats/signatures.h"
#include "formats/spell_archive.h"
#include "spellbook/installed_spells.h"
#include "spellbook/run.h"
#include "spellbook/run_files.h"
#include "spellbook/whack.h"

template <typename Code>
constexpr std::uint32_t codeOf(Code code) {
  return static_cast<std::uint32_t>(code);
}

// Every code the page is sent is numbered below this: gt_constants sends each table's codes that
// have a name among these numbers. A retired code's number is never given to another.
inline constexpr std::uint32_t kCodeNumbers = 64;

// The files the page hands to a session in the configured form, in the order the command line
// checks them; the page names its four kinds in this order.
inline constexpr FileRole kHandedRoles[] = {FileRole::StringTable, FileRole::SpellArchive,
                                            FileRole::ResourceIndex, FileRole::Save};
inline constexpr const char* kHandedSignatures[] = {kStringTableSignature, kSpellArchiveSignature,
                                                    kResourceIndexSignature, kSaveGameSignature};
// A spell archive may also come in either compressed form, told by its first eight bytes.
inline constexpr const char* kCompressedArchiveSignatures[] = {kBlocksSignature, kStreamSignature};
// And an exported character stands where a save does.
inline constexpr const char* kOtherSaveSignatures[] = {kCharacterSignature};
static_assert(std::size(kHandedSignatures) == std::size(kHandedRoles));

// The first bytes of every file the page reads to tell its kind: enough for the signature and
// for an archive's header, which says where its file table lies.
inline constexpr std::uint64_t kHeadSize = kArchiveHeaderSize;
static_assert(kHeadSize >= kSignatureSize && kHeadSize >= kFormSignatureSize);

// The handed folder's flags of a file (handed_folder.h).
inline constexpr std::uint32_t kUnreadable = 1;  // reading it failed: it cannot be opened
inline constexpr std::uint32_t kSizeKnown = 2;   // its size is known, so are its parts' places

// An archive's file table is read only up to this many entries: far more than a game's archive
// holds, and a damaged count cannot make the page read a whole file of gigabytes.
inline constexpr std::uint64_t kMostTableEntries = std::uint64_t{1} << 20;
// So no part of an archive asked for is longer than that table.
inline constexpr std::uint64_t kMostArchiveRead = kMostTableEntries * kFileEntrySize;
// A compressed archive's block is read whole: the page's reads must reach the largest one.
static_assert(kMostArchiveRead >= kMostBlockRead);

// Archives are scored, and a folder planned, on at most this many of the party's known spells:
// far more than any real party knows, and few enough that a damaged save cannot hold the page up.
inline constexpr std::uint64_t kMostScoredSpells = std::uint64_t{1} << 16;

// The parts an answer is made of. Words are 32 bits, little-endian; a text is a word of its
// length, then its bytes; a count is a word, then that many items.
enum class AnswerPart : std::uint32_t {
  // word: 0 when the run's files passed their checks and the run ran, 1 when one did not.
  Status = 0,
  // text: everything the command line printed, the banner first.
  Printed = 1,
  // text: the message of the file check that failed; empty where none did.
  FailedCheck = 2,
  // How the run ended: its RunEnd, the member (signed), the missing name's 8 bytes, the whacked
  // spell's known index, level and number (signed), the WhackEnd, whether the method was
  // unknown (word), and the text of the message the run stopped with (empty where it did not).
  Outcome = 3,
  // count of members, each: index (signed), listing number, whether it knows spells, name text.
  Members = 4,
  // The chosen member's spell-book spells as its listing without a level walks them over the
  // save as the run left it: count, each known index, level, number (signed) and name text;
  // then how that walk ended (RunEnd) and the text of its stop message.
  MemberSpells = 5,
  // With a game's folder: count of the archives that could not be used, each its number, its
  // ArchiveTrouble, its InflateTrouble (None but with Compressed) and its path text; then the
  // count of reads the handed folder lacked. Both 0 for the configured files.
  FolderNotes = 6,
  // word: the save's size once the run is over; smaller than before where a whack wrote it anew
  // without the spell, in the block the save was handed in.
  SaveSize = 7,
};
inline constexpr std::size_t kAnswerParts = 8;

// gt_run's answer.
inline constexpr AnswerPart kRunAnswer[] = {
    AnswerPart::Status,  AnswerPart::Printed,      AnswerPart::FailedCheck, AnswerPart::Outcome,
    AnswerPart::Members, AnswerPart::MemberSpells, AnswerPart::FolderNotes, AnswerPart::SaveSize};
// gt_party's answer: the party of another save, as the listing without a member reads it.
inline constexpr AnswerPart kPartyAnswer[] = {AnswerPart::Members, AnswerPart::Outcome};

#endif  // GRIMTRIM_WEB_BRIDGE_PROTOCOL_H_
