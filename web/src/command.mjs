// The command line as the page shows it: the command equivalent to what the player asked, and
// what the command line's text means for the player. Nothing here reads the page.

import { kDefaultMethod } from './core.mjs';

// The command that asks the command line what the page asked: `options` as run() takes them,
// with a configuration file game.cfg naming the other three files.
export function commandLine(options, saveName) {
  const words = ['grimtrim'];
  if (options.method !== undefined && options.method !== kDefaultMethod) words.push(`-f${options.method}`);
  if (options.member !== undefined) words.push(`-p${options.member}`);
  if (options.level !== undefined) words.push(`-s${options.level}`);
  if (options.number !== undefined) words.push(`-w${options.number}`);
  words.push(saveName === undefined ? '(no save)' : quoteWord(saveName), 'game.cfg');
  return words.join(' ');
}

// A file name as a shell takes it as one word: quoted when it holds anything but plain letters,
// digits and . _ - / + , so that a name with spaces or quotes can be pasted as it is shown.
function quoteWord(word) {
  if (/^[A-Za-z0-9._\-/+,]+$/.test(word)) return word;
  return `'${word.replaceAll("'", "'\\''")}'`;
}

// What grimtrim prints after its banner, without the blank lines around it.
export function afterBanner(text) {
  const end = text.indexOf('spell book\n');
  return (end < 0 ? text : text.slice(end + 'spell book\n'.length)).trim();
}

// The message line a listing stopped with: the last line that is not a hint.
export function stopMessage(text) {
  const lines = afterBanner(text).split('\n').filter((line) => line && !line.startsWith('Use -'));
  return lines[lines.length - 1] ?? '';
}

export const methodWords = {
  1: 'Free-space method 1 (the default): the list is shortened and the member gets one more memorized copy of the first memorized spell, counted at level 1.',
  0: 'Free-space method 0: the gap is left as it is, and the last spell of the list stands in it a second time until the game next saves.',
};

// What the whack's closing messages mean for the player.
const notLaidOut = 'The save is not laid out as method 1 needs, so the gap was left as method 0 leaves it: ' +
    "the last spell of the member's list now stands in it a second time. The game seems to notice the duplicate and drops it the next time it saves.";
const needsFirstLevel = 'Method 1 needs a first-level spell memorized, so the gap was left as method 0 leaves it. ' +
    "To have method 1's result instead, undo, memorize a first-level spell in the game, save, and start again with that save.";
const outcomes = new Map([
  ['first memorized spell of lowest spell level will be duplicated',
   "Method 1 did its whole work: the member's list of known spells is one shorter, and the member has one more memorized copy of the first memorized spell, counted at spell level 1."],
  ['oops, end of known spells not base of spell memorizatin', notLaidOut],
  ['oops, end of spell memorization not base of memorized spells', notLaidOut],
  ['oops, spell sections lie outside the save file', notLaidOut],
  ['no memorized spell to duplicate, free space left as by method 0', needsFirstLevel],
  ['no spell level 1 memorization entry, free space left as by method 0', needsFirstLevel],
]);

// The explanation of a whack that was made, from the lines the command line printed for it,
// whether the save changed at all and the method: a sentence, or '' where there is none to add.
export function explainWhack(lines, changed, method) {
  if (!changed) {
    return 'With method 0, removing the very last spell of the list changes nothing at all: the save is as it was.';
  }
  const explained = lines.map((line) => outcomes.get(line)).find(Boolean);
  if (explained) return explained;
  return method === 0 ? methodWords[0] : '';
}
