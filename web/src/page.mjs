// The page: what the player chooses and clicks, shown with the core's answers. The logic that
// is not about the page's elements lives in core.mjs, files.mjs and command.mjs.

import loadGrimtrim from './grimtrim.js';
import { bytesToText, kNoLocator, makeCore } from './core.mjs';
import { archiveNote, archiveTableRange, bestScore, countHeld, folderOf, heldElsewhere, heldLocators,
         kHeadSize, kinds, kindKeys, missingKinds, namedLikeGameFile, newestFirst, sortByKind } from './files.mjs';
import { chooseEncoding, codePages, decoderFor, rememberCodePage, rememberedCodePage, textBytes } from './decode.mjs';
import { afterBanner, commandLine, explainWhack, methodWords, stopMessage } from './command.mjs';

const $ = (id) => document.getElementById(id);
const element = (tag, props = {}, ...children) => {
  const node = Object.assign(document.createElement(tag), props);
  node.append(...children);
  return node;
};
const nextPaint = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
const storage = (() => {
  try {
    return window.localStorage;
  } catch {
    return null;  // a browser that keeps nothing for this page
  }
})();

// A file the player gave: { file, path (with its folder, where the browser tells it), head (its
// first bytes), modified }, and what the page learned of it: a save's party names (`party`, for
// the string table `partyTable`), an archive's share of the party's spells (`held`, `score`).
const state = {
  given: Object.fromEntries(kindKeys.map((key) => [key, []])),  // the files of each kind
  use: Object.fromEntries(kindKeys.map((key) => [key, null])),  // the one of each kind in use
  bytes: new Map(),     // the whole bytes of the files in use, and of no other
  unknown: [],          // files of the last choice that are none of the four kinds
  unexamined: 0,        // files of the last choice not opened: named unlike the game's files
  editOf: null,         // the save the edit belongs to
  edited: null,         // the save's bytes after the removals so far
  history: [],          // { bytes, label }: the save before each removal, for Undo
  locators: null,       // [{ index, locators }]: where the index puts each member's known spells
  locatorsOf: '',       // which save and index they were found with
  archiveByPlayer: false,  // whether the player chose the archive in use, or the page did
  names: [],            // the names the page shows: the party's and their spells'
  namesOf: '',          // which four files they are of
  member: null,         // the party member shown
  level: null,          // the level last asked for
  codePage: rememberedCodePage(storage),
  encoding: 'utf-8',    // how names are shown: UTF-8, or the code page where they are not UTF-8
  decode: decoderFor('utf-8'),
  generation: 0,        // counts choices of files, so that a slow one cannot overwrite a newer
};
const shown = (bytes) => state.decode(bytes);

let core = null;

function showMessage(text, kind = 'error') {
  const box = $('message');
  box.replaceChildren();
  box.className = text ? kind : '';
  if (!text) return;
  if (typeof text === 'string') box.append(element('p', { textContent: text }));
  else box.append(...text);
}

const quote = (line) => element('p', {}, 'The command line says: ',
                                element('code', { className: 'cli', textContent: line }));

// The four files in use as run() takes them, the save as edited so far.
function currentFiles(save = state.edited) {
  const file = (key) => ({ name: state.use[key].file.name, bytes: state.bytes.get(state.use[key]) });
  return { save: { name: state.use.save.file.name, bytes: save }, stringTable: file('stringTable'),
           spellArchive: file('spellArchive'), resourceIndex: file('resourceIndex') };
}

// Runs a request as the command line would and shows its output in the transcript panel, as a
// terminal set to the names' encoding would show it.
function runAndShow(files, options) {
  const result = core.run(files, options);
  $('transcript-command').textContent = commandLine(options, files.save?.name);
  $('transcript').textContent = state.decode(textBytes(result.text));
  return result;
}

const readBytes = async (file, start = 0, end = file.size) => new Uint8Array(await file.slice(start, end).arrayBuffer());

