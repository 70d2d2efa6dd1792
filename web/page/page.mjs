// The page: the files the player chooses, the party they hold, and the controls around them,
// answered with the core's values. Taking files in is intake.mjs's, the archive in use
// archives.mjs's, a game's folder folder.mjs's, the files listed file_list.mjs's, the member
// shown and its removals member.mjs's, the elements draw.mjs's; what the page holds is one
// state (page_state.mjs), handed to each step.

import loadGrimtrim from './grimtrim.js';
import { makeCore } from './core.mjs';
import { kindKeys, missingKinds, newestFirst } from './files.mjs';
import { stoppedEarly, unworded } from './command.mjs';
import { chooseEncoding, codePages, decoderFor, rememberCodePage } from './decode.mjs';
import { asGiven, droppedFiles, examine, inTurn, readBytes } from './intake.mjs';
import { byId, clearParty, downloadBytes, drawParty, examinationProgress, nextPaint, paragraph, quote,
         showEncodingChoice, showMessage, showTranscript } from './draw.mjs';
import { currentFiles, guarded, loadInUse, newPageState, sessionOf, showOutcome, showRun, shown, storage } from './page_state.mjs';
import { chooseArchive, pickArchiveOf } from './archives.mjs';
import { chooseMember, showMember, undo } from './member.mjs';
import { findGameFolder, folderOfGivenFiles, isLooseSpell, readWhatIsNeeded } from './folder.mjs';
import { showFiles, showSaveChoices } from './file_list.mjs';

// Choices of files are taken one after the other, each whole, in the order they were made: a
// redraw of the page while one is examined (another encoding, another file chosen from a list)
// cannot lose it, and two choices made quickly add up as they would made slowly.
const inChoiceTurn = inTurn();
function chooseFiles(state, given) {
  performance.mark('grimtrim:files-chosen');
  return inChoiceTurn(() => takeFiles(state, given));
}

async function takeFiles(state, given) {
  const progress = examinationProgress();
  const { found, unknown, unexamined } = await examine(given, {
    kinds: state.fileKinds, layout: state.core.conventions.layout, alreadyGiven: (key) => state.given[key].length > 0,
    onProgress: (done, total) => progress.show(done, total) }).finally(() => progress.done());
  performance.mark('grimtrim:files-examined');
  // A kind in this choice replaces the same kind chosen before; the others stay.
  for (const save of found.save) save.modified = save.file.lastModified;
  for (const key of kindKeys) {
    if (!found[key].length) continue;
    state.given[key] = found[key];
    state.use[key] = null;
    if (key === 'spellArchive') state.archiveByPlayer = false;
  }
  // A choice with an index decides anew whether the page works on a game's folder: one whose
  // index names archives the folder holds, or else one the files given make up where the index
  // names every archive given. The save may come in a choice of its own.
  if (found.resourceIndex.length) {
    const game = await findGameFolder(given, found.resourceIndex, state.core, readBytes) ?? await folderOfGivenFiles({
      indexes: state.given.resourceIndex, stringTable: state.given.stringTable[0], archives: state.given.spellArchive,
      looseSpells: given.filter(({ file }) => isLooseSpell(state.core, file.name)) }, state.core, readBytes);
    state.folder = game?.folder ?? null;
    state.folderFindings = game?.findings ?? null;
  }
  state.unknown = unknown;
  state.unexamined = unexamined;
  showOutcome(state, null);
  await showParty(state, ++state.generation);
}

// What names the party: the string table in use, or the game's folder that holds one.
const tableKey = (state) => state.folder ?? state.use.stringTable;

// The party's names in each save, for the list to choose a save from; saves are read one at a
// time, and only their names are kept.
async function learnSaveParties(state, generation) {
  const table = tableKey(state);
  for (const entry of state.given.save) {
    if (entry.partyTable === table) continue;
    const bytes = entry === state.use.save ? state.edits.edited : await readBytes(entry.file);
    if (generation !== state.generation) return;
    entry.party = sessionOf(state).party(bytes).members.map((member) => member.name);
    entry.partyTable = table;
  }
}

// Reads of the game's folder what the runs on the save in use need, as the core names it: the
// string table and index whole, the loose spells of the party, and of each archive its table
// and the headers of the party's spells. False when another choice came meanwhile.
async function readFolder(state, generation) {
  const folder = state.folder;
  state.folderFindings = await readWhatIsNeeded(folder, (files) => state.core.folderNeeds(state.edits.edited, files), readBytes);
  performance.mark('grimtrim:folder-read', { detail: { reads: folder.reads, bytes: folder.bytesRead } });
  return generation === state.generation && folder === state.folder;
}

// What stands in for a missing kind: one file that is none of the kinds, where exactly one kind
// is missing, is taken for that kind, as a configuration line naming the wrong file: the player
// sees why it is not one.
async function showMissing(state, missing, generation) {
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
    const result = state.core.run(files, {});
    showRun(state, {}, files, result.text);
    showMessage([paragraph(`${stand.name} is not the file this page still needs.`),
                 quote(shown(state, result.message)), paragraph(missing[0].missing)]);
    return;
  }
  showTranscript('(nothing asked yet)', '');
  showMessage(missing.map((k) => paragraph(k.missing)), 'info');
}

