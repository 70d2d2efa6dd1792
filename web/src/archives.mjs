// Which spell archive the page uses where several were given: each scored by how many of the
// party's known spells its file table holds, read from its header and table alone.

import { kNoLocator } from './core.mjs';
import { archiveNote, bestScore, countHeld, pickArchive } from './files.mjs';
import { readBytes } from './intake.mjs';
import { state } from './session.mjs';

// The locators of every member's known spells that the index has, repeats kept.
export const knownLocators = (members) => members.flatMap((m) => m.locators).filter((l) => l !== kNoLocator);

// How many of `all` (the party's known spells' locators) an archive holds, from its file table
// read by `readTable(start, end)`, the core telling where the table lies from the first bytes.
export async function scoreArchive(core, head, size, readTable, all) {
  const range = core.archiveTable(head, size);
  const table = range ? await readTable(range.start, range.end) : null;
  const held = table ? core.heldLocators(table, new Set(all)) : new Set();
  return { held, score: countHeld(all, held) };
}

// How many of the party's known spells each given archive holds, from its header and file
// table only: an installation's archives are gigabytes, and the one in use is read whole later.
async function scoreArchives(generation) {
  const save = state.use.save;
  const index = state.use.resourceIndex;
  const of = `${save.id}/${index.id}`;
  if (state.locatorsOf !== of || !state.locators) {
    state.locators = state.core.partyLocators(state.bytes.get(save), state.bytes.get(index));
    state.locatorsOf = of;
    for (const archive of state.given.spellArchive) archive.held = null;
    if (!state.archiveByPlayer) state.use.spellArchive = null;
  }
  const all = knownLocators(state.locators);
  await Promise.all(state.given.spellArchive.map(async (archive) => {
    if (archive.held) return;
    const scored = await scoreArchive(state.core, archive.head, archive.file.size,
                                      (start, end) => readBytes(archive.file, start, end).catch(() => null), all);
    // Scores of the party these locators belong to only: another save may be in use by now.
    if (state.locatorsOf !== of) return;
    Object.assign(archive, scored);
  }));
  return generation === state.generation && state.locatorsOf === of;
}

// The spell archive in use where several were given, and what the page says of its choice.
export async function chooseArchive(generation) {
  const archives = state.given.spellArchive;
  if (archives.length === 1) {
    state.use.spellArchive = archives[0];
    return '';
  }
  if (!(await scoreArchives(generation))) return null;
  performance.mark('grimtrim:archives-scored');
  const scored = archives.map((a) => ({ name: a.file.name, size: a.file.size, score: a.score }));
  state.use.spellArchive ??= archives[pickArchive(scored)];
  return state.archiveByPlayer ? '' : archiveNote(scored, archives.indexOf(state.use.spellArchive));
}

// The archive among `archives` ({ name, bytes }) that holds the most of the party's known spells,
// scored as the page scores archives it is given: { index, scores }.
export async function pickArchiveOf(save, resourceIndex, archives) {
  const all = knownLocators(state.core.partyLocators(save, resourceIndex));
  const scores = [];
  for (const { bytes } of archives) {
    const head = bytes.subarray(0, state.fileKinds.headSize);
    scores.push((await scoreArchive(state.core, head, bytes.length, async (start, end) => bytes.subarray(start, end), all)).score);
  }
  return { index: bestScore(scores), scores };
}
