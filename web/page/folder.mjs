// A game's folder that the player chose or dropped, or that the files chosen one by one make up:
// its files by their paths under the folder, the parts of them read so far, and the reads the core
// still asks for. The core lays the folder out and finds the spells; this only reads what it
// names. Nothing here reads the page.

import { endsInAnyCase, folderOf } from './files.mjs';

// The folders that hold the indexes `indexes` ({ path }) at their top, each once, the shallowest
// first: where a game's folder may be. A file chosen on its own has none.
export function foldersOfIndexes(indexes) {
  const folders = [...new Set(indexes.map((entry) => folderOf(entry.path)).filter((folder) => folder))];
  return folders.sort((a, b) => a.split('/').length - b.split('/').length);
}

let made = 0;  // folders made so far: each one's id

export class ChosenFolder {
  #files = new Map();  // path under the folder: { file, shown, size, parts, unreadable }
  #asked = new Set();  // each read asked for, once
  #forCore = null;     // the folder as run() takes it, until a read changes it

  // The folder `name` holding `files` ({ path under the folder, file, shown: its path as the
  // browser gave it, bytes: its whole bytes where already read }); `given` tells a folder made up
  // of files chosen one by one from one the player chose whole.
  constructor(name, files, given = false) {
    this.id = ++made;
    this.name = name;
    this.given = given;
    this.version = 0;    // counts the reads that changed what the core is handed
    this.reads = 0;      // reads made of its files
    this.bytesRead = 0;  // and the bytes they gave
    for (const { path, file, shown, bytes } of files) {
      if (this.#files.has(path)) continue;
      const held = { file, shown, parts: [], unreadable: false };
      if (bytes) {
        Object.assign(held, { size: bytes.length, parts: [{ offset: 0, bytes }] });
        this.#asked.add(`${path}\0whole`);
      }
      this.#files.set(path, held);
    }
  }

  // The files of `given` ({ file, path }) that lie under the folder `name` (a path as the browser
  // gives it, '/'-joined), each by its path under it.
  static under(name, given) {
    const prefix = `${name}/`;
    return new ChosenFolder(name, given.filter(({ path }) => path.startsWith(prefix))
        .map(({ file, path }) => ({ path: path.slice(prefix.length), file, shown: path })));
  }

  get size() { return this.#files.size; }

  // A file of the folder by its path under it: { file, path } as the page lists files, or null.
  entry(path) {
    const held = this.#files.get(path);
    return held ? { file: held.file, path: held.shown } : null;
  }

  // The folder as run() and the core's folderNeeds() take it: every file by its path, with the
  // parts read so far.
  forCore() {
    this.#forCore ??= {
      name: this.name,
      files: [...this.#files].map(([path, held]) => (held.unreadable ? { path, unreadable: true }
          : held.size === undefined ? { path } : { path, size: held.size, parts: held.parts })),
    };
    return this.#forCore;
  }