// Shows the party of the files in use, after choosing the default of each kind not chosen yet.
const redraw = (state) => showParty(state, ++state.generation);
async function showParty(state, generation) {
  clearParty();
  // A game's folder holds the kinds other than the save; the core finds them in it.
  const missing = missingKinds((key) => (state.folder && key !== 'save') || state.given[key].length > 0);
  if (missing.length) {
    showFiles(state);
    await showMissing(state, missing, generation);
    return;
  }
  state.use.save ??= newestFirst(state.given.save)[0];
  if (state.folder) {
    for (const key of ['stringTable', 'spellArchive', 'resourceIndex']) state.use[key] = null;
  } else {
    state.use.stringTable ??= state.given.stringTable[0];
    state.use.resourceIndex ??= state.given.resourceIndex[0];
  }
  await loadInUse(state, state.folder ? ['save'] : ['save', 'stringTable', 'resourceIndex']);
  if (generation !== state.generation) return;
  if (state.edits.use(state.use.save, state.bytes.get(state.use.save))) {
    // Another save: its own edit, with its own history, and nobody shown yet.
    state.member = null;
    state.level = null;
    showOutcome(state, null);
  }
  let note = '';
  if (state.folder) {
    if (!(await readFolder(state, generation))) return;
  } else {
    note = await chooseArchive(state, generation);  // which archive the page picked among several, and why
    if (note === null) return;
    await loadInUse(state, ['spellArchive']);
    if (generation !== state.generation) return;
  }

  const result = sessionOf(state).run({});
  // A file that failed its check lists no one: the names of the save's party are read all the same.
  const party = result.status === 0 ? { members: result.members, end: result.outcome.end, stoppedAt: result.outcome.member }
                                    : sessionOf(state).party(state.edits.edited);
  const { members, end, stoppedAt } = party;
  chooseEncodingFor(state, members);
  showFiles(state);
  showSaveChoices(state, redraw);
  showRun(state, {}, currentFiles(state), result.text);
  if (result.status !== 0) {
    showMessage([quote(shown(state, result.checkMessage))]);
    return;
  }
  const notes = note ? [paragraph(note)] : [];
  if (state.folder && state.folderFindings?.needs?.length) {
    notes.push(paragraph('Some parts of the game\'s files could not be read in time, so the lists may lack spells ' +
                         'that the command line would show.'));
  }
  const stopped = stoppedEarly(state.core, end);
  if (stopped) {
    notes.push(paragraph(`The party list stops at party record ${stoppedAt}: the save is damaged or is not a finished save.`),
               quote(shown(state, result.outcome.message)));
  }
  showMessage(notes.length ? notes : '', stopped ? 'error' : 'info');
  const buttons = drawParty(members, (member) => shown(state, member.name),
                            (member, button) => guarded(() => chooseMember(state, member, button)));
  // The same save with another file of some kind, or another encoding: the member stays shown.
  const again = members.find((member) => member.index === state.member?.index);
  if (again) showMember(state, again, buttons.get(again.index), state.level);
  else state.member = null;
  await nextPaint();
  performance.mark('grimtrim:party-shown');
  // The other saves' parties, for the list to choose a save from, once this party is shown.
  if (state.given.save.some((entry) => entry.partyTable !== tableKey(state))) {
    await learnSaveParties(state, generation);
    if (generation === state.generation) showSaveChoices(state, redraw);
  }
}

// Decides how names are shown: UTF-8 where the party's names and the names of every member's
// spell-book spells all are, otherwise the code page the player chose. The names are the same
// whatever was removed, so they are looked at once for each set of files.
function chooseEncodingFor(state, members) {
  const files = state.folder ? `${state.use.save.id}/${state.folder.id}` : kindKeys.map((key) => state.use[key].id).join('/');
  if (state.namesOf !== files) {
    const names = members.map((m) => m.name);
    for (const member of members) {
      if (member.knowsSpells) names.push(...sessionOf(state).run({ member: member.index }).memberListing.spells.map((spell) => spell.name));
    }
    state.names = names;
    state.namesOf = files;
  }
  const encoding = chooseEncoding(state.names, state.codePage);
  state.decode = decoderFor(encoding);
  showEncodingChoice(codePages, state.codePage, encoding !== 'utf-8');
}

function wirePage(state) {
  for (const input of [byId('file-input'), byId('folder-input')]) {
    input.addEventListener('change', () => {
      const files = [...input.files].map(asGiven);
      input.value = '';
      guarded(() => chooseFiles(state, files));
    });
  }
  byId('encoding').addEventListener('change', () => guarded(async () => {
    state.codePage = byId('encoding').value;
    rememberCodePage(storage, state.codePage);
    showOutcome(state, null);  // its names were decoded the other way
    await showParty(state, ++state.generation);
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
    guarded(async () => chooseFiles(state, await files));
  });
  byId('undo').addEventListener('click', () => guarded(() => undo(state)));
  byId('download').addEventListener('click', () => guarded(() => downloadBytes(state.edits.edited, state.edits.save.file.name)));
}

// The page starts with a note that it is starting; it gives way to the page once the core runs,
// and to the reason where this browser cannot run it.
async function start() {
  const note = byId('starting');
  let core;
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
  const state = newPageState(core);
  window.grimtrim = {
    run: (files, options) => core.run(files, options),
    // The archive among several that holds the most of the party's known spells.
    pickArchive: (save, resourceIndex, archives) =>
      pickArchiveOf(core, state.fileKinds.headSize, save.bytes, resourceIndex.bytes, archives),
    // The encodings the page offers for names that are not UTF-8.
    codePages,
    // The core as the page uses it, for the tests of its answers; `core.crossings` counts the
    // calls made into the module.
    core,
    // The codes the core answers with that the page has no words for, each as 'Table.Name'.
    unworded: () => unworded(core.codes),
  };
  wirePage(state);
  note.remove();
  byId('files').hidden = false;
  document.body.classList.add('ready');
}

start();
