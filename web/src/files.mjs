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