// A choice of this many files or fewer is examined whole; a larger one (an installation's
// folder) first by the files named like the game's, the rest only when a kind is still missing.
const kExamineAll = 200;
const kReadsAtOnce = 64;

// Reads the first bytes of each of `entries`, many at a time, and counts them on the progress bar.
async function readHeads(entries, progress) {
  let next = 0;
  const worker = async () => {
    while (next < entries.length) {
      const entry = entries[next++];
      // A file that cannot be read (gone since it was chosen, a broken link) is of no kind.
      entry.head = await readBytes(entry.file, 0, kHeadSize).catch(() => new Uint8Array(0));
      progress.done += 1;
      progress.show();
    }
  };
  await Promise.all(Array.from({ length: Math.min(kReadsAtOnce, entries.length) }, worker));
}

function progressBar(total) {
  const box = $('examining');
  const bar = $('progress');
  const label = $('progress-label');
  const progress = {
    total, done: 0, shownAt: 0,
    show() {
      // A few updates a second are enough for the eye and cost the examination nothing.
      const now = performance.now();
      if (this.done < this.total && now - this.shownAt < 100) return;
      this.shownAt = now;
      box.hidden = this.total <= 20;
      bar.max = Math.max(1, this.total);
      bar.value = this.done;
      label.textContent = `Examining the files: ${this.done} of ${this.total}`;
    },
  };
  progress.show();
  return progress;
}

let examined = 0;  // files examined so far: each one's id

// Tells the kinds of `given` ({ file, path }) apart by their first bytes.
async function examine(given) {
  // Nothing but the name is asked of a file not examined: a browser may look at the disk for
  // anything else, a size or a time, and an installation has thousands of files.
  const entries = given.map(({ file, path }) => ({ id: ++examined, file, path, head: null }));
  const everything = entries.length <= kExamineAll;
  const first = everything ? entries : entries.filter((e) => namedLikeGameFile(e.file.name));
  const rest = everything ? [] : entries.filter((e) => !namedLikeGameFile(e.file.name));
  const progress = progressBar(first.length);
  try {
    await readHeads(first, progress);
    let sorted = sortByKind(first);
    const lacking = kindKeys.some((key) => !state.given[key].length && !sorted.found[key].length);
    if (lacking && rest.length) {
      progress.total += rest.length;
      progress.shownAt = 0;
      await readHeads(rest, progress);
      sorted = sortByKind(entries);
      return { ...sorted, unexamined: 0 };
    }
    return { ...sorted, unexamined: rest.length };
  } finally {
    $('examining').hidden = true;
  }
}

// Choices of files are taken one after the other, each whole, in the order they were made: a
// redraw of the page while one is examined (another encoding, another file chosen from a list)
// cannot lose it, and two choices made quickly add up as they would made slowly.
let choices = Promise.resolve();
function chooseFiles(given) {
  performance.mark('grimtrim:files-chosen');
  const taken = choices.then(() => takeFiles(given));
  choices = taken.catch(() => {});
  return taken;
}

async function takeFiles(given) {
  const { found, unknown, unexamined } = await examine(given);
  performance.mark('grimtrim:files-examined');
  // A kind in this choice replaces the same kind chosen before; the others stay.
  for (const save of found.save) save.modified = save.file.lastModified;
  for (const key of kindKeys) {
    if (!found[key].length) continue;
    state.given[key] = found[key];
    state.use[key] = null;
    if (key === 'spellArchive') state.archiveByPlayer = false;
  }
  state.unknown = unknown;
  state.unexamined = unexamined;
  showOutcome(null);
  await showParty(++state.generation);
}

// Keeps in memory the whole bytes of the files in use, and of no other.
async function loadInUse(keys) {
  const inUse = new Set(Object.values(state.use));
  for (const entry of state.bytes.keys()) if (!inUse.has(entry)) state.bytes.delete(entry);
  await Promise.all(keys.map(async (key) => {
    const entry = state.use[key];
    if (state.bytes.has(entry)) return;
    const bytes = await readBytes(entry.file);
    // A newer redraw may have chosen another file meanwhile: what is not in use is not kept.
    if (state.use[key] === entry) state.bytes.set(entry, bytes);
  }));
}

