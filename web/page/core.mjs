// The page's way into the core: the C functions of the WebAssembly module, bytes in and values
// out. A run goes through a session that holds the run's files in the module's memory, handed
// over once per change of files; each request is then one call. Nothing here knows the page's
// elements; heap.mjs moves the bytes, answers.mjs reads what comes back.

import { readArchiveTable, readConstants, readFolderNeeds, readHeldLocators, readNamedArchives, readPartyLocators,
         readParts } from './answers.mjs';
import { makeHeap } from './heap.mjs';

// The four kinds of file by the names the page uses, in the order the core gives their
// signatures: the order in which the command line checks them.
const kKindOrder = ['stringTable', 'spellArchive', 'resourceIndex', 'save'];

// The module's functions the page calls, every one counted as a crossing into the module.
const kCalls = ['_malloc', '_free', '_gt_constants', '_gt_open_files', '_gt_open_folder', '_gt_hand_save', '_gt_run',
                '_gt_party', '_gt_close', '_gt_folder_needs', '_gt_party_locators', '_gt_named_archives',
                '_gt_archive_table', '_gt_held_locators'];

function checkedFile(file, what) {
  if (file === undefined || file === null) return { name: '', bytes: undefined };
  if (file.bytes !== undefined && !(file.bytes instanceof Uint8Array)) {
    throw new TypeError(`${what}.bytes must be a Uint8Array`);
  }
  return { name: file.name ?? '', bytes: file.bytes };
}
const option = (value, otherwise) => (value === undefined || value === null ? otherwise : value | 0);

