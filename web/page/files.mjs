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

// The kind one of whose signatures (`signatures` by kind, a list each: a spell archive also has
// its compressed forms') `head`, a file's first bytes, begins with, or null for a file of none of
// them, a shorter one among them.
export function kindOf(head, signatures) {
  const begins = (signature) => head.length >= signature.length &&
      [...signature].every((c, i) => head[i] === c.charCodeAt(0));
  return kindKeys.find((key) => signatures[key].some(begins)) ?? null;
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

// True when `name` ends in `ending` in any ASCII case, as the core compares the names of a game's
// folder.
const asciiLower = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());
export const endsInAnyCase = (name, ending) => asciiLower(name).endsWith(asciiLower(ending));

// True for a name the game gives one of its four kinds of file, `layout` being the core's names
// of a game's folder (core.mjs's `conventions.layout`): an index's and a compressed archive's
// endings are the core's. Among thousands of files (a whole installation) these are examined
// first, and the others only when a kind is still missing.
export function namedLikeGameFile(name, layout) {
  return ['.gam', '.chr', '.tlk', '.bif', layout.compressedArchiveEnding, layout.indexEnding].some((ending) => endsInAnyCase(name, ending));
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
