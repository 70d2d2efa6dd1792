// What the page holds while it runs (the core, the files given and in use, the run's session,
// the edits, and the member shown) and the few steps every part of the page takes with it. The
// page makes one state when it starts and hands it to each step.

import { commandLine, commandSentence } from './command.mjs';
import { decoderFor, rememberedCodePage, textBytes } from './decode.mjs';
import { SaveEdits } from './edits.mjs';
import { kindKeys } from './files.mjs';
import { readBytes } from './intake.mjs';
import { showMessage, showOutcome as drawOutcome, showTranscript } from './draw.mjs';

export const storage = (() => {
  try {
    return window.localStorage;
  } catch {
    return null;  // a browser that keeps nothing for this page
  }
})();

// A file the player gave: { id, file, path (with its folder, where the browser tells it), head
// (its first bytes), modified }, and what the page learned of it: a save's party names (`party`,
// for the string table `partyTable`), an archive's share of the party's spells (`held`, `score`).
export function newPageState(core) {
  return {
    core,
    fileKinds: core.fileKinds(),  // the core's signatures, and the first bytes to read of each file
    given: Object.fromEntries(kindKeys.map((key) => [key, []])),  // the files of each kind
    use: Object.fromEntries(kindKeys.map((key) => [key, null])),  // the one of each kind in use
    bytes: new Map(),     // the whole bytes of the files in use, and of no other
    unknown: [],          // files of the last choice that are none of the four kinds
    unexamined: 0,        // files of the last choice not opened: named unlike the game's files
    edits: new SaveEdits(),
    folder: null,         // the game's folder (folder.mjs) where the files given hold one or make
                          // one up: spells are then found in it as the game finds them
    folderFindings: null,   // what the core says of it: the string table's path, the indexes, ...
    run: null,            // the core's session on the files in use: { session, of, save }
    unusable: [],         // the archives of the folder the last run could not use
    locators: null,       // [{ index, locators }]: where the index puts each member's known spells
    locatorsOf: '',       // which save and index they were found with
    archiveByPlayer: false,  // whether the player chose the archive in use, or the page did
    names: [],            // the names the page shows: the party's and their spells'
    namesOf: '',          // which four files they are of
    member: null,         // the party member shown
    level: null,          // the level last asked for
    codePage: rememberedCodePage(storage),
    decode: decoderFor('utf-8'),  // how names are shown: UTF-8, or the code page where they are not
    generation: 0,        // counts choices of files, so that a slow one cannot overwrite a newer
  };
}

// A name as the page shows it.
export const shown = (state, bytes) => state.decode(bytes);

// The outcome of the last removal or undo, with Undo and Download as the edit allows.
export const showOutcome = (state, content, kind) => drawOutcome(content, state.edits.canUndo, kind);

// The files in use as the core takes them, the save as edited so far: the four files, or the save
// and the game's folder.
export function currentFiles(state, save = state.edits.edited) {
  if (state.folder) return { save: { name: state.use.save.path, bytes: save }, folder: state.folder.forCore() };
  const file = (key) => ({ name: state.use[key].file.name, bytes: state.bytes.get(state.use[key]) });
  return { save: { name: state.use.save.file.name, bytes: save }, stringTable: file('stringTable'),
           spellArchive: file('spellArchive'), resourceIndex: file('resourceIndex') };
}

// Which files the session must hold: the folder as read so far, or the three files in use.
const filesKey = (state) => (state.folder ? `folder ${state.folder.id}.${state.folder.version}`
                                          : ['stringTable', 'spellArchive', 'resourceIndex'].map((key) => state.use[key].id).join('/'));

// The core's session on the files in use and the save as edited so far: the files are handed
// over again only when others are in use, the save only when its bytes are other than the
// session's.
export function sessionOf(state) {
  const of = filesKey(state);
  if (state.run?.of !== of) {
    state.run?.session.close();
    state.run = { session: state.core.open(currentFiles(state)), of, save: state.edits.edited };
  } else if (state.run.save !== state.edits.edited) {
    state.run.session.handSave(currentFiles(state).save);
    state.run.save = state.edits.edited;
  }
  return state.run.session;
}

// Runs a request on the files in use as the command line would and shows its output in the
// transcript panel, as a terminal set to the names' encoding would show it.
export function runAndShow(state, options) {
  const result = sessionOf(state).run(options);
  showRun(state, options, currentFiles(state), result.text);
  return result;
}

// Shows a run of `files` (as the core takes them) in the transcript panel: the command, the
// sentence that says what it stands for, and what it printed.
export function showRun(state, options, files, text) {
  const folder = files.folder && { name: files.folder.name, given: state.folder?.given ?? false };
  showTranscript(commandLine(state.core, options, files.save?.name, folder?.name), state.decode(textBytes(text)),
                 commandSentence(state.core, folder));
}

// Keeps in memory the whole bytes of the files in use, and of no other.
export async function loadInUse(state, keys) {
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

// Whatever goes wrong is said on the page; nothing is left half done without a word.
export async function guarded(work) {
  try {
    await work();
  } catch (error) {
    showMessage(`Something went wrong in this page: ${error?.message ?? error}. Reload the page and choose the files again.`);
  }
}