// The core over a loaded module (anything with HEAPU8 and the functions of kCalls). `crossings`
// counts the calls made into the module so far.
export function makeCore(loaded) {
  const counter = { crossings: 0 };
  const module = { get HEAPU8() { return loaded.HEAPU8; } };
  for (const name of kCalls) {
    module[name] = (...args) => {
      counter.crossings += 1;
      return loaded[name](...args);
    };
  }
  const constants = makeHeap(module, { unreadable: 0, sizeKnown: 0 }).readBlock(
      module._gt_constants(), (r) => readConstants(r, kKindOrder));
  const { codes, conventions } = constants;
  const { notGiven } = conventions;
  const heap = makeHeap(module, constants.flags);
  const { withBlocks, handOver, putBytes, putName, putWords, putTexts, putFolder, readAnswer, readBlock } = heap;

  // A session on the run's files (`files` as run() takes them), the save's place in the
  // module's memory kept for reading it back.
  function open(files) {
    const save = checkedFile(files.save, 'save');
    let session;
    let savePlace;
    let saveName;
    // The save's arguments: its name only where it is not the name the session holds. What the
    // session holds is noted only once the call that takes them has returned: a block freed
    // because handing it over failed must never be read back.
    const putSave = (alloc, given) => {
      const place = { pointer: putBytes(alloc, given.bytes), size: given.bytes?.length ?? 0 };
      const name = given.name === saveName ? 0 : putName(alloc, given.name);
      return { args: [name, place.pointer, place.size], taken: () => { savePlace = place; saveName = given.name; } };
    };
    if (files.folder) {
      handOver((alloc) => {
        const block = putFolder(alloc, files.folder);
        const saveArgs = putSave(alloc, save);
        session = module._gt_open_folder(putName(alloc, files.folder.name), block.pointer, block.size, ...saveArgs.args);
        saveArgs.taken();
      });
    } else {
      const given = kKindOrder.slice(0, 3).map((kind) => checkedFile(files[kind], kind));
      handOver((alloc) => {
        const args = given.flatMap((file) => [putName(alloc, file.name), putBytes(alloc, file.bytes), file.bytes?.length ?? 0]);
        const saveArgs = putSave(alloc, save);
        session = module._gt_open_files(...args, ...saveArgs.args);
        saveArgs.taken();
      });
    }
    if (!session) throw new Error('The page ran out of memory.');
    return {
      // One run as the command line makes it with `options` ({ member, level, number, method }):
      // { status, text, checkMessage, outcome, members, memberListing: { spells, end, message },
      // folder: { unusable, unmet } }. `memberListing` is the chosen member's spells as its
      // listing without a level gives them, over the save as the run left it, and how it ended.
      run(options = {}) {
        const pointer = module._gt_run(session, option(options.member, notGiven), option(options.level, notGiven),
                                       option(options.number, notGiven), option(options.method, conventions.defaultMethod));
        const answer = readAnswer(pointer, (r) => readParts(r, constants.runAnswer));
        // A whack that writes the save anew leaves it shorter, in the same block.
        if (savePlace.pointer) savePlace = { ...savePlace, size: answer.saveSize };
        return answer;
      },
      // A fresh copy of the save as the runs left it.
      save: () => (savePlace.pointer ? module.HEAPU8.slice(savePlace.pointer, savePlace.pointer + savePlace.size)
                                     : new Uint8Array(0)),
      // The save the runs work on from now on ({ name, bytes }).
      handSave(given) {
        const next = checkedFile(given, 'save');
        handOver((alloc) => {
          const saveArgs = putSave(alloc, next);
          module._gt_hand_save(session, ...saveArgs.args);
          saveArgs.taken();
        });
      },
      // The party of the save `bytes`, named through the session's string table: { members,
      // end, stoppedAt, message }, `end` a RunEnd; where the list stops early, `stoppedAt` is the
      // member that could not be read and `message` the command line's line for it.
      party(bytes) {
        let pointer;
        handOver((alloc) => { pointer = module._gt_party(session, putBytes(alloc, bytes), bytes.length); });
        const { members, outcome } = readAnswer(pointer, (r) => readParts(r, constants.partyAnswer));
        return { members, end: outcome.end, stoppedAt: outcome.member, message: outcome.message };
      },
      close() {
        if (session) module._gt_close(session);
        session = 0;
      },
    };
  }

  return {
    get crossings() { return counter.crossings; },
    // The core's tables of codes, each { name: number } and frozen: RunEnd, WhackEnd,
    // ArchiveTrouble, InflateTrouble, FileRole, FileStep and AnswerPart. The page decides and
    // words by these names; a number the core answers with is one of these.
    codes,
    // The core's conventions the page's requests and texts speak of: { notGiven, defaultMethod,
    // noLocator, optionLetters: [{ letter, option }] in the order the help lists them, layout:
    // { stringTableName, overrideFolder, indexEnding, looseSpellEnding, compressedArchiveEnding },
    // mostInflated, mostBlockInflated (bytes) }, frozen.
    conventions,
    open,
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
      const session = open(files);
      try {
        const { status, text, checkMessage, outcome, folder } = session.run(options);
        const result = status !== 0 ? { text, status, save: session.save(), message: checkMessage, outcome: null }
            : { text, status, save: session.save(), message: outcome.message, outcome };
        return files.folder ? { ...result, ...folder } : result;
      } finally {
        session.close();
      }
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
                         readFolderNeeds);
      });
    },
    // Where the index puts each member's known spells: [{ index, locators }], the locators as
    // numbers in known-spell order, `conventions.noLocator` for a name the index lacks.
    partyLocators(save, index) {
      return withBlocks((alloc) => readBlock(
          module._gt_party_locators(putBytes(alloc, save), save.length, putBytes(alloc, index), index.length),
          readPartyLocators));
    },
    // Which of the archives `names` (file names) the index's archive table names, any case: for
    // each, null or { number, path }, `path` where a game's folder holds it ('/'-joined).
    namedArchives(index, names) {
      return withBlocks((alloc) => {
        const list = putTexts(alloc, names);
        return readBlock(module._gt_named_archives(putBytes(alloc, index), index.length, list.pointer, list.size),
                         (r) => readNamedArchives(r, names.length));
      });
    },
    // What the page needs to tell files apart before it reads them whole: { signatures: { save:
    // 'GAME', ... } by kind, headSize }, `headSize` the first bytes that tell a file's kind and,
    // for an archive, where its file table lies.
    fileKinds: () => constants.kinds,
    // Where the file table of an archive of `size` bytes lies, from its first bytes `head`:
    // { start, end } of the entries that lie whole inside the file (no more than the page will
    // read of a table), or null where it has none.
    archiveTable(head, size) {
      return withBlocks((alloc) => readBlock(module._gt_archive_table(putBytes(alloc, head), head.length, size),
                                             readArchiveTable));
    },
    // Which of the locators `wanted` (numbers) the file entries in `table`, a slice of an
    // archive's file table from its start, answer for: a Set. `archiveNumber` is the archive's
    // number in the index's archive table (namedArchives()), where it names it.
    heldLocators(table, wanted, archiveNumber = notGiven) {
      const list = [...wanted];
      return withBlocks((alloc) => readBlock(
          module._gt_held_locators(putBytes(alloc, table), table.length, putWords(alloc, list), list.length,
                                   archiveNumber ?? notGiven),
          readHeldLocators));
    },
  };
}
