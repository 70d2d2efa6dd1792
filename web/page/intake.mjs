// The files a player hands the page: dropped folders walked, each file's first bytes read to tell
// its kind, and choices of files taken one after the other. Nothing here reads the page.

import { kindKeys, namedLikeGameFile, sortByKind } from './files.mjs';

// Bytes `start` to `end` of a file (a Blob), or all of it.
export const readBytes = async (file, start = 0, end = file.size) =>
  new Uint8Array(await file.slice(start, end).arrayBuffer());

// A choice of this many files or fewer is examined whole; a larger one (an installation's
// folder) first by the files named like the game's, the rest only when a kind is still missing.
export const kExamineAll = 200;
const kReadsAtOnce = 64;

// Reads the first `headSize` bytes of each of `entries` into its `head`, many at a time, and
// calls `onRead()` after each.
async function readHeads(entries, headSize, onRead) {
  let next = 0;
  const worker = async () => {
    while (next < entries.length) {
      const entry = entries[next++];
      // A file that cannot be read (gone since it was chosen, a broken link) is of no kind.
      entry.head = await readBytes(entry.file, 0, headSize).catch(() => new Uint8Array(0));
      onRead();
    }
  };
  await Promise.all(Array.from({ length: Math.min(kReadsAtOnce, entries.length) }, worker));
}

let examined = 0;  // files examined so far: each one's id

// Tells the kinds of `given` ({ file, path }) apart by their first bytes: { found: { save: [...],
// ... }, unknown, unexamined }, each file as { id, file, path, head }. `kinds` is what the core
// says of the kinds ({ signatures, headSize }), `layout` its names of a game's folder (by which a
// file is named like the game's); `alreadyGiven(key)` whether an earlier choice gave a file of
// that kind; `onProgress(done, total)` is told of each file read.
export async function examine(given, { kinds, layout, alreadyGiven = () => false, onProgress = () => {} }) {
  // Nothing but the name is asked of a file not examined: a browser may look at the disk for
  // anything else, a size or a time, and an installation has thousands of files.
  const entries = given.map(({ file, path }) => ({ id: ++examined, file, path, head: null }));
  const everything = entries.length <= kExamineAll;
  const first = everything ? entries : entries.filter((e) => namedLikeGameFile(e.file.name, layout));
  const rest = everything ? [] : entries.filter((e) => !namedLikeGameFile(e.file.name, layout));
  let done = 0;
  let total = first.length;
  const read = () => onProgress(++done, total);
  onProgress(done, total);
  await readHeads(first, kinds.headSize, read);
  const sorted = sortByKind(first, kinds.signatures);
  const lacking = kindKeys.some((key) => !alreadyGiven(key) && !sorted.found[key].length);
  if (!lacking || !rest.length) return { ...sorted, unexamined: rest.length };
  total += rest.length;
  onProgress(done, total);
  await readHeads(rest, kinds.headSize, read);
  return { ...sortByKind(entries, kinds.signatures), unexamined: 0 };
}

// Runs the works handed to it one after the other, each whole, in the order they were handed
// over; a work that fails does not stop those after it. Each call gives the work's own promise.
export function inTurn() {
  let last = Promise.resolve();
  return (work) => {
    const taken = last.then(work);
    last = taken.catch(() => {});
    return taken;
  };
}

// A file chosen, with its path inside the folder chosen where it came with one.
export const asGiven = (file) => ({ file, path: file.webkitRelativePath || file.name });

// The files of a drop (a DataTransfer) as { file, path }: folders are walked, so that a whole
// data folder can be dropped.
export async function droppedFiles(dataTransfer) {
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
      // A folder gives its entries in batches, until an empty one.
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