// The party's names in each save, for the list to choose a save from; saves are read one at a
// time, and only their names are kept.
async function learnSaveParties(generation) {
  const table = state.bytes.get(state.use.stringTable);
  for (const entry of state.given.save) {
    if (entry.partyTable === state.use.stringTable) continue;
    const bytes = entry === state.use.save ? state.bytes.get(entry) : await readBytes(entry.file);
    if (generation !== state.generation) return;
    entry.party = core.party(bytes, table).members.map((member) => member.name);
    entry.partyTable = state.use.stringTable;
  }
}

// The locators of every member's known spells that the index has, repeats kept.
const knownLocators = (members) => members.flatMap((m) => m.locators).filter((l) => l !== kNoLocator);

// How many of the party's known spells each given archive holds, from its header and file
// table only: an installation's archives are gigabytes, and the one in use is read whole later.
async function scoreArchives(generation) {
  const save = state.use.save;
  const index = state.use.resourceIndex;
  const of = `${save.id}/${index.id}`;
  if (state.locatorsOf !== of || !state.locators) {
    state.locators = core.partyLocators(state.bytes.get(save), state.bytes.get(index));
    state.locatorsOf = of;
    for (const archive of state.given.spellArchive) archive.held = null;
    if (!state.archiveByPlayer) state.use.spellArchive = null;
  }
  const all = knownLocators(state.locators);
  const wanted = new Set(all);
  await Promise.all(state.given.spellArchive.map(async (archive) => {
    if (archive.held) return;
    const range = archiveTableRange(archive.head, archive.file.size);
    const table = range ? await readBytes(archive.file, range.start, range.end).catch(() => null) : null;
    // Scores of the party these locators belong to only: another save may be in use by now.
    if (state.locatorsOf !== of) return;
    archive.held = table ? heldLocators(table, wanted) : new Set();
    archive.score = countHeld(all, archive.held);
  }));
  return generation === state.generation && state.locatorsOf === of;
}

function clearParty() {
  $('party-section').hidden = true;
  $('spells-section').hidden = true;
  $('edit-section').hidden = true;
  $('party').replaceChildren();
  $('spells').replaceChildren();
}

// What stands in for a missing kind: one file that is none of the kinds, where exactly one kind
// is missing, is taken for that kind, as a configuration line naming the wrong file: the player
// sees why it is not one.
async function showMissing(missing, generation) {
  if (missing.length === 1 && state.unknown.length === 1) {
    // The command line stops at the first file that fails its checks, and the stand-in always
    // fails its own; up to there it looks at no more than a file's first bytes, so only those
    // are read, however large the files.
    const head = async (entry) => ({ name: entry.file.name,
                                     bytes: await readBytes(entry.file, 0, kHeadSize).catch(() => new Uint8Array(0)) });
    const stand = await head(state.unknown[0]);
    const given = async (key) => {
      const entry = state.use[key] ?? state.given[key][0];
      return entry && head(entry);
    };
    const files = Object.fromEntries(await Promise.all(kindKeys.map(async (key) => [key, await given(key)])));
    if (generation !== state.generation) return;
    files[missing[0].key] = stand;
    const result = runAndShow(files, {});
    showMessage([element('p', { textContent: `${stand.name} is not the file this page still needs.` }),
                 quote(afterBanner(result.text)),
                 element('p', { textContent: missing[0].missing })]);
    return;
  }
  $('transcript-command').textContent = '(nothing asked yet)';
  $('transcript').textContent = '';
  showMessage(missing.map((k) => element('p', { textContent: k.missing })), 'info');
}