  // Reads what `needs` ({ path, whole, offset, length }, as folderNeeds() gives them) name, with
  // `read(file, start, end)` (end left out: to the end): parts of a file that lie close together
  // in one read, as a spell book's headers in an archive do. A file that fails to read is marked
  // unreadable, as one the command line cannot open. Needs already asked for, and those of a file
  // the folder does not hold, read nothing. True when anything new was asked for.
  async readAll(needs, read) {
    const fresh = needs.filter((need) => {
      const key = need.whole ? `${need.path}\0whole` : `${need.path}\0${need.offset}\0${need.length}`;
      if (!this.#files.has(need.path) || this.#asked.has(key)) return false;
      this.#asked.add(key);
      return true;
    });
    await Promise.all(mergeNeeds(fresh).map((need) => this.#read(need, read)));
    return fresh.length > 0;
  }

  async #read(need, read) {
    const held = this.#files.get(need.path);
    try {
      if (need.whole) {
        const bytes = await read(held.file);
        held.size = bytes.length;
        held.parts = [{ offset: 0, bytes }];
      } else {
        const bytes = await read(held.file, need.offset, need.offset + need.length);
        held.size = held.file.size;
        held.parts.push({ offset: need.offset, bytes });
      }
      this.reads += 1;
      this.bytesRead += held.parts.at(-1).bytes.length;
    } catch {
      held.unreadable = true;
      held.parts = [];
    }
    this.#forCore = null;
    this.version += 1;
  }
}

// Two parts of a file this close or closer are read as one: a read costs far more than the
// bytes between them.
export const kMostGapRead = 64 * 1024;

// `needs` with each file's parts that lie within kMostGapRead of each other joined into one, and
// whole files as they are.
export function mergeNeeds(needs) {
  const merged = needs.filter((need) => need.whole);
  const parts = needs.filter((need) => !need.whole)
      .sort((a, b) => (a.path < b.path ? -1 : a.path > b.path ? 1 : a.offset - b.offset));
  for (const need of parts) {
    const last = merged.at(-1);
    if (last && !last.whole && last.path === need.path && need.offset <= last.offset + last.length + kMostGapRead) {
      last.length = Math.max(last.length, need.offset + need.length - last.offset);
    } else {
      merged.push({ ...need });
    }
  }
  return merged;
}

// Asks `ask(folder as the core takes it)` what it still needs, reads it, and asks again, until
// nothing new is asked for (at most `mostRounds` times: each round is one step further into
// the files; a folder needs four, and a compressed archive a round or two more). Gives the last
// answer: its needs are what could not be read in that many rounds.
export async function readWhatIsNeeded(folder, ask, read, mostRounds = 12) {
  let answer = ask(folder.forCore());
  for (let round = 0; round < mostRounds; ++round) {
    if (!(await folder.readAll(answer.needs, read))) break;
    answer = ask(folder.forCore());
  }
  return answer;
}

// The game's folder among the files of a choice (`given`, { file, path }): the first folder
// holding one of `indexes` at its top whose index names an archive the folder holds, with what
// the core says of its findings; null where there is none, and the files are taken one by one.
export async function findGameFolder(given, indexes, core, read) {
  for (const name of foldersOfIndexes(indexes)) {
    const folder = ChosenFolder.under(name, given);
    const findings = await readWhatIsNeeded(folder, (files) => core.folderNeeds(undefined, files), read);
    if (findings.archivesHeld > 0) return { folder, findings };
  }
  return null;
}

// The name the command line is shown for a folder made up of files chosen one by one.
export const kGivenFolderName = 'game-folder';

// The game's folder that files chosen one by one make up, as the game would hold them, by the
// core's names of a game's folder (`core.conventions.layout`): an index among `indexes` at the
// top, the string table `stringTable` by the string table's name, each of `archives` where the
// index's archive table puts the archive of its file name (any case), and each of `looseSpells`
// in the override folder; all are { file, path }. The first index that names every archive is
// taken, with what the core finds in the folder; null where none does, or no archive is given:
// the page then picks one archive among those given.
export async function folderOfGivenFiles({ indexes, stringTable, archives, looseSpells }, core, read) {
  if (!archives.length) return null;
  for (const index of indexes) {
    const bytes = await read(index.file).catch(() => null);
    const places = bytes ? core.namedArchives(bytes, archives.map((archive) => archive.file.name)) : [];
    if (!bytes || places.some((place) => !place)) continue;
    const { stringTableName, overrideFolder, indexEnding } = core.conventions.layout;
    const name = index.file.name;
    const files = [{ path: endsInAnyCase(name, indexEnding) ? name : `${name}${indexEnding}`, file: index.file,
                     shown: index.path, bytes }];
    if (stringTable) files.push({ path: stringTableName, file: stringTable.file, shown: stringTable.path });
    archives.forEach(({ file, path }, i) => files.push({ path: places[i].path, file, shown: path }));
    for (const { file, path } of looseSpells) files.push({ path: `${overrideFolder}/${file.name}`, file, shown: path });
    const folder = new ChosenFolder(kGivenFolderName, files, true);
    return { folder, findings: await readWhatIsNeeded(folder, (forCore) => core.folderNeeds(undefined, forCore), read) };
  }
  return null;
}

// True for a name the override folder gives a loose spell, by the core's ending of one.
export const isLooseSpell = (core, name) => endsInAnyCase(name, core.conventions.layout.looseSpellEnding);
