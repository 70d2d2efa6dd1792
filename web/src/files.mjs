// The files a player chooses or drops: which of the game's four kinds each one is, which of
// several of a kind is used, and what is still missing. Nothing here reads the page.

// The four kinds, in the order the command line checks them once its configuration is read.
// Their signatures are the core's: the page asks for them once, when it starts.
export const kinds = [
  { key: 'stringTable', label: 'String table', missing: "Add the game's string table: the .tlk file." },
  { key: 'spellArchive', label: 'Spell archive', missing: "Add the game's spell archive: a .bif file." },
  { key: 'resourceIndex', label: 'Resource index', missing: "Add the game's resource index: the .key file." },
  { key: 'save', label: 'Saved game', missing: 'Add the saved game: the .gam file.' },
];
export const kindKeys = kinds.map((kind) => kind.key);

// The kind whose signature (`signatures` by kind, four characters each) `head`, a file's first
// bytes, begins with, or null for a file of none of them, a shorter one among them.
export function kindOf(head, signatures) {
  if (head.length < 4) return null;
  const signature = String.fromCharCode(head[0], head[1], head[2], head[3]);
  return kindKeys.find((key) => signatures[key] === signature) ?? null;
}

// Sorts `entries` ({ head, ... }) by kind, keeping the order they were given in within each
// kind: { found: { save: [...], ... }, unknown: [...] }.
export function sortByKind(entries, signatures) {
  const found = Object.fromEntries(kindKeys.map((key) => [key, []]));
  const unknown = [];
  for (const entry of entries) {
    const key = kindOf(entry.head, signatures);
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

// The archive the page uses among several ({ name, size, score }) when the player chose none:
// the one that holds the most of the party's known spells, or, where none holds any, the
// smallest, since any lists them alike and the smallest is read quickest.
export function pickArchive(archives) {
  if (archives.some((archive) => archive.score > 0)) return bestScore(archives.map((archive) => archive.score));
  return archives.reduce((best, archive, i) => (archive.size < archives[best].size ? i : best), 0);
}

// What the page says of the archive it picked among several ({ name, score }): `picked` the
// index of the one in use.
export function archiveNote(archives, picked) {
  const { name, score } = archives[picked];
  if (score <= 0) {
    return `None of the ${archives.length} spell archives given holds any of the party's known spells; ` +
        `${name}, the smallest, is used.`;
  }
  const tie = archives.some((archive, i) => i !== picked && archive.score === score);
  return `Of the ${archives.length} spell archives given, ${name} is used: ` +
      `it holds ${score} of the party's known spells, more than any other` +
      (tie ? ' but one given before it' : '') + '.';
}

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

// What the page says of a member's known spells that the archive in use (`inUseName`) lacks
// and other archives hold, `found` as heldElsewhere() gives it; '' where there are none.
export function elsewhereNote(memberName, inUseName, found) {
  if (!found.length) return '';
  const count = found.reduce((sum, f) => sum + f.count, 0);
  const one = count === 1;
  const where = found.map((f) => (found.length === 1 ? f.name : `${f.count} in ${f.name}`)).join(', ');
  return `${count} of the known spells of ${memberName} ${one ? 'is' : 'are'} not listed: ` +
      `${inUseName} does not hold ${one ? 'it' : 'them'}. ${one ? 'It is' : 'They are'} in ${where}; ` +
      `choose that archive above to see ${one ? 'it' : 'them'}.`;
}