// Shows the party of the files in use, after choosing the default of each kind not chosen yet.
async function showParty(generation) {
  clearParty();
  const missing = missingKinds((key) => state.given[key].length > 0);
  if (missing.length) {
    listFiles();
    await showMissing(missing, generation);
    return;
  }
  state.use.save ??= newestFirst(state.given.save)[0];
  state.use.stringTable ??= state.given.stringTable[0];
  state.use.resourceIndex ??= state.given.resourceIndex[0];
  await loadInUse(['save', 'stringTable', 'resourceIndex']);
  if (generation !== state.generation) return;
  if (state.editOf !== state.use.save) {
    // Another save: its own edit, with its own history. The edit of the save left is kept with
    // it, so that going back to it loses no removal.
    if (state.editOf) state.editOf.edit = { edited: state.edited, history: state.history };
    state.editOf = state.use.save;
    ({ edited: state.edited, history: state.history } =
        state.use.save.edit ?? { edited: state.bytes.get(state.use.save).slice(), history: [] });
    state.member = null;
    state.level = null;
    showOutcome(null);
  }
  let note = '';  // which archive the page picked among several, and why
  if (state.given.spellArchive.length === 1) {
    state.use.spellArchive = state.given.spellArchive[0];
  } else {
    if (!(await scoreArchives(generation))) return;
    performance.mark('grimtrim:archives-scored');
    const archives = state.given.spellArchive;
    const scores = archives.map((archive) => archive.score);
    if (!state.use.spellArchive) {
      // Where none holds any of the party's spells, any will list them alike: the smallest is
      // read quickest.
      const smallest = archives.reduce((best, a, i) => (a.file.size < archives[best].file.size ? i : best), 0);
      state.use.spellArchive = archives[scores.some((score) => score > 0) ? bestScore(scores) : smallest];
    }
    const inUse = archives.indexOf(state.use.spellArchive);
    note = state.archiveByPlayer ? '' : scores[inUse] > 0
        ? archiveNote(archives.map((a) => a.file.name), scores, inUse)
        : `None of the ${archives.length} spell archives given holds any of the party's known spells; ` +
          `${archives[inUse].file.name}, the smallest, is used.`;
  }
  await loadInUse(['spellArchive']);
  if (generation !== state.generation) return;

  const { members, end, stoppedAt } = core.party(state.edited, state.bytes.get(state.use.stringTable));
  chooseEncodingFor(members);
  listFiles();
  showChoices();
  const result = runAndShow(currentFiles(), {});
  if (result.status !== 0) {
    showMessage([quote(afterBanner(result.text))]);
    return;
  }
  const notes = [];
  if (note) notes.push(element('p', { textContent: note }));
  if (end !== 0) {
    notes.push(element('p', { textContent: `The party list stops at party record ${stoppedAt}: the save is damaged or is not a finished save.` }),
               quote(stopMessage(result.text)));
  }
  showMessage(notes.length ? notes : '', end !== 0 ? 'error' : 'info');
  const party = $('party');
  let again = null;
  for (const member of members) {
    const button = element('button', { type: 'button', className: 'member' },
                           element('span', { className: 'num', textContent: String(member.number) }),
                           element('span', { className: 'name', textContent: shown(member.name) }));
    if (!member.knowsSpells) button.append(element('span', { className: 'tag', textContent: 'no spells' }));
    button.setAttribute('aria-pressed', 'false');
    button.addEventListener('click', () => guarded(() => chooseMember(member, button)));
    party.append(element('li', {}, button));
    if (state.member?.index === member.index) again = { member, button };
  }
  $('party-section').hidden = members.length === 0;
  // The same save with another file of some kind, or another encoding: the member stays shown.
  if (again) showMember(again.member, again.button, state.level);
  else state.member = null;
  await nextPaint();
  performance.mark('grimtrim:party-shown');
  // The other saves' parties, for the list to choose a save from, once this party is shown.
  if (state.given.save.some((entry) => entry.partyTable !== state.use.stringTable)) {
    await learnSaveParties(generation);
    if (generation === state.generation) showChoices();
  }
}

