// The page: the files the player chooses, the party they hold, and the controls around them,
// answered with the core's values. Taking files in is intake.mjs's, the archive in use
// archives.mjs's, the member shown and its removals member.mjs's, the elements draw.mjs's.

import loadGrimtrim from './grimtrim.js';
import { makeCore, stoppedEarly } from './core.mjs';
import { folderOf, kindKeys, missingKinds, newestFirst } from './files.mjs';
import { chooseEncoding, codePages, decoderFor, rememberCodePage } from './decode.mjs';
import { asGiven, droppedFiles, examine, inTurn, readBytes } from './intake.mjs';
import { byId, clearParty, downloadBytes, drawParty, examinationProgress, listFiles, nextPaint, paragraph, quote,
         showChoices, showEncodingChoice, showMessage, showTranscript } from './draw.mjs';
import { currentFiles, guarded, loadInUse, runAndShow, showOutcome, shown, state, storage, stringTableInUse } from './session.mjs';
import { chooseArchive, pickArchiveOf } from './archives.mjs';
import { chooseMember, showMember, undo } from './member.mjs';
import { findGameFolder, readWhatIsNeeded } from './folder.mjs';

// Choices of files are taken one after the other, each whole, in the order they were made: a
// redraw of the page while one is examined (another encoding, another file chosen from a list)
// cannot lose it, and two choices made quickly add up as they would made slowly.
const inChoiceTurn = inTurn();
function chooseFiles(given) {
  performance.mark('grimtrim:files-chosen');
  return inChoiceTurn(() => takeFiles(given));
}

async function takeFiles(given) {
  const progress = examinationProgress();
  const { found, unknown, unexamined } = await examine(given, {
    kinds: state.fileKinds, alreadyGiven: (key) => state.given[key].length > 0,
    onProgress: (done, total) => progress.show(done, total) }).finally(() => progress.done());
  performance.mark('grimtrim:files-examined');
  // A choice with an index decides anew whether the page works on a game's folder: one whose
  // index names archives the folder holds. The save may come in a choice of its own.
  if (found.resourceIndex.length) {
    const game = await findGameFolder(given, found.resourceIndex, state.core, readBytes);
    state.folder = game?.folder ?? null;
    state.folderLayout = game?.layout ?? null;
  }
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

// The party's names in each save, for the list to choose a save from; saves are read one at a
// time, and only their names are kept.
async function learnSaveParties(generation) {
  const table = stringTableInUse();
  for (const entry of state.given.save) {
    if (entry.partyTable === table.key) continue;
    const bytes = entry === state.use.save ? state.bytes.get(entry) : await readBytes(entry.file);
    if (generation !== state.generation) return;
    entry.party = state.core.party(bytes, table.bytes).members.map((member) => member.name);
    entry.partyTable = table.key;
  }
}

// Reads of the game's folder what the runs on the save in use need, as the core names it: the
// string table and index whole, the loose spells of the party, and of each archive its table
// and the headers of the party's spells. False when another choice came meanwhile.
async function readFolder(generation) {
  const folder = state.folder;
  state.folderLayout = await readWhatIsNeeded(folder, (files) => state.core.folderNeeds(state.edits.edited, files), readBytes);
  performance.mark('grimtrim:folder-read', { detail: { reads: folder.reads, bytes: folder.bytesRead } });
  return generation === state.generation && folder === state.folder;
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
                                     bytes: await readBytes(entry.file, 0, state.fileKinds.headSize).catch(() => new Uint8Array(0)) });
    const stand = await head(state.unknown[0]);
    const given = async (key) => {
      const entry = state.use[key] ?? state.given[key][0];
      return entry && head(entry);
    };
    const files = Object.fromEntries(await Promise.all(kindKeys.map(async (key) => [key, await given(key)])));
    if (generation !== state.generation) return;
    files[missing[0].key] = stand;
    const result = runAndShow(files, {});
    showMessage([paragraph(`${stand.name} is not the file this page still needs.`),
                 quote(shown(result.message)), paragraph(missing[0].missing)]);
    return;
  }
  showTranscript('(nothing asked yet)', '');
  showMessage(missing.map((k) => paragraph(k.missing)), 'info');
}

// Shows the party of the files in use, after choosing the default of each kind not chosen yet.
async function showParty(generation) {
  clearParty();
  // A game's folder holds the kinds other than the save; the core finds them in it.
  const missing = missingKinds((key) => (state.folder && key !== 'save') || state.given[key].length > 0);
  if (missing.length) {
    showFiles();
    await showMissing(missing, generation);
    return;
  }
  state.use.save ??= newestFirst(state.given.save)[0];
  if (state.folder) {
    for (const key of ['stringTable', 'spellArchive', 'resourceIndex']) state.use[key] = null;
  } else {
    state.use.stringTable ??= state.given.stringTable[0];
    state.use.resourceIndex ??= state.given.resourceIndex[0];
  }
  await loadInUse(state.folder ? ['save'] : ['save', 'stringTable', 'resourceIndex']);
  if (generation !== state.generation) return;
  if (state.edits.use(state.use.save, state.bytes.get(state.use.save))) {
    // Another save: its own edit, with its own history, and nobody shown yet.
    state.member = null;
    state.level = null;
    showOutcome(null);
  }
  let note = '';
  if (state.folder) {
    if (!(await readFolder(generation))) return;
  } else {
    note = await chooseArchive(generation);  // which archive the page picked among several, and why
    if (note === null) return;
    await loadInUse(['spellArchive']);
    if (generation !== state.generation) return;
  }

  const { members, end, stoppedAt } = state.core.party(state.edits.edited, stringTableInUse().bytes);
  chooseEncodingFor(members);
  showFiles();
  showSaveChoices();
  const result = runAndShow(currentFiles(), {});
  if (result.status !== 0) {
    showMessage([quote(shown(result.message))]);
    return;
  }
  const notes = note ? [paragraph(note)] : [];
  if (stoppedEarly(end)) {
    notes.push(paragraph(`The party list stops at party record ${stoppedAt}: the save is damaged or is not a finished save.`),
               quote(shown(result.message)));
  }
  showMessage(notes.length ? notes : '', stoppedEarly(end) ? 'error' : 'info');
  const buttons = drawParty(members, (member) => shown(member.name),
                            (member, button) => guarded(() => chooseMember(member, button)));
  // The same save with another file of some kind, or another encoding: the member stays shown.
  const again = members.find((member) => member.index === state.member?.index);
  if (again) showMember(again, buttons.get(again.index), state.level);
  else state.member = null;
  await nextPaint();
  performance.mark('grimtrim:party-shown');
  // The other saves' parties, for the list to choose a save from, once this party is shown.
  if (state.given.save.some((entry) => entry.partyTable !== stringTableInUse().key)) {
    await learnSaveParties(generation);
    if (generation === state.generation) showSaveChoices();
  }
}

