// The files a player chooses or drops: which of the game's four kinds each one is, which of
// several of a kind is used, and what is still missing. Nothing here reads the page.

// The four kinds, told apart by their first four bytes, in the order the command line checks
// them once its configuration is read.
export const kinds = [
  { key: 'stringTable', signature: 'TLK ', label: 'String table',
    missing: "Add the game's string table: the .tlk file." },
  { key: 'spellArchive', signature: 'BIFF', label: 'Spell archive',
    missing: "Add the game's spell archive: a .bif file." },
  { key: 'resourceIndex', signature: 'KEY ', label: 'Resource index',
    missing: "Add the game's resource index: the .key file." },
  { key: 'save', signature: 'GAME', label: 'Saved game', missing: 'Add the saved game: the .gam file.' },
];
export const kindKeys = kinds.map((kind) => kind.key);

// The kind whose signature `head` (at least the first four bytes of a file) begins with, or
// null for a file of none of them, a shorter one among them.
export function kindOf(head) {
  if (head.length < 4) return null;
  const signature = String.fromCharCode(head[0], head[1], head[2], head[3]);
  return kinds.find((kind) => kind.signature === signature)?.key ?? null;
}

// Sorts `entries` ({ head, ... }) by kind, keeping the order they were given in within each
// kind: { found: { save: [...], ... }, unknown: [...] }.
export function sortByKind(entries) {
  const found = Object.fromEntries(kindKeys.map((key) => [key, []]));
  const unknown = [];
  for (const entry of entries) {
    const key = kindOf(entry.head);
    (key ? found[key] : unknown).push(entry);
  }
  return { found, unknown };
}

// The kinds of which `has(key)` says none is given, in the order the page asks for them: the
// save first, as the player thinks of it.
export function missingKinds(has) {
  const order = ['save', 'stringTable', 'spellArchive', 'resourceIndex'];
  return order.map((key) => kinds.find((kind) => kind.key === key)).filter((kind) => !has(kind.key));
}

// The index of the highest score, the first one given on a tie; 0 for no scores.
export function bestScore(scores) {
  let best = 0;
  for (let i = 1; i < scores.length; ++i) if (scores[i] > scores[best]) best = i;
  return best;
}

// What the page says of the archive picked among several by their scores.
export function archiveNote(names, scores, picked) {
  const tie = scores.some((score, i) => i !== picked && score === scores[picked]);
  return `Of the ${names.length} spell archives given, ${names[picked]} is used: ` +
      `it holds ${scores[picked]} of the party's known spells, more than any other` +
      (tie ? ' but one given before it' : '') + '.';
}

// The first bytes of a file the page reads to tell its kind, and, for an archive, where its
// file table is: the archive's header.
export const kHeadSize = 20;

// True for a name the game gives one of its four kinds of file. Among thousands of files (a
// whole installation) these are examined first, and the others only when a kind is still missing.
export function namedLikeGameFile(name) {
  return /\.(gam|tlk|bif|key)$/i.test(name);
}

// The folder part of a path as the browser gives it ('' for a file chosen on its own).
export function folderOf(path) {
  const slash = path.lastIndexOf('/');
  return slash < 0 ? '' : path.slice(0, slash);
}

// Saves ({ modified, ... }, in the order given), the most recently modified first; saves
// modified at the same time keep the order they were given in.
export function newestFirst(saves) {
  return saves.map((save, order) => ({ save, order }))
      .sort((a, b) => b.save.modified - a.save.modified || a.order - b.order)
      .map(({ save }) => save);
}

// An archive's file table is read only up to this many entries: far more than a game's archive
// holds, and a damaged count cannot make the page read a whole file of gigabytes.
export const kMostTableEntries = 1 << 20;
const kFileEntrySize = 16;

// Where the file table of an archive of `size` bytes lies, from its header `head` (its first
// kHeadSize bytes): { start, end } of the entries that lie whole inside the file, as the core
// reads them; null where it has none (a header cut short, a count of 0 or less, a table that
// starts past the end).
export function archiveTableRange(head, size) {
  if (head.length < kHeadSize || size < kHeadSize) return null;
  const view = new DataView(head.buffer, head.byteOffset, head.byteLength);
  const count = view.getInt32(0x08, true);
  const start = view.getUint32(0x10, true);
  if (count <= 0 || start > size) return null;
  const entries = Math.min(count, Math.floor((size - start) / kFileEntrySize), kMostTableEntries);
  return entries > 0 ? { start, end: start + entries * kFileEntrySize } : null;
}

// Which of the locators `wanted` (a Set of numbers) the file entries in `table` carry.
export function heldLocators(table, wanted) {
  const held = new Set();
  const view = new DataView(table.buffer, table.byteOffset, table.byteLength);
  for (let at = 0; at + kFileEntrySize <= table.length; at += kFileEntrySize) {
    const locator = view.getUint32(at, true);
    if (wanted.has(locator)) held.add(locator);
  }
  return held;
}

// How many of `locators` (a known spell each, repeats counted) are among `held`.
export function countHeld(locators, held) {
  let count = 0;
  for (const locator of locators) if (held.has(locator)) ++count;
  return count;
}

// The known spells of a member (`locators`) that the archive in use lacks, by the other archives
// that hold them: [{ name, count }], the archive holding most first, each spell counted once in
// the first archive of `others` that holds it.
export function heldElsewhere(locators, inUse, others) {
  let lacking = locators.filter((locator) => !inUse.has(locator));
  const found = [];
  for (const other of others) {
    const here = lacking.filter((locator) => other.held.has(locator));
    if (here.length) found.push({ name: other.name, count: here.length });
    lacking = lacking.filter((locator) => !other.held.has(locator));
  }
  return found.sort((a, b) => b.count - a.count);
}