// Decides how names are shown: UTF-8 where the party's names and the names of every member's
// spell-book spells all are, otherwise the code page the player chose. The names are the same
// whatever was removed, so they are looked at once for each set of files.
function chooseEncodingFor(members) {
  const files = `${state.use.save.id}/${state.use.stringTable.id}/${state.use.spellArchive.id}/${state.use.resourceIndex.id}`;
  if (state.namesOf !== files) {
    const names = members.map((m) => m.name);
    for (const member of members) {
      if (member.knowsSpells) names.push(...core.spells(currentFiles(), member.index).spells.map((spell) => spell.name));
    }
    state.names = names;
    state.namesOf = files;
  }
  state.encoding = chooseEncoding(state.names, state.codePage);
  state.decode = decoderFor(state.encoding);
  const select = $('encoding');
  if (!select.options.length) {
    for (const page of codePages) select.append(element('option', { value: page.label, textContent: page.name }));
  }
  select.value = state.codePage;
  $('encoding-choice').hidden = state.encoding === 'utf-8';
}

const timeOf = (entry) => new Date(entry.modified).toLocaleString();
const describe = {
  save: (entry) => {
    const folder = folderOf(entry.path);
    const names = entry.party ? entry.party.map(shown).join(', ') : '';
    return `${folder ? `${folder}/` : ''}${entry.file.name}, saved ${timeOf(entry)}${names ? `: ${names}` : ''}`;
  },
  stringTable: (entry) => entry.path,
  resourceIndex: (entry) => entry.path,
  spellArchive: (entry) => `${entry.path}: holds ${entry.score} of the party's known spells`,
};

// A list to choose from for each kind of which several files were given. The archives listed
// are those that hold any of the party's known spells (all of them where none does).
function showChoices() {
  const box = $('choices');
  box.replaceChildren();
  for (const key of ['save', 'stringTable', 'resourceIndex', 'spellArchive']) {
    let entries = key === 'save' ? newestFirst(state.given.save) : state.given[key];
    if (key === 'spellArchive' && entries.some((e) => e.score > 0)) {
      entries = entries.filter((e) => e.score > 0 || e === state.use.spellArchive);
    }
    if (state.given[key].length < 2) continue;
    const kind = kinds.find((k) => k.key === key);
    const select = element('select', { id: `choose-${key}` });
    for (const entry of entries) {
      const option = element('option', { value: String(state.given[key].indexOf(entry)), textContent: describe[key](entry) });
      option.selected = entry === state.use[key];
      select.append(option);
    }
    select.addEventListener('change', () => guarded(async () => {
      state.use[key] = state.given[key][Number(select.value)];
      if (key === 'spellArchive') state.archiveByPlayer = true;
      await showParty(++state.generation);
    }));
    const count = key === 'spellArchive' ? `${entries.length} of ${state.given[key].length}` : String(entries.length);
    box.append(element('p', {}, element('label', { htmlFor: select.id, textContent: `${kind.label} in use (${count} given):` }), select));
  }
}

function listFiles() {
  const list = $('file-list');
  list.replaceChildren();
  for (const key of ['save', 'stringTable', 'resourceIndex', 'spellArchive']) {
    const entry = state.use[key] ?? (state.given[key].length === 1 ? state.given[key][0] : null);
    if (!entry) continue;
    const what = kinds.find((kind) => kind.key === key).label;
    const item = element('li', {}, `${what}: `, element('strong', { textContent: entry.file.name }));
    const folder = folderOf(entry.path);
    if (folder) item.append(` in ${folder}`);
    if (key === 'save' && state.given.save.length > 1) item.append(`, saved ${timeOf(entry)}`);
    list.append(item);
  }
  if (state.unknown.length) {
    const names = state.unknown.slice(0, 5).map((e) => e.file.name).join(', ');
    const more = state.unknown.length > 5 ? ` and ${state.unknown.length - 5} more` : '';
    list.append(element('li', { className: 'note',
      textContent: `Not a file of the game, not used: ${names}${more}.` }));
  }
  if (state.unexamined) {
    list.append(element('li', { className: 'note',
      textContent: `${state.unexamined} other files were not opened: their names are not those of the game's files.` }));
  }
}

