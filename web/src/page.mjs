// The page: what the player chooses and clicks, shown with the core's answers. The logic that
// is not about the page's elements lives in core.mjs, files.mjs and command.mjs.

import loadGrimtrim from './grimtrim.js';
import { bytesToText, makeCore } from './core.mjs';
import { archiveNote, bestScore, kinds, missingKinds, sortByKind } from './files.mjs';
import { afterBanner, commandLine, explainWhack, methodWords, stopMessage } from './command.mjs';

const $ = (id) => document.getElementById(id);
const element = (tag, props = {}, ...children) => {
  const node = Object.assign(document.createElement(tag), props);
  node.append(...children);
  return node;
};
const nextPaint = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
// A name as the game stores it, as the page shows it.
const shown = (bytes) => bytesToText(bytes);

const state = {
  save: null,           // { name, bytes }: the save as chosen, never changed
  stringTable: null,    // { name, bytes }
  resourceIndex: null,  // { name, bytes }
  archives: [],         // { name, file }: every archive of the last choice that had any
  spellArchive: null,   // { name, bytes }: the one picked among them
  archiveNote: '',      // which archive was picked, and why
  unknown: [],          // files of the last choice that are none of the four kinds
  edited: null,         // the save's bytes after the removals so far
  history: [],          // { bytes, label }: the save before each removal, for Undo
  member: null,         // the party member shown
  level: null,          // the level last asked for
  generation: 0,        // counts choices of files, so that a slow one cannot overwrite a newer
};

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

function currentFiles(save = state.edited) {
  return {
    save: { name: state.save.name, bytes: save },
    stringTable: state.stringTable,
    spellArchive: state.spellArchive,
    resourceIndex: state.resourceIndex,
  };
}

// Runs a request as the command line would and shows its output in the transcript panel.
function runAndShow(files, options) {
  const result = core.run(files, options);
  $('transcript-command').textContent = commandLine(options, state.save?.name);
  $('transcript').textContent = result.text;
  return result;
}

const headOf = async (file) => new Uint8Array(await file.slice(0, 4).arrayBuffer());
const readFile = async (file) => ({ name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) });

async function chooseFiles(files) {
  performance.mark('grimtrim:files-chosen');
  const generation = ++state.generation;
  const entries = await Promise.all(files.map(async (file) => ({ file, head: await headOf(file) })));
  const sorted = sortByKind(entries);
  const found = Object.fromEntries(Object.entries(sorted.found).map(([key, list]) => [key, list.map((e) => e.file)]));
  const unknown = sorted.unknown.map((e) => e.file);
  const [save, stringTable, resourceIndex] = await Promise.all(
      [found.save[0], found.stringTable[0], found.resourceIndex[0]].map((f) => f && readFile(f)));
  if (generation !== state.generation) return;
  // A kind in this choice replaces the same kind chosen before; the others stay.
  if (save) {
    state.save = save;
    state.edited = save.bytes.slice();
    state.history = [];
  }
  if (stringTable) state.stringTable = stringTable;
  if (resourceIndex) state.resourceIndex = resourceIndex;
  if (found.spellArchive.length) {
    state.archives = found.spellArchive.map((file) => ({ name: file.name, file }));
  }
  state.unknown = unknown;
  if (save || found.spellArchive.length || resourceIndex) state.spellArchive = null;
  state.member = null;
  state.level = null;
  showOutcome(null);
  listFiles(found);
  await showParty(generation);
}

function listFiles(found) {
  const list = $('file-list');
  list.replaceChildren();
  for (const key of ['save', 'stringTable', 'resourceIndex']) {
    const what = kinds.find((kind) => kind.key === key).label;
    if (state[key]) list.append(element('li', {}, `${what}: `, element('strong', { textContent: state[key].name })));
  }
  if (state.archives.length === 1) {
    list.append(element('li', {}, 'Spell archive: ', element('strong', { textContent: state.archives[0].name })));
  }
  for (const [key, files] of Object.entries(found)) {
    if (key !== 'spellArchive' && files.length > 1) {
      list.append(element('li', { textContent: `${files.length} files of one kind were given; ${files[0].name} is used.` }));
    }
  }
  if (state.unknown.length) {
    const names = state.unknown.slice(0, 5).map((f) => f.name).join(', ');
    const more = state.unknown.length > 5 ? ` and ${state.unknown.length - 5} more` : '';
    list.append(element('li', { className: 'note',
      textContent: `Not a file of the game, not used: ${names}${more}.` }));
  }
}

function clearParty() {
  $('party-section').hidden = true;
  $('spells-section').hidden = true;
  $('edit-section').hidden = true;
  $('party').replaceChildren();
  $('spells').replaceChildren();
}

// The archive that holds the most of the party's known spells, read one at a time, so that a
// whole data folder never sits in memory at once: { index, scores }.
async function pickArchive(save, resourceIndex, archives) {
  const scores = [];
  for (const archive of archives) {
    const bytes = archive.bytes ?? new Uint8Array(await archive.file.arrayBuffer());
    scores.push(core.archiveScore(save, resourceIndex, bytes));
  }
  return { index: bestScore(scores), scores };
}

