// A game's folder that the player chose or dropped: its files by their paths under the folder,
// the parts of them read so far, and the reads the core still asks for. The core lays the folder
// out and finds the spells; this only reads what it names. Nothing here reads the page.

import { folderOf } from './files.mjs';

// The folders that hold the indexes `indexes` ({ path }) at their top, each once, the shallowest
// first: where a game's folder may be. A file chosen on its own has none.
export function foldersOfIndexes(indexes) {
  const folders = [...new Set(indexes.map((entry) => folderOf(entry.path)).filter((folder) => folder))];
  return folders.sort((a, b) => a.split('/').length - b.split('/').length);
}

let made = 0;  // folders made so far: each one's id

export class GameFolder {
  #files = new Map();  // path under the folder: { file, size, parts, unreadable }
  #asked = new Set();  // each read asked for, once
  #forCore = null;     // the folder as run() takes it, until a read changes it

  // The files of `given` ({ file, path }) that lie under the folder `name` (a path as the browser
  // gives it, '/'-joined), each by its path under it.
  constructor(name, given) {
    this.id = ++made;
    this.name = name;
    this.reads = 0;      // reads made of its files
    this.bytesRead = 0;  // and the bytes they gave
    const prefix = `${name}/`;
    for (const { file, path } of given) {
      if (path.startsWith(prefix)) this.#files.set(path.slice(prefix.length), { file, parts: [], unreadable: false });
    }
  }

  get size() { return this.#files.size; }

  // A file of the folder by its path under it: { file, path } as the page lists files, or null.
  entry(path) {
    const held = this.#files.get(path);
    return held ? { file: held.file, path: `${this.name}/${path}` } : null;
  }

  // The whole bytes of the file at `path`, where they were read; undefined otherwise.
  wholeBytes(path) {
    const held = this.#files.get(path);
    const first = held?.parts[0];
    return first && first.offset === 0 && first.bytes.length === held.size ? first.bytes : undefined;
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
// the files, and a folder needs four). Gives the last answer.
export async function readWhatIsNeeded(folder, ask, read, mostRounds = 8) {
  let answer = ask(folder.forCore());
  for (let round = 0; round < mostRounds; ++round) {
    if (!(await folder.readAll(answer.needs, read))) break;
    answer = ask(folder.forCore());
  }
  return answer;
}

// The game's folder among the files of a choice (`given`, { file, path }): the first folder
// holding one of `indexes` at its top whose index names an archive the folder holds, with what
// the core says of its layout; null where there is none, and the files are taken one by one.
export async function findGameFolder(given, indexes, core, read) {
  for (const name of foldersOfIndexes(indexes)) {
    const folder = new GameFolder(name, given);
    const layout = await readWhatIsNeeded(folder, (files) => core.folderNeeds(undefined, files), read);
    if (layout.archivesHeld > 0) return { folder, layout };
  }
  return null;
}