async function chooseMember(member, button) {
  performance.mark('grimtrim:member-chosen');
  showOutcome(null);
  showMember(member, button, null);
  // On a phone the spells are below the party: bring them into view.
  if (matchMedia('(max-width: 50rem)').matches) $('spells-section').scrollIntoView({ block: 'start' });
  await nextPaint();
  performance.mark('grimtrim:spells-shown');
}

// Shows a member's spells, and the listing of `level` in the panel where one was asked for.
function showMember(member, button, level) {
  for (const b of document.querySelectorAll('#party button')) b.setAttribute('aria-pressed', String(b === button));
  state.member = member;
  state.level = level;
  runAndShow(currentFiles(), level === null ? { member: member.index } : { member: member.index, level });
  showSpells();
  $('spells-section').hidden = false;
  $('edit-section').hidden = false;
}

// Why a member's spell list stops, by the end the core gave.
const whyListStops = {
  1: 'The member cannot be read: the save is damaged.',
  2: 'A spell this member knows is not in the resource index: is it the .key file of this game?',
  3: 'The spell archive holds something else than a spell where a spell should be: is it the right .bif file?',
  4: "The member's known spells lie outside the save: the save is damaged.",
};

// The member's spell-book spells, a group per level, numbered as -s and -w number them.
function showSpells() {
  const member = state.member;
  const memberName = shown(member.name);
  const box = $('spells');
  box.replaceChildren();
  box.append(element('p', { className: 'member-name' }, element('strong', { textContent: memberName })));
  if (!member.knowsSpells) {
    box.append(element('p', { textContent: `${memberName} knows no spells: there is nothing to remove.` }));
    return;
  }
  const { spells, end } = core.spells(currentFiles(), member.index);
  const levels = [...new Set(spells.map((s) => s.level))].sort((a, b) => a - b);
  if (!levels.length && end === 0) {
    box.append(element('p', { textContent: 'None of the spells this member knows is a spell-book spell in this spell archive.' }));
  }
  for (const level of levels) {
    const ofLevel = spells.filter((s) => s.level === level);
    const levelButton = element('button', { type: 'button', className: 'level', textContent: `Level ${level}` });
    levelButton.setAttribute('aria-pressed', String(state.level === level));
    levelButton.addEventListener('click', () => guarded(() => chooseLevel(level)));
    const list = element('ol', { className: 'spells' });
    for (const spell of ofLevel) {
      const name = shown(spell.name);
      const remove = element('button', { type: 'button', className: 'remove', textContent: 'Remove' });
      remove.setAttribute('aria-label', `Remove ${name} (level ${level}, spell ${spell.number})`);
      remove.addEventListener('click', () => guarded(() => confirmRemoval(spell)));
      list.append(element('li', {}, element('span', { className: 'num', textContent: String(spell.number) }),
                          element('span', { className: 'name', textContent: name }), remove));
    }
    box.append(element('section', { className: 'level-group' },
                       element('h3', {}, levelButton, element('span', { className: 'count',
                         textContent: ofLevel.length === 1 ? '1 spell' : `${ofLevel.length} spells` })),
                       list));
  }
  const elsewhere = spellsElsewhere(member);
  if (elsewhere) box.append(element('p', { className: 'note', textContent: elsewhere }));
  if (end !== 0) {
    const result = core.run(currentFiles(), { member: member.index });
    box.append(element('div', { className: 'error' },
                       element('p', { textContent: `The list stops here. ${whyListStops[end] ?? ''}` }),
                       quote(stopMessage(result.text))));
  }
}

