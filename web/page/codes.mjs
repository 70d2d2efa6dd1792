// The codes the core answers with, by its own numbers (web/src/bridge_protocol.h checks each one):
// the page decides by these names, never by the text a run printed.

export const kNotGiven = -1;  // member, level or number left out, as on the command line
export const kDefaultMethod = 1;
export const kNoLocator = 0xFFFFFFFF;  // a known spell's name that the resource index lacks

// How a run ended.
export const RunEnd = Object.freeze({
  Completed: 0,          // every member, or every known spell of the chosen one, was walked
  Whacked: 1,            // the chosen spell was removed
  MemberOutsideSave: 2,  // the party record of the member does not lie whole inside the save
  NoCreature: 3,         // the member's creature record lies outside the save or lacks "CRE"
  KnownOutsideSave: 4,   // the member's known spells do not lie inside the save
  NameNotInIndex: 5,     // a known spell's name is not in the resource index
  NotASpell: 6,          // a known spell's data does not begin with a spell header
  SpellsByClass: 7,      // the member's game keeps spell books by class: not supported
  ArchiveUnusable: 8,    // the configured spell archive turned out not to inflate
});

// What a removal did with the room it freed.
export const WhackEnd = Object.freeze({
  LeftDuplicate: 0,                   // method 0: the last known spell stands twice
  Shrunk: 1,                          // method 1's whole work: list shortened, a memorized copy added
  // Method 1 found the record unfit and left it as method 0 does:
  KnownNotBeforeMemorization: 2,      // the known spells do not end where memorization begins
  MemorizationNotBeforeMemorized: 3,  // memorization does not end where memorized spells begin
  SectionsOutsideSave: 4,             // the sections do not lie inside the save
  NoMemorizedSpell: 5,                // there is no memorized spell to copy
  NoLevelOneEntry: 6,                 // no spell-level-1 entry can count the copy
});

// Why an archive of a game's folder could not be used: its spells were passed over.
export const ArchiveTrouble = Object.freeze({
  NotInTable: 0,    // the locator's archive number is not in the index's archive table
  Unreadable: 1,    // the file is missing or cannot be read
  NotAnArchive: 2,  // it is not a spell archive
  LacksEntry: 3,    // it holds no entry for a spell the index places in it
  Compressed: 4,    // it is compressed and cannot be inflated (an InflateTrouble says why)
});

// Why a compressed archive cannot be read.
export const InflateTrouble = Object.freeze({
  None: 0,
  BeyondFile: 1,      // a length it states runs past the end of its file
  TooLarge: 2,        // it states more than 256 MiB, or a block of more than 8 MiB
  DoesNotInflate: 3,  // its data is not a stream that inflates, or is cut short
  WrongLength: 4,     // it inflates to another length than it states
  HoldsNoArchive: 5,  // what it inflates to is not an archive
});

// The parts an answer about a run is made of; the core says in which order they come.
export const AnswerPart = Object.freeze({
  Status: 0,        // 0: the run ran; 1: a file failed its check
  Printed: 1,       // what the command line printed
  FailedCheck: 2,   // the message of the file check that failed
  Outcome: 3,       // how the run ended
  Members: 4,       // the members the run read
  MemberSpells: 5,  // the chosen member's spell-book spells as they now stand
  FolderNotes: 6,   // a game's folder's archives that could not be used, and reads it lacked
});

// True for an end where the run stopped at damage, with the message the command line printed
// for it.
export const stoppedEarly = (end) => end !== RunEnd.Completed && end !== RunEnd.Whacked;
