// The command line as the page shows it: the command equivalent to what the player asked, and
// what the core's outcome of a run means for the player. Each function takes the core (anything
// with core.mjs's `codes` and `conventions`): the page words each code by the core's name for it,
// and its command and texts use the core's option letters, folder names and limits, so that
// nothing here restates a number or a name of the core's. Nothing here reads the page.

import { codeName } from './answers.mjs';

// The command that asks the command line what the page asked: `options` as run() takes them,
// the save, and the game's folder `folderName`, or without one a configuration file game.cfg
// naming the other three files. The default method goes without saying.
export function commandLine(core, options, saveName, folderName) {
  const { optionLetters, defaultMethod } = core.conventions;
  const words = ['grimtrim'];
  for (const { letter, option } of optionLetters) {
    const value = options[option];
    if (value !== undefined && !(option === 'method' && value === defaultMethod)) words.push(`-${letter}${value}`);
  }
  words.push(saveName === undefined ? '(no save)' : quoteWord(saveName),
             folderName === undefined ? 'game.cfg' : quoteWord(folderName));
  return words.join(' ');
}

// What the command shown stands for, words in `backquotes` being code: the configuration file
// that names the three files in use, or the game's folder `folder.name` ({ name, given }), which
// with `given` stands for the files chosen one by one, laid out as the game lays them out.
export function commandSentence(core, folder) {
  const start = 'The same request given to the command-line `grimtrim`';
  if (!folder) {
    return `${start}, with \`game.cfg\` naming the string table, spell archive and resource index chosen here, ` +
        'and what it prints:';
  }
  if (!folder.given) {
    return `${start} with the game's folder \`${folder.name}\` chosen here as its last argument, and what it prints:`;
  }
  const { stringTableName, overrideFolder } = core.conventions.layout;
  return `${start} with a game's folder as its last argument, and what it prints; \`${folder.name}\` stands for a ` +
      `folder holding the files chosen here where the game keeps them (the string table as \`${stringTableName}\`, ` +
      `each spell archive where the resource index puts it, loose spells in \`${overrideFolder}\`):`;
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
// The same for a spell of a member whose game keeps its spell books by class and level.
export const classMethodWords = {
  1: 'Free-space method 1 (the default): the spell is taken out of the save, which becomes 16 bytes shorter, as the game writes a member who never knew it.',
  0: 'Free-space method 0: the later spells of its list move up, and the last one stands a second time with nothing memorized; the game adds the two together when it loads the save.',
};

// What a removal did with the room it freed, by the name of the core's WhackEnd, for the player.
const notLaidOut = 'The save is not laid out as method 1 needs, so the gap was left as method 0 leaves it: ' +
    "the last spell of the member's list now stands in it a second time. The game seems to notice the duplicate and drops it the next time it saves.";
const needsFirstLevel = 'Method 1 needs a first-level spell memorized, so the gap was left as method 0 leaves it. ' +
    "To have method 1's result instead, undo, memorize a first-level spell in the game, save, and start again with that save.";
const whackWords = new Map([
  ['LeftDuplicate', methodWords[0]],
  ['Shrunk', "Method 1 did its whole work: the member's list of known spells is one shorter, and the member has one more memorized copy of the first memorized spell, counted at spell level 1."],
  ['KnownNotBeforeMemorization', notLaidOut],
  ['MemorizationNotBeforeMemorized', notLaidOut],
  ['SectionsOutsideSave', notLaidOut],
  ['NoMemorizedSpell', needsFirstLevel],
  ['NoLevelOneEntry', needsFirstLevel],
  ['LeftZeroedCopy', 'Free-space method 0: the later spells of its list moved up, and the last one stands a second time ' +
      'with nothing memorized; the game adds the two together when it loads the save.'],
  ['SaveShortened', 'Method 1 took the spell out as the game writes a member who never knew it: the save is 16 bytes ' +
      'shorter, with everything after the spell moved down.'],
]);

// What the page says where a spell kept by class could not be written out as method 1 writes it.
export const classNotLaidOut = "The member's record is not laid out as method 1 needs, so the spell was removed as " +
    'method 0 removes it: the later spells of its list moved up, and the last one stands a second time with nothing memorized.';

// The explanation of a removal that was made, from what the whack did (`whackEnd`, a WhackEnd)
// and whether the save changed at all: a sentence, or '' where there is none to add.
export function explainWhack(core, whackEnd, changed) {
  if (!changed) {
    return 'With method 0, removing the very last spell of the list changes nothing at all: the save is as it was.';
  }
  return whackWords.get(codeName(core.codes.WhackEnd, whackEnd)) ?? '';
}

// The ends of a run that list every spell asked for; every other end stops a list early.
const kListed = ['Completed', 'Whacked'];
// True for an end (a RunEnd) where the run stopped before the end of what it lists, with the
// message the command line printed for it; so is an end the core has no name for.
export const stoppedEarly = (core, end) => !kListed.includes(codeName(core.codes.RunEnd, end));

// Why a member's spell list stops early, by the name of the core's RunEnd; '' for an end the
// page has no words for.
const listStops = new Map([
  ['MemberOutsideSave', 'The member cannot be read: the save is damaged.'],
  ['NoCreature', 'The member cannot be read: the save is damaged.'],
  ['NameNotInIndex', 'A spell this member knows is not in the resource index: is it the .key file of this game?'],
  ['NotASpell', 'The spell archive holds something else than a spell where a spell should be: is it the right .bif file?'],
  ['KnownOutsideSave', "The member's known spells lie outside the save: the save is damaged."],
  ['ArchiveUnusable', 'The spell archive is compressed and cannot be inflated: it is damaged.'],
  ['NoSpellTable', "This member's game keeps its spell books by class and level, and names the spells through its spell " +
      'table LISTSPLL.2DA, which none of the files given holds: give the game\'s own folder or files.'],
  ['NumberNotInTable', 'A spell this member knows is numbered past the end of the spell table: is it the table of this game?'],
]);
export const whyListStops = (core, end) => listStops.get(codeName(core.codes.RunEnd, end)) ?? '';

// What the page says of an archive of the game's folder whose spells were passed over, as the
// core's run names it ({ number, trouble, inflate, path }), by the names of its ArchiveTrouble
// and, with Compressed, its InflateTrouble.
const troubles = new Map([
  ['NotInTable', 'is not in the archive table of the resource index'],
  ['Unreadable', 'is missing or cannot be read'],
  ['NotAnArchive', 'is not a spell archive'],
  ['LacksEntry', 'lacks spells the resource index places in it'],
]);
// Why a compressed archive cannot be read, by the name of the core's InflateTrouble: words of
// the core's conventions.
const mib = (bytes) => `${bytes / 2 ** 20} MiB`;
const inflateTroubles = new Map([
  ['BeyondFile', () => 'is compressed, but the lengths it states run past the end of its file'],
  ['TooLarge', ({ mostInflated, mostBlockInflated }) => 'is compressed and states a length larger than Grimtrim ' +
      `inflates (over ${mib(mostInflated)}, or a block over ${mib(mostBlockInflated)})`],
  ['DoesNotInflate', () => 'is compressed, and its data does not inflate: it is damaged'],
  ['WrongLength', () => 'is compressed, and inflates to another length than it states: it is damaged'],
  ['HoldsNoArchive', () => 'is compressed, but what it holds is not a spell archive'],
]);
export function unusableNote(core, { number, trouble, inflate, path }) {
  const what = path ? `The archive ${path}` : `Archive ${number}`;
  const { ArchiveTrouble, InflateTrouble } = core.codes;
  const why = trouble === ArchiveTrouble.Compressed
      ? inflateTroubles.get(codeName(InflateTrouble, inflate))?.(core.conventions)
      : troubles.get(codeName(ArchiveTrouble, trouble));
  return `${what} ${why ?? 'cannot be used'}: the spells it should hold are not listed, as the command line passes them over.`;
}

// The codes of `codes` (the core's tables) that the page has no words for, each as 'Table.Name':
// the ends that stop a list, every WhackEnd, and every trouble of an archive but Compressed,
// which its InflateTrouble words, and None. Empty where the page can word all the core answers.
export function unworded(codes) {
  const lacking = (table, words, wordless = []) => Object.keys(codes[table])
      .filter((name) => !wordless.includes(name) && !words.some((worded) => worded.has(name)))
      .map((name) => `${table}.${name}`);
  return [...lacking('RunEnd', [listStops], kListed), ...lacking('WhackEnd', [whackWords]),
          ...lacking('ArchiveTrouble', [troubles], ['Compressed']), ...lacking('InflateTrouble', [inflateTroubles], ['None'])];
}