// Where several archives were given: how many of the member's known spells the archive in use
// lacks and another holds, and which; '' where there are none.
function spellsElsewhere(member) {
  if (state.given.spellArchive.length < 2 || !state.locators) return '';
  const locators = state.locators.find((m) => m.index === member.index)?.locators ?? [];
  const inUse = state.use.spellArchive;
  const others = state.given.spellArchive.filter((archive) => archive !== inUse && archive.held);
  const found = heldElsewhere(locators, inUse.held, others.map((a) => ({ name: a.file.name, held: a.held })));
  if (!found.length) return '';
  const count = found.reduce((sum, f) => sum + f.count, 0);
  const where = found.map((f) => (found.length === 1 ? f.name : `${f.count} in ${f.name}`)).join(', ');
  return `${count === 1 ? '1 of the known spells' : `${count} of the known spells`} of ${shown(member.name)} ` +
      `${count === 1 ? 'is' : 'are'} not listed: ${inUse.file.name} does not hold ${count === 1 ? 'it' : 'them'}. ` +
      `${count === 1 ? 'It is' : 'They are'} in ${where}; choose that archive above to see ${count === 1 ? 'it' : 'them'}.`;
}

function chooseLevel(level) {
  state.level = level;
  for (const b of document.querySelectorAll('#spells button.level')) {
    b.setAttribute('aria-pressed', String(b.textContent === `Level ${level}`));
  }
  runAndShow(currentFiles(), { member: state.member.index, level });
}

const selectedMethod = () => Number(document.querySelector('input[name="method"]:checked').value);

function confirmRemoval(spell) {
  const dialog = $('confirm');
  const method = selectedMethod();
  const name = shown(spell.name);
  $('confirm-heading').textContent = `Remove ${name}?`;
  $('confirm-text').textContent = `${name} (level ${spell.level}, spell ${spell.number}) will be removed from ${shown(state.member.name)}'s spell book.`;
  $('confirm-method').textContent = methodWords[method];
  $('confirm-remove').textContent = `Remove ${name}`;
  dialog.returnValue = '';
  dialog.onclose = () => {
    if (dialog.returnValue === 'remove') guarded(() => removeSpell(spell, method));
  };
  dialog.showModal();
  $('confirm-cancel').focus();
}

function removeSpell(spell, method) {
  const options = { member: state.member.index, level: spell.level, number: spell.number, method };
  const before = state.edited;
  const result = runAndShow(currentFiles(before), options);
  const lines = afterBanner(result.text).split('\n');
  const name = shown(spell.name);
  const memberName = shown(state.member.name);
  if (result.status !== 0 || !lines.includes(`Whacking ${bytesToText(spell.name)}`)) {
    showOutcome([element('p', { textContent: 'Nothing was removed.' }), quote(stopMessage(result.text))], 'error');
    showSpells();
    return;
  }
  state.history.push({ bytes: before, spell: spell.name, member: state.member.name });
  state.edited = result.save;
  const changed = result.save.some((b, i) => b !== before[i]);
  const words = [element('p', {}, element('strong', { textContent: `Removed ${name} from ${memberName}.` }))];
  const explained = explainWhack(lines, changed, method);
  if (explained) words.push(element('p', { textContent: explained }));
  words.push(element('p', { textContent: `Download the edited save to keep it; ${state.editOf.file.name} on your disk is unchanged.` }));
  showOutcome(words);
  showSpells();
}

function undo() {
  const last = state.history.pop();
  if (!last) return;
  state.edited = last.bytes;
  showOutcome([element('p', { textContent: `Undone: ${shown(last.spell)} from ${shown(last.member)} is back.` })]);
  if (state.member) {
    runAndShow(currentFiles(), state.level === null ? { member: state.member.index }
                                                   : { member: state.member.index, level: state.level });
    showSpells();
  }
}

