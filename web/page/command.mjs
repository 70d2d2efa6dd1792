// The command line as the page shows it: the command equivalent to what the player asked, and
// what the core's outcome of a run means for the player. Nothing here reads the page.

import { ArchiveTrouble, InflateTrouble, kDefaultMethod, RunEnd, WhackEnd } from './codes.mjs';

// The command that asks the command line what the page asked: `options` as run() takes them,
// the save, and the game's folder `folderName`, or without one a configuration file game.cfg
// naming the other three files.
export function commandLine(options, saveName, folderName) {
  const words = ['grimtrim'];
  if (options.method !== undefined && options.method !== kDefaultMethod) words.push(`-f${options.method}`);
  if (options.member !== undefined) words.push(`-p${options.member}`);
  if (options.level !== undefined) words.push(`-s${options.level}`);
  if (options.number !== undefined) words.push(`-w${options.number}`);
  words.push(saveName === undefined ? '(no save)' : quoteWord(saveName),
             folderName === undefined ? 'game.cfg' : quoteWord(folderName));
  return words.join(' ');
}

// What the command shown stands for, words in `backquotes` being code: the configuration file
// that names the three files in use, or the game's folder `folder.name` ({ name, given }), which
// with `given` stands for the files chosen one by one, laid out as the game lays them out.
export function commandSentence(folder) {
  const start = 'The same request given to the command-line `grimtrim`';
  if (!folder) {
    return `${start}, with \`game.cfg\` naming the string table, spell archive and resource index chosen here, ` +
        'and what it prints:';
  }
  if (!folder.given) {
    return `${start} with the game's folder \`${folder.name}\` chosen here as its last argument, and what it prints:`;
  }
  return `${start} with a game's folder as its last argument, and what it prints; \`${folder.name}\` stands for a ` +
      'folder holding the files chosen here where the game keeps them (the string table as `dialog.tlk`, each spell ' +
      'archive where the resource index puts it, loose spells in `override`):';
}

// A file name as a shell takes it as one word: quoted when it holds anything but plain letters,
// digits and . _ - / + , so that a name with spaces or quotes can be pasted as it is shown.
function quoteWord(word) {
  if (/^[A-Za-z0-9._\-/+,]+$/.test(word)) return word;
  return `'${word.replaceAll("'", "'\\''")}'`;
}

export const methodWords = {
  1: 'Free-space method 1 (the default): the list is shortened and the member gets one more memorized copy of the first memorized spell, counted at level 1.',
  0: 'Free-space method 0: the gap is left as it is, and the last spell of the list stands in it a second time until the game next saves.',
};

// What a removal did with the room it freed, by the core's WhackEnd, for the player.
const notLaidOut = 'The save is not laid out as method 1 needs, so the gap was left as method 0 leaves it: ' +
    "the last spell of the member's list now stands in it a second time. The game seems to notice the duplicate and drops it the next time it saves.";
const needsFirstLevel = 'Method 1 needs a first-level spell memorized, so the gap was left as method 0 leaves it. ' +
    "To have method 1's result instead, undo, memorize a first-level spell in the game, save, and start again with that save.";
const whackWords = new Map([
  [WhackEnd.LeftDuplicate, methodWords[0]],
  [WhackEnd.Shrunk, "Method 1 did its whole work: the member's list of known spells is one shorter, and the member has one more memorized copy of the first memorized spell, counted at spell level 1."],
  [WhackEnd.KnownNotBeforeMemorization, notLaidOut],
  [WhackEnd.MemorizationNotBeforeMemorized, notLaidOut],
  [WhackEnd.SectionsOutsideSave, notLaidOut],
  [WhackEnd.NoMemorizedSpell, needsFirstLevel],
  [WhackEnd.NoLevelOneEntry, needsFirstLevel],
]);

// The explanation of a removal that was made, from what the whack did (`whackEnd`, a WhackEnd)
// and whether the save changed at all: a sentence, or '' where there is none to add.
export function explainWhack(whackEnd, changed) {
  if (!changed) {
    return 'With method 0, removing the very last spell of the list changes nothing at all: the save is as it was.';
  }
  return whackWords.get(whackEnd) ?? '';
}

// Why a member's spell list stops early, by the core's RunEnd; '' for a list that did not stop.
const listStops = new Map([
  [RunEnd.MemberOutsideSave, 'The member cannot be read: the save is damaged.'],
  [RunEnd.NoCreature, 'The member cannot be read: the save is damaged.'],
  [RunEnd.NameNotInIndex, 'A spell this member knows is not in the resource index: is it the .key file of this game?'],
  [RunEnd.NotASpell, 'The spell archive holds something else than a spell where a spell should be: is it the right .bif file?'],
  [RunEnd.KnownOutsideSave, "The member's known spells lie outside the save: the save is damaged."],
  [RunEnd.ArchiveUnusable, 'The spell archive is compressed and cannot be inflated: it is damaged.'],
]);
export const whyListStops = (end) => listStops.get(end) ?? '';

// What the page says of an archive of the game's folder whose spells were passed over, as the
// core's run names it ({ number, trouble, path }).
const troubles = new Map([
  [ArchiveTrouble.NotInTable, 'is not in the archive table of the resource index'],
  [ArchiveTrouble.Unreadable, 'is missing or cannot be read'],
  [ArchiveTrouble.NotAnArchive, 'is not a spell archive'],
  [ArchiveTrouble.LacksEntry, 'lacks spells the resource index places in it'],
]);
// Why a compressed archive cannot be read, by the core's InflateTrouble.
const inflateTroubles = new Map([
  [InflateTrouble.BeyondFile, 'is compressed, but the lengths it states run past the end of its file'],
  [InflateTrouble.TooLarge, 'is compressed and states a length larger than Grimtrim inflates (over 256 MiB, or a block over 8 MiB)'],
  [InflateTrouble.DoesNotInflate, 'is compressed, and its data does not inflate: it is damaged'],
  [InflateTrouble.WrongLength, 'is compressed, and inflates to another length than it states: it is damaged'],
  [InflateTrouble.HoldsNoArchive, 'is compressed, but what it holds is not a spell archive'],
]);
export function unusableNote({ number, trouble, inflate, path }) {
  const what = path ? `The archive ${path}` : `Archive ${number}`;
  const why = trouble === ArchiveTrouble.Compressed ? inflateTroubles.get(inflate) : troubles.get(trouble);
  return `${what} ${why ?? 'cannot be used'}: the spells it should hold are not listed, as the command line passes them over.`;
}