async function showParty(generation) {
  clearParty();
  const missing = missingKinds((key) => (key === 'spellArchive' ? state.archives.length : state[key]));
  if (missing.length) {
    // One file that is none of the kinds, where exactly one kind is missing, is taken for that
    // kind, as a configuration line naming the wrong file: the player sees why it is not one.
    if (missing.length === 1 && state.unknown.length === 1) {
      const stand = await readFile(state.unknown[0]);
      if (generation !== state.generation) return;
      const files = { save: state.save && { name: state.save.name, bytes: state.edited },
                      stringTable: state.stringTable, resourceIndex: state.resourceIndex,
                      spellArchive: state.archives[0] && await readFile(state.archives[0].file) };
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
    return;
  }
  if (!state.spellArchive) {
    if (state.archives.length === 1) {
      state.spellArchive = await readFile(state.archives[0].file);
      state.archiveNote = '';
    } else {
      const { index, scores } = await pickArchive(state.save.bytes, state.resourceIndex.bytes, state.archives);
      if (generation !== state.generation) return;
      state.spellArchive = await readFile(state.archives[index].file);
      state.archiveNote = archiveNote(state.archives.map((a) => a.name), scores, index);
    }
    if (generation !== state.generation) return;
  }
  const result = runAndShow(currentFiles(), {});
  if (result.status !== 0) {
    showMessage([quote(afterBanner(result.text))]);
    return;
  }
  const { members, end, stoppedAt } = core.party(state.edited, state.stringTable.bytes);
  const notes = [];
  if (state.archiveNote) notes.push(element('p', { textContent: state.archiveNote }));
  if (end !== 0) {
    notes.push(element('p', { textContent: `The party list stops at party record ${stoppedAt}: the save is damaged or is not a finished save.` }),
               quote(stopMessage(result.text)));
  }
  showMessage(notes.length ? notes : '', end !== 0 ? 'error' : 'info');
  const party = $('party');
  for (const member of members) {
    const button = element('button', { type: 'button', className: 'member' },
                           element('span', { className: 'num', textContent: String(member.number) }),
                           element('span', { className: 'name', textContent: shown(member.name) }));
    if (!member.knowsSpells) button.append(element('span', { className: 'tag', textContent: 'no spells' }));
    button.setAttribute('aria-pressed', 'false');
    button.addEventListener('click', () => guarded(() => chooseMember(member, button)));
    party.append(element('li', {}, button));
  }
  $('party-section').hidden = members.length === 0;
  await nextPaint();
  performance.mark('grimtrim:party-shown');
}

async function chooseMember(member, button) {
  performance.mark('grimtrim:member-chosen');
  for (const b of document.querySelectorAll('#party button')) b.setAttribute('aria-pressed', String(b === button));
  state.member = member;
  state.level = null;
  showOutcome(null);
  runAndShow(currentFiles(), { member: member.index });
  showSpells();
  $('spells-section').hidden = false;
  $('edit-section').hidden = false;
  // On a phone the spells are below the party: bring them into view.
  if (matchMedia('(max-width: 50rem)').matches) $('spells-section').scrollIntoView({ block: 'start' });
  await nextPaint();
  performance.mark('grimtrim:spells-shown');
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
  if (end !== 0) {
    const result = core.run(currentFiles(), { member: member.index });
    box.append(element('div', { className: 'error' },
                       element('p', { textContent: `The list stops here. ${whyListStops[end] ?? ''}` }),
                       quote(stopMessage(result.text))));
  }
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
  state.history.push({ bytes: before, label: `${name} from ${memberName}` });
  state.edited = result.save;
  const changed = result.save.some((b, i) => b !== before[i]);
  const words = [element('p', {}, element('strong', { textContent: `Removed ${name} from ${memberName}.` }))];
  const explained = explainWhack(lines, changed, method);
  if (explained) words.push(element('p', { textContent: explained }));
  words.push(element('p', { textContent: `Download the edited save to keep it; ${state.save.name} on your disk is unchanged.` }));
  showOutcome(words);
  showSpells();
}

function undo() {
  const last = state.history.pop();
  if (!last) return;
  state.edited = last.bytes;
  showOutcome([element('p', { textContent: `Undone: ${last.label} is back.` })]);
  if (state.member) {
    runAndShow(currentFiles(), state.level === null ? { member: state.member.index }
                                                   : { member: state.member.index, level: state.level });
    showSpells();
  }
}

function download() {
  const url = URL.createObjectURL(new Blob([state.edited], { type: 'application/octet-stream' }));
  const link = element('a', { href: url, download: state.save.name });
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

// Whatever goes wrong is said on the page; nothing is left half done without a word.
async function guarded(work) {
  try {
    await work();
  } catch (error) {
    showMessage(`Something went wrong in this page: ${error?.message ?? error}. Reload the page and choose the files again.`);
  }
}

// Files dropped: folders are walked, so that a whole data folder can be dropped.
async function droppedFiles(dataTransfer) {
  const entries = Array.from(dataTransfer.items ?? [], (item) => item.webkitGetAsEntry?.());
  if (!entries.length || entries.some((e) => !e)) return [...dataTransfer.files];
  const files = [];
  const walk = async (entry) => {
    if (entry.isFile) {
      files.push(await new Promise((resolve, reject) => entry.file(resolve, reject)));
    } else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (!batch.length) break;
        for (const child of batch) await walk(child);
      }
    }
  };
  for (const entry of entries) await walk(entry);
  return files;
}

function wirePage() {
  $('file-input').addEventListener('change', (event) => {
    const files = [...event.target.files];
    event.target.value = '';
    guarded(() => chooseFiles(files));
  });
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
  };
  wirePage();
  note.remove();
  $('files').hidden = false;
  document.body.classList.add('ready');
}

start();