function download() {
  const url = URL.createObjectURL(new Blob([state.edited], { type: 'application/octet-stream' }));
  const link = element('a', { href: url, download: state.editOf.file.name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

function showOutcome(content, kind = 'ok') {
  const box = $('outcome');
  box.replaceChildren();
  box.className = content ? kind : '';
  if (content) box.append(...content);
  $('undo').disabled = state.history.length === 0;
  $('download').disabled = state.history.length === 0;
}

// The archive among `archives` ({ name, bytes }) that holds the most of the party's known spells,
// scored as the page scores archives it is given: { index, scores }.
function pickArchive(save, resourceIndex, archives) {
  const all = knownLocators(core.partyLocators(save, resourceIndex));
  const scores = archives.map(({ bytes }) => {
    const range = archiveTableRange(bytes.subarray(0, kHeadSize), bytes.length);
    return range ? countHeld(all, heldLocators(bytes.subarray(range.start, range.end), new Set(all))) : 0;
  });
  return { index: bestScore(scores), scores };
}

// Whatever goes wrong is said on the page; nothing is left half done without a word.
async function guarded(work) {
  try {
    await work();
  } catch (error) {
    showMessage(`Something went wrong in this page: ${error?.message ?? error}. Reload the page and choose the files again.`);
  }
}

// A file chosen, with its path inside the folder chosen where it came with one.
const asGiven = (file) => ({ file, path: file.webkitRelativePath || file.name });

// Files dropped: folders are walked, so that a whole data folder can be dropped.
async function droppedFiles(dataTransfer) {
  const entries = Array.from(dataTransfer.items ?? [], (item) => item.webkitGetAsEntry?.());
  if (!entries.length || entries.some((e) => !e)) return [...dataTransfer.files].map(asGiven);
  const files = [];
  const walk = async (entry) => {
    if (entry.isFile) {
      // A file that cannot be read (gone since it was dropped, a broken link) is left out.
      const file = await new Promise((resolve, reject) => entry.file(resolve, reject)).catch(() => null);
      if (file) files.push({ file, path: entry.fullPath.replace(/^\//, '') || file.name });
    } else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject)).catch(() => []);
        if (!batch.length) break;
        for (const child of batch) await walk(child);
      }
    }
  };
  for (const entry of entries) await walk(entry);
  return files;
}

function wirePage() {
  for (const input of [$('file-input'), $('folder-input')]) {
    input.addEventListener('change', () => {
      const files = [...input.files].map(asGiven);
      input.value = '';
      guarded(() => chooseFiles(files));
    });
  }
  $('encoding').addEventListener('change', () => guarded(async () => {
    state.codePage = $('encoding').value;
    rememberCodePage(storage, state.codePage);
    showOutcome(null);  // its names were decoded the other way
    await showParty(++state.generation);
  }));
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (!event.relatedTarget) document.body.classList.remove('dragging');
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    const files = droppedFiles(event.dataTransfer);
    guarded(async () => chooseFiles(await files));
  });
  $('undo').addEventListener('click', () => guarded(undo));
  $('download').addEventListener('click', () => guarded(download));
}

// The page starts with a note that it is starting; it gives way to the page once the core runs,
// and to the reason where this browser cannot run it.
async function start() {
  const note = $('starting');
  try {
    if (typeof WebAssembly !== 'object') {
      throw new Error('this browser does not run WebAssembly, or it is switched off');
    }
    core = makeCore(await loadGrimtrim());
  } catch (error) {
    note.textContent = `Grimtrim cannot run in this browser: ${error?.message ?? error}. ` +
        'Open this page in a current Chrome, Edge, Firefox or Safari, with WebAssembly allowed.';
    note.className = 'error';
    return;
  }
  window.grimtrim = {
    run: (files, options) => core.run(files, options),
    // The archive among several that holds the most of the party's known spells.
    pickArchive: (save, resourceIndex, archives) => pickArchive(save.bytes, resourceIndex.bytes, archives),
    // The encodings the page offers for names that are not UTF-8.
    codePages,
  };
  wirePage();
  note.remove();
  $('files').hidden = false;
  document.body.classList.add('ready');
}

start();
