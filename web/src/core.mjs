// The page's way into the core: the C functions of the WebAssembly module, bytes in and values
// out. Nothing here knows the page's elements; heap.mjs moves the bytes in and out.

import { makeHeap, readOutcome } from './heap.mjs';

export const kNotGiven = -1;  // member, level or number left out, as on the command line
export const kDefaultMethod = 1;
export const kNoLocator = 0xFFFFFFFF;  // a known spell's name that the resource index lacks

// How a run ended, by the core's own numbers: the page decides by these names, never by the
// text a run printed.
export const RunEnd = Object.freeze({
  Completed: 0,          // every member, or every known spell of the chosen one, was walked
  Whacked: 1,            // the chosen spell was removed
  MemberOutsideSave: 2,  // the party record of the member does not lie whole inside the save
  NoCreature: 3,         // the member's creature record lies outside the save or lacks "CRE"
  KnownOutsideSave: 4,   // the member's known spells do not lie inside the save
  NameNotInIndex: 5,     // a known spell's name is not in the resource index
  NotASpell: 6,          // a known spell's data does not begin with a spell header
});

// What a removal did with the room it freed, by the core's own numbers.
export const WhackEnd = Object.freeze({
  LeftDuplicate: 0,                   // method 0: the last known spell stands twice
  Shrunk: 1,                          // method 1's whole work: list shortened, a memorized copy added
  // Method 1 found the record unfit and left it as method 0 does:
  KnownNotBeforeMemorization: 2,      // the known spells do not end where memorization begins
  MemorizationNotBeforeMemorized: 3,  // memorization does not end where memorized spells begin
  SectionsOutsideSave: 4,             // the sections do not lie inside the save
  NoMemorizedSpell: 5,                // there is no memorized spell to copy
  NoLevelOneEntry: 6,                 // no spell-level-1 entry can count the copy
});

// True for an end where the run stopped at damage, with the message the command line printed
// for it.
export const stoppedEarly = (end) => end !== RunEnd.Completed && end !== RunEnd.Whacked;

// The four kinds of file by the names the page uses, in the order the core gives their
// signatures: the order in which the command line checks them.
const kKindOrder = ['stringTable', 'spellArchive', 'resourceIndex', 'save'];

// The command line's output is bytes; each byte becomes the character of the same code, so the
// text holds exactly what a terminal would be sent.
export function bytesToText(bytes) {
  let text = '';
  for (let i = 0; i < bytes.length; i += 8192) {
    text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  }
  return text;
}

