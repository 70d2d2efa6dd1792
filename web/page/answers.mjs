// The core's answers as values: each part of an answer about a run read as bridge_protocol.h lays
// it out, and the answers of the page's other questions. Nothing here calls the core; heap.mjs
// hands each answer over as a reader of words and bytes.

// The command line's output is bytes; each byte becomes the character of the same code, so the
// text holds exactly what a terminal would be sent.
export function bytesToText(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 8192) {
    text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  }
  return text;
}

const decoder = new TextDecoder();
const counted = (r) => r.bytes(r.u32());
const path = (r) => decoder.decode(counted(r));
const list = (r, read) => Array.from({ length: r.u32() }, () => read(r));
// Offsets and lengths of a file past 4 GB: two words, low first.
const longWord = (r) => r.u32() + r.u32() * 2 ** 32;

// How a run ended: `end` (a RunEnd), `member`, `missingName` (8 bytes), `whacked`, `whack`
// ({ end (a WhackEnd), unknownMethod }) and the bytes of the line the run stopped with.
export const readOutcome = (r) => {
  const end = r.u32();
  const member = r.i32();
  const missingName = r.bytes(8);
  const whacked = { known: r.i32(), level: r.i32(), number: r.i32() };
  const whack = { end: r.u32(), unknownMethod: r.u32() !== 0 };
  return { end, member, missingName, whacked, whack, message: counted(r) };
};

const readMember = (r) => ({ index: r.i32(), number: r.u32(), knowsSpells: r.u32() !== 0, name: counted(r) });
const readSpell = (r) => ({ known: r.i32(), level: r.i32(), number: r.i32(), spellClass: r.u32(), name: counted(r) });

// Each part by the core's name for it (an AnswerPart): the field of the answer it fills, and how
// it is read.
const parts = new Map([
  ['Status', ['status', (r) => r.u32()]],
  ['Printed', ['text', (r) => bytesToText(counted(r))]],
  ['FailedCheck', ['checkMessage', counted]],
  ['Outcome', ['outcome', readOutcome]],
  ['Members', ['members', (r) => list(r, readMember)]],
  ['MemberSpells', ['memberListing', (r) => ({ spells: list(r, readSpell), end: r.u32(), message: counted(r) })]],
  ['SaveSize', ['saveSize', (r) => r.u32()]],
  ['FolderNotes', ['folder', (r) => ({
    unusable: list(r, () => ({ number: r.u32(), trouble: r.u32(), inflate: r.u32(), path: bytesToText(counted(r)) })),
    unmet: r.u32(),
  })]],
]);

// An answer made of the parts `order` (their names, in the order the core writes them), as an
// object with a field for each. A part the page cannot read leaves the rest unreadable: it is an
// error, never a guess.
export function readParts(r, order) {
  const answer = {};
  for (const name of order) {
    if (!parts.has(name)) throw new Error(`The core answers with a part this page cannot read: ${name}.`);
    const [field, read] = parts.get(name);
    answer[field] = read(r);
  }
  return answer;
}

// The name that `table` (one of the core's tables of codes, { name: number }) gives `number`;
// undefined for a number it does not name.
export const codeName = (table, number) => Object.keys(table).find((name) => table[name] === number);

// What the page asks once: the kinds' signatures (a list each) in the order of `kindOrder`, the
// first bytes to read of a file, the handed folder's flags, the parts of a run's and a party's
// answer by name, the core's tables of codes (each by its name, { name: number }, frozen),
// and its conventions: the value of an option not given, the default method, the locator of a
// name the index lacks, the option letters ([{ letter, option }], the option by its name in a
// request), the names a game's folder keeps things by, and the most a compressed archive and one
// of its blocks may inflate to.
export function readConstants(r, kindOrder) {
  const text = () => bytesToText(counted(r));
  const signatures = {};
  for (const key of kindOrder) signatures[key] = list(r, text);
  const headSize = r.u32();
  const flags = { unreadable: r.u32(), sizeKnown: r.u32() };
  const orders = [list(r, () => r.u32()), list(r, () => r.u32())];
  const codes = Object.freeze(Object.fromEntries(list(r, () => [text(), Object.freeze(Object.fromEntries(
      list(r, () => { const number = r.u32(); return [text(), number]; })))])));
  const [runAnswer, partyAnswer] = orders.map((order) => order.map((number) => codeName(codes.AnswerPart, number)));
  const conventions = {
    notGiven: r.i32(),
    defaultMethod: r.i32(),
    noLocator: r.u32(),
    optionLetters: list(r, () => Object.freeze({ letter: text(), option: text() })),
    layout: Object.freeze({ stringTableName: text(), overrideFolder: text(), indexEnding: text(), looseSpellEnding: text(),
                            compressedArchiveEnding: text() }),
    mostInflated: longWord(r),
    mostBlockInflated: longWord(r),
  };
  Object.freeze(conventions.optionLetters);
  return { kinds: { signatures, headSize }, flags, runAnswer, partyAnswer, codes, conventions: Object.freeze(conventions) };
}

// What must still be read of a game's folder, and what the core found of its layout.
export function readFolderNeeds(r) {
  const hasTable = r.u32() !== 0;
  const tablePath = path(r);
  const indexes = list(r, path);
  const archivesHeld = r.u32();
  const needs = list(r, () => ({ path: path(r), whole: r.u32() !== 0, offset: longWord(r), length: longWord(r) }));
  return { stringTable: hasTable ? tablePath : null, indexes, archivesHeld, needs };
}

export const readPartyLocators = (r) => list(r, () => ({ index: r.i32(), locators: list(r, () => r.u32()) }));

export const readNamedArchives = (r, count) =>
  Array.from({ length: count }, () => ({ named: r.u32() !== 0, number: r.u32(), path: path(r) }))
      .map(({ named, number, path: at }) => (named ? { number, path: at } : null));

export function readArchiveTable(r) {
  const found = r.u32() !== 0;
  const start = longWord(r);
  const end = longWord(r);
  return found ? { start, end } : null;
}

export const readHeldLocators = (r) => new Set(list(r, () => r.u32()));