// Decides how names are shown: UTF-8 where the party's names and the names of every member's
// spell-book spells all are, otherwise the code page the player chose. The names are the same
// whatever was removed, so they are looked at once for each set of files.
function chooseEncodingFor(members) {
  const files = state.folder ? `${state.use.save.id}/${state.folder.id}` : kindKeys.map((key) => state.use[key].id).join('/');
  if (state.namesOf !== files) {
    const names = members.map((m) => m.name);
    for (const member of members) {
      if (member.knowsSpells) names.push(...state.core.spells(currentFiles(), member.index).spells.map((spell) => spell.name));
    }
    state.names = names;
    state.namesOf = files;
  }
  const encoding = chooseEncoding(state.names, state.codePage);
  state.decode = decoderFor(encoding);
  showEncodingChoice(codePages, state.codePage, encoding !== 'utf-8');
}

const timeOf = (entry) => new Date(entry.modified).toLocaleString();

function showFiles() {
  const saveTime = (entry) => (state.given.save.length > 1 ? timeOf(entry) : '');
  if (state.folder) {
    // The game's folder: the files its layout gives, and the archives its index names.
    const { stringTable, indexes, archivesHeld } = state.folderLayout ?? {};
    const found = { save: state.use.save ?? (state.given.save.length === 1 ? state.given.save[0] : null),
                    stringTable: stringTable ? state.folder.entry(stringTable) : null,
                    resourceIndex: indexes?.length === 1 ? state.folder.entry(indexes[0]) : null };
    const archives = found.resourceIndex
        ? `the ${archivesHeld === 1 ? 'one' : archivesHeld} that ${found.resourceIndex.file.name} names, in ${state.folder.name}` : '';
    listFiles((key) => found[key] ?? null, saveTime, [], 0, archives);
    return;
  }
  const inUse = (key) => state.use[key] ?? (state.given[key].length === 1 ? state.given[key][0] : null);
  listFiles(inUse, saveTime, state.unknown, state.unexamined);
}

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
function showSaveChoices() {
  const choices = [];
  for (const key of ['save', 'stringTable', 'resourceIndex', 'spellArchive']) {
    // In a game's folder the core decides the other kinds, as the command line does.
    if (state.given[key].length < 2 || (state.folder && key !== 'save')) continue;
    let entries = key === 'save' ? newestFirst(state.given.save) : state.given[key];
    if (key === 'spellArchive' && entries.some((e) => e.score > 0)) {
      entries = entries.filter((e) => e.score > 0 || e === state.use.spellArchive);
    }
    choices.push({ key, entries, given: state.given[key].length, inUse: state.use[key], describe: describe[key] });
  }
  showChoices(choices, (key, entry) => guarded(async () => {
    state.use[key] = entry;
    if (key === 'spellArchive') state.archiveByPlayer = true;
    await showParty(++state.generation);
  }));
}

function wirePage() {
  for (const input of [byId('file-input'), byId('folder-input')]) {
    input.addEventListener('change', () => {
      const files = [...input.files].map(asGiven);
      input.value = '';
      guarded(() => chooseFiles(files));
    });
  }
  byId('encoding').addEventListener('change', () => guarded(async () => {
    state.codePage = byId('encoding').value;
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
  byId('undo').addEventListener('click', () => guarded(undo));
  byId('download').addEventListener('click', () => guarded(() => downloadBytes(state.edits.edited, state.edits.save.file.name)));
}

// The page starts with a note that it is starting; it gives way to the page once the core runs,
// and to the reason where this browser cannot run it.
async function start() {
  const note = byId('starting');
  try {
    if (typeof WebAssembly !== 'object') {
      throw new Error('this browser does not run WebAssembly, or it is switched off');
    }
    state.core = makeCore(await loadGrimtrim());
    state.fileKinds = state.core.fileKinds();
  } catch (error) {
    note.textContent = `Grimtrim cannot run in this browser: ${error?.message ?? error}. ` +
        'Open this page in a current Chrome, Edge, Firefox or Safari, with WebAssembly allowed.';
    note.className = 'error';
    return;
  }
  window.grimtrim = {
    run: (files, options) => state.core.run(files, options),
    // The archive among several that holds the most of the party's known spells.
    pickArchive: (save, resourceIndex, archives) => pickArchiveOf(save.bytes, resourceIndex.bytes, archives),
    // The encodings the page offers for names that are not UTF-8.
    codePages,
    // The core as the page uses it, for the tests of its answers.
    core: state.core,
  };
  wirePage();
  note.remove();
  byId('files').hidden = false;
  document.body.classList.add('ready');
}

start();
