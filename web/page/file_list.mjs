// The files the page uses as it lists them, and a list to choose another for each kind of which
// several were given.

import { folderOf, newestFirst } from './files.mjs';
import { listFiles, showChoices } from './draw.mjs';
import { guarded, shown } from './page_state.mjs';

const timeOf = (entry) => new Date(entry.modified).toLocaleString();

export function showFiles(state) {
  const saveTime = (entry) => (state.given.save.length > 1 ? timeOf(entry) : '');
  const save = state.use.save ?? (state.given.save.length === 1 ? state.given.save[0] : null);
  if (state.folder?.given) {
    // Files chosen one by one, laid out as a game's folder: each one that is used.
    const { stringTable, indexes } = state.folderFindings ?? {};
    const found = { save, stringTable: stringTable ? state.folder.entry(stringTable) : null,
                    resourceIndex: indexes?.length === 1 ? state.folder.entry(indexes[0]) : null,
                    spellArchive: state.given.spellArchive };
    listFiles((key) => found[key] ?? null, saveTime, [], 0);
    return;
  }
  if (state.folder) {
    // The game's folder: the files its layout gives, and the archives its index names.
    const { stringTable, indexes, archivesHeld } = state.folderFindings ?? {};
    const found = { save, stringTable: stringTable ? state.folder.entry(stringTable) : null,
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
  save: (state, entry) => {
    const folder = folderOf(entry.path);
    const names = entry.party ? entry.party.map((name) => shown(state, name)).join(', ') : '';
    return `${folder ? `${folder}/` : ''}${entry.file.name}, saved ${timeOf(entry)}${names ? `: ${names}` : ''}`;
  },
  stringTable: (state, entry) => entry.path,
  resourceIndex: (state, entry) => entry.path,
  spellArchive: (state, entry) => `${entry.path}: holds ${entry.score} of the party's known spells`,
};

// A list to choose from for each kind of which several files were given, `redraw(state)` showing
// the party again once another is chosen. The archives listed are those that hold any of the
// party's known spells (all of them where none does).
export function showSaveChoices(state, redraw) {
  const choices = [];
  for (const key of ['save', 'stringTable', 'resourceIndex', 'spellArchive']) {
    // In a game's folder the core decides the other kinds, as the command line does.
    if (state.given[key].length < 2 || (state.folder && key !== 'save')) continue;
    let entries = key === 'save' ? newestFirst(state.given.save) : state.given[key];
    if (key === 'spellArchive' && entries.some((e) => e.score > 0)) {
      entries = entries.filter((e) => e.score > 0 || e === state.use.spellArchive);
    }
    choices.push({ key, entries, given: state.given[key].length, inUse: state.use[key],
                   describe: (entry) => describe[key](state, entry) });
  }
  showChoices(choices, (key, entry) => guarded(async () => {
    state.use[key] = entry;
    if (key === 'spellArchive') state.archiveByPlayer = true;
    await redraw(state);
  }));
}