// The core over a loaded module. Every call copies the files it needs into the module's memory
// and frees them before it returns, so nothing a call leaves behind can be stale.
export function makeCore(module) {
  const { withBlocks, putBytes, putName, putWords, putFolder, readBlock } = makeHeap(module);

  function checkedFile(file, what) {
    if (file === undefined || file === null) return { name: '', bytes: undefined };
    if (file.bytes !== undefined && !(file.bytes instanceof Uint8Array)) {
      throw new TypeError(`${what}.bytes must be a Uint8Array`);
    }
    return { name: file.name ?? '', bytes: file.bytes };
  }
  const option = (value, otherwise) => (value === undefined || value === null ? otherwise : value | 0);
  const decoder = new TextDecoder();
  const readPath = (r) => decoder.decode(r.bytes(r.u32()));
  // The folder form's run: as the command line's with the game's folder as its last argument.
  function runFolder(files, options) {
    const save = checkedFile(files.save, 'save');
    const folder = files.folder;
    return withBlocks((alloc) => {
      const savePointer = putBytes(alloc, save.bytes);
      const block = putFolder(alloc, folder);
      const result = module._gt_folder_run(
          putName(alloc, save.name), savePointer, save.bytes?.length ?? 0,
          putName(alloc, folder.name), block.pointer, block.size,
          option(options.member, kNotGiven), option(options.level, kNotGiven),
          option(options.number, kNotGiven), option(options.method, kDefaultMethod));
      const after = save.bytes === undefined ? new Uint8Array(0)
          : module.HEAPU8.slice(savePointer, savePointer + save.bytes.length);
      return readBlock(result, (r) => {
        const status = r.u32();
        const text = bytesToText(r.bytes(r.u32()));
        const checkMessage = r.bytes(r.u32());
        const outcome = readOutcome(r);
        const unusable = [];
        for (let n = r.u32(); n > 0; --n) {
          unusable.push({ number: r.u32(), trouble: r.u32(), path: bytesToText(r.bytes(r.u32())) });
        }
        const unmet = r.u32();
        if (status !== 0) return { text, status, save: after, message: checkMessage, outcome: null, unusable, unmet };
        return { text, status, save: after, message: outcome.message, outcome, unusable, unmet };
      });
    });
  }
  const readSpells = (r) => {
    const spells = [];
    for (let n = r.u32(); n > 0; --n) {
      const known = r.i32();
      const level = r.i32();
      const number = r.i32();
      spells.push({ known, level, number, name: r.bytes(r.u32()) });
    }
    const { end, message } = readOutcome(r);
    return { spells, end, message };
  };

  return {
    // One run as the command line makes it: { text, status, save, message, outcome }. `text` is
    // the output, one character per byte; `save` a fresh copy of the save as the run left it;
    // `message` the bytes of the line the run stopped with (a file that failed its check, or
    // damage met on the way), empty where it did not stop; `outcome` how the report ended, null
    // where a file failed its check: { end (a RunEnd), member, missingName (8 bytes, with
    // NameNotInIndex), whacked: { known, level, number }, whack: { end (a WhackEnd),
    // unknownMethod } (both with Whacked), message }.
    //
    // With `files.folder` ({ name, files: [{ path, bytes }] }: a game's folder, each file by its
    // path under the folder, '/'-joined) in place of the three data files, the run is the command
    // line's with the folder as its last argument, `name` standing for it; the result adds
    // `unusable` ([{ number, trouble, path }], the archives whose spells were passed over, as the
    // command line names them on standard error) and `unmet` (how many reads the folder lacked:
    // 0 when every file was given whole).
    run(files = {}, options = {}) {
      if (files.folder) return runFolder(files, options);
      const save = checkedFile(files.save, 'save');
      const table = checkedFile(files.stringTable, 'stringTable');
      const archive = checkedFile(files.spellArchive, 'spellArchive');
      const index = checkedFile(files.resourceIndex, 'resourceIndex');
      return withBlocks((alloc) => {
        const savePointer = putBytes(alloc, save.bytes);
        const result = module._gt_run(
            putName(alloc, save.name), savePointer, save.bytes?.length ?? 0,
            putName(alloc, table.name), putBytes(alloc, table.bytes), table.bytes?.length ?? 0,
            putName(alloc, archive.name), putBytes(alloc, archive.bytes), archive.bytes?.length ?? 0,
            putName(alloc, index.name), putBytes(alloc, index.bytes), index.bytes?.length ?? 0,
            option(options.member, kNotGiven), option(options.level, kNotGiven),
            option(options.number, kNotGiven), option(options.method, kDefaultMethod));
        // The edited copy is read before the output block is freed, while the memory is as
        // the run left it.
        const after = save.bytes === undefined ? new Uint8Array(0)
            : module.HEAPU8.slice(savePointer, savePointer + save.bytes.length);
        return readBlock(result, (r) => {
          const status = r.u32();
          const text = bytesToText(r.bytes(r.u32()));
          const checkMessage = r.bytes(r.u32());
          if (status !== 0) return { text, status, save: after, message: checkMessage, outcome: null };
          const outcome = readOutcome(r);
          return { text, status, save: after, message: outcome.message, outcome };
        });
      });
    },
    // The party as the listing without -p reads it: { members, end, stoppedAt, message }, `end` a
    // RunEnd; where the list stops early, `stoppedAt` is the member that could not be read and
    // `message` the command line's line for it. Each member's name is its bytes as stored.
    party(save, table) {
      return withBlocks((alloc) => readBlock(
          module._gt_party(putBytes(alloc, save), save.length, putBytes(alloc, table), table.length),
          (r) => {
            const members = [];
            for (let n = r.u32(); n > 0; --n) {
              const index = r.i32();
              const number = r.u32();
              const knowsSpells = r.u32() !== 0;
              members.push({ index, number, knowsSpells, name: r.bytes(r.u32()) });
            }
            const { end, member, message } = readOutcome(r);
            return { members, end, stoppedAt: member, message };
          }));
    },
    // A member's spell-book spells in stored order, each numbered within its level as -s and -w
    // number it: { spells, end, message }, `end` a RunEnd and `message` the command line's line
    // where the list stops early; names as stored bytes. `files` as run() takes them, the folder
    // form too.
    spells(files, member) {
      const save = files.save.bytes;
      if (files.folder) {
        return withBlocks((alloc) => {
          const block = putFolder(alloc, files.folder);
          return readBlock(module._gt_folder_spells(putBytes(alloc, save), save.length, block.pointer,
                                                    block.size, member), readSpells);
        });
      }
      const [stringTable, spellArchive, resourceIndex] =
          ['stringTable', 'spellArchive', 'resourceIndex'].map((kind) => files[kind].bytes);
      return withBlocks((alloc) => readBlock(
          module._gt_spells(putBytes(alloc, save), save.length,
                            putBytes(alloc, stringTable), stringTable.length,
                            putName(alloc, files.spellArchive.name), putBytes(alloc, spellArchive), spellArchive.length,
                            putBytes(alloc, resourceIndex), resourceIndex.length, member),
          readSpells));
    },
    // What must still be read of a game's folder (as run() takes it) for the party of `save` (its
    // bytes, or undefined): { stringTable (its path, or null), indexes (the paths of the .key
    // files at the top), archivesHeld (how many archives the index names the folder holds),
    // needs: [{ path, whole, offset, length }] }. Nothing needed: every run on this save sees
    // what the command line would.
    folderNeeds(save, folder) {
      return withBlocks((alloc) => {
        const block = putFolder(alloc, folder);
        return readBlock(module._gt_folder_needs(putBytes(alloc, save), save?.length ?? 0, block.pointer, block.size),
                         (r) => {
                           const hasTable = r.u32() !== 0;
                           const tablePath = readPath(r);
                           const indexes = [];
                           for (let n = r.u32(); n > 0; --n) indexes.push(readPath(r));
                           const archivesHeld = r.u32();
                           const needs = [];
                           for (let n = r.u32(); n > 0; --n) {
                             const path = readPath(r);
                             const whole = r.u32() !== 0;
                             const offset = r.u32() + r.u32() * 2 ** 32;
                             const length = r.u32() + r.u32() * 2 ** 32;
                             needs.push({ path, whole, offset, length });
                           }
                           return { stringTable: hasTable ? tablePath : null, indexes, archivesHeld, needs };
                         });
      });
    },
    // Where the index puts each member's known spells: [{ index, locators }], the locators as
    // numbers in known-spell order, kNoLocator for a name the index lacks.
    partyLocators(save, index) {
      return withBlocks((alloc) => readBlock(
          module._gt_party_locators(putBytes(alloc, save), save.length, putBytes(alloc, index), index.length),
          (r) => {
            const members = [];
            for (let n = r.u32(); n > 0; --n) {
              const member = r.i32();
              const locators = [];
              for (let k = r.u32(); k > 0; --k) locators.push(r.u32());
              members.push({ index: member, locators });
            }
            return members;
          }));
    },
    // What the page needs to tell files apart before it reads them whole: { signatures: { save:
    // 'GAME', ... } by kind, headSize }, `headSize` the first bytes that tell a file's kind and,
    // for an archive, where its file table lies. Asked once, when the page starts.
    fileKinds() {
      return readBlock(module._gt_file_kinds(), (r) => {
        const signatures = {};
        for (const key of kKindOrder) signatures[key] = bytesToText(r.bytes(r.u32()));
        return { signatures, headSize: r.u32() };
      });
    },
    // Where the file table of an archive of `size` bytes lies, from its first bytes `head`:
    // { start, end } of the entries that lie whole inside the file (no more than the page will
    // read of a table), or null where it has none.
    archiveTable(head, size) {
      return withBlocks((alloc) => readBlock(
          module._gt_archive_table(putBytes(alloc, head), head.length, size),
          (r) => {
            const found = r.u32() !== 0;
            // Offsets of a file past 4 GB: each as two words, low first.
            const start = r.u32() + r.u32() * 2 ** 32;
            const end = r.u32() + r.u32() * 2 ** 32;
            return found ? { start, end } : null;
          }));
    },
    // Which of the locators `wanted` (numbers) the file entries in `table`, a slice of an
    // archive's file table from its start, carry: a Set.
    heldLocators(table, wanted) {
      const list = [...wanted];
      return withBlocks((alloc) => {
        const locators = putWords(alloc, list);
        return readBlock(
            module._gt_held_locators(putBytes(alloc, table), table.length, locators, list.length),
            (r) => {
              const held = new Set();
              for (let n = r.u32(); n > 0; --n) held.add(r.u32());
              return held;
            });
      });
    },
  };
}
