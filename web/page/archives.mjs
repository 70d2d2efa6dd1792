// Which spell archive the page uses where several were given and no game's folder holds them:
// each scored by how many of the party's known spells its file table answers for, read from its
// header and table alone, by the rule every lookup follows: an archive the resource index names
// by its file name is matched as the one a configuration names.

import { readBytes } from './intake.mjs';

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

// The locators of every member's known spells that the index has, repeats kept: all but
// `noLocator`, the core's locator of a name the index lacks.
export const knownLocators = (members, noLocator) => members.flatMap((m) => m.locators).filter((l) => l !== noLocator);

// How many of `all` (the party's known spells' locators) an archive holds, from its file table
// read by `readTable(start, end)`, the core telling where the table lies from the first bytes;
// `number` is the archive's number in the index's archive table, where it names it.
export async function scoreArchive(core, { head, size, number }, readTable, all) {
  const range = core.archiveTable(head, size);
  const table = range ? await readTable(range.start, range.end) : null;
  const held = table ? core.heldLocators(table, new Set(all), number) : new Set();
  return { held, score: countHeld(all, held) };
}

// Each archive's number in the archive table of `index` (its bytes), by its file name.
const archiveNumbers = (core, index, names) => core.namedArchives(index, names).map((named) => named?.number);

// How many of the party's known spells each given archive holds, from its header and file
// table only: an installation's archives are gigabytes, and the one in use is read whole later.
async function scoreArchives(state, generation) {
  const save = state.use.save;
  const index = state.use.resourceIndex;
  const of = `${save.id}/${index.id}`;
  if (state.locatorsOf !== of || !state.locators) {
    state.locators = state.core.partyLocators(state.bytes.get(save), state.bytes.get(index));
    state.locatorsOf = of;
    for (const archive of state.given.spellArchive) archive.held = null;
    if (!state.archiveByPlayer) state.use.spellArchive = null;
  }
  const all = knownLocators(state.locators, state.core.conventions.noLocator);
  const archives = state.given.spellArchive;
  const numbers = archives.some((archive) => !archive.held)
      ? archiveNumbers(state.core, state.bytes.get(index), archives.map((archive) => archive.file.name)) : [];
  await Promise.all(archives.map(async (archive, i) => {
    if (archive.held) return;
    const scored = await scoreArchive(state.core, { head: archive.head, size: archive.file.size, number: numbers[i] },
                                      (start, end) => readBytes(archive.file, start, end).catch(() => null), all);
    // Scores of the party these locators belong to only: another save may be in use by now.
    if (state.locatorsOf !== of) return;
    Object.assign(archive, scored);
  }));
  return generation === state.generation && state.locatorsOf === of;
}

// The spell archive in use where several were given, and what the page says of its choice.
export async function chooseArchive(state, generation) {
  const archives = state.given.spellArchive;
  if (archives.length === 1) {
    state.use.spellArchive = archives[0];
    return '';
  }
  if (!(await scoreArchives(state, generation))) return null;
  performance.mark('grimtrim:archives-scored');
  const scored = archives.map((a) => ({ name: a.file.name, size: a.file.size, score: a.score }));
  state.use.spellArchive ??= archives[pickArchive(scored)];
  return state.archiveByPlayer ? '' : archiveNote(scored, archives.indexOf(state.use.spellArchive));
}

// The archive among `archives` ({ name, bytes }) that holds the most of the party's known spells,
// scored as the page scores archives it is given: { index, scores }. `headSize` is the first
// bytes of a file the page reads.
export async function pickArchiveOf(core, headSize, save, resourceIndex, archives) {
  const all = knownLocators(core.partyLocators(save, resourceIndex), core.conventions.noLocator);
  const numbers = archiveNumbers(core, resourceIndex, archives.map(({ name }) => name));
  const scores = [];
  for (const [i, { bytes }] of archives.entries()) {
    const archive = { head: bytes.subarray(0, headSize), size: bytes.length, number: numbers[i] };
    scores.push((await scoreArchive(core, archive, async (start, end) => bytes.subarray(start, end), all)).score);
  }
  return { index: bestScore(scores), scores };
}
