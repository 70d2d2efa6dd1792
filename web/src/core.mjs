// The page's way into the core: the C functions of the WebAssembly module, bytes in and values
// out. Nothing here knows the page's elements.

export const kNotGiven = -1;  // member, level or number left out, as on the command line
export const kDefaultMethod = 1;
export const kNoLocator = 0xFFFFFFFF;  // a known spell's name that the resource index lacks

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
  const encoder = new TextEncoder();

  // Every block handed to the module is freed when the call is over, whatever happens.
  function withBlocks(work) {
    const blocks = [];
    const alloc = (size) => {
      const pointer = module._malloc(Math.max(1, size));
      if (!pointer) throw new Error('The page ran out of memory.');
      blocks.push(pointer);
      return pointer;
    };
    try {
      return work(alloc);
    } finally {
      for (const pointer of blocks) module._free(pointer);
    }
  }
  // A file's bytes in the module's memory: pointer 0 for a file not given, and a real block even
  // for a file of 0 bytes, which the core must tell from a missing one.
  const putBytes = (alloc, bytes) => {
    if (bytes === undefined) return 0;
    const pointer = alloc(bytes.length);
    module.HEAPU8.set(bytes, pointer);
    return pointer;
  };
  const putName = (alloc, name) => {
    const utf8 = encoder.encode(String(name ?? ''));
    const pointer = alloc(utf8.length + 1);
    module.HEAPU8.set(utf8, pointer);
    module.HEAPU8[pointer + utf8.length] = 0;
    return pointer;
  };
  // Reads a block the core returned, then frees it.
  function readBlock(pointer, read) {
    if (!pointer) throw new Error('The page ran out of memory.');
    try {
      const heap = module.HEAPU8;
      const view = new DataView(heap.buffer);
      let at = pointer;
      const reader = {
        u32() { const v = view.getUint32(at, true); at += 4; return v; },
        i32() { const v = view.getInt32(at, true); at += 4; return v; },
        bytes(n) { const b = heap.slice(at, at + n); at += n; return b; },
      };
      return read(reader);
    } finally {
      module._free(pointer);
    }
  }
  function checkedFile(file, what) {
    if (file === undefined || file === null) return { name: '', bytes: undefined };
    if (file.bytes !== undefined && !(file.bytes instanceof Uint8Array)) {
      throw new TypeError(`${what}.bytes must be a Uint8Array`);
    }
    return { name: file.name ?? '', bytes: file.bytes };
  }
  const option = (value, otherwise) => (value === undefined || value === null ? otherwise : value | 0);

  return {
    // One run as the command line makes it: { text, status, save }. `text` is the output, one
    // character per byte; `save` a fresh copy of the save as the run left it.
    run(files = {}, options = {}) {
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
          return { text, status, save: after };
        });
      });
    },
    // The party as the listing without -p shows it: { members, end, stoppedAt }. Each member's
    // name is its bytes as stored.
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
            return { members, end: r.u32(), stoppedAt: r.i32() };
          }));
    },
    // A member's spell-book spells in stored order: { spells, end }; names as stored bytes.
    spells(files, member) {
      const [save, stringTable, spellArchive, resourceIndex] =
          ['save', 'stringTable', 'spellArchive', 'resourceIndex'].map((kind) => files[kind].bytes);
      return withBlocks((alloc) => readBlock(
          module._gt_spells(putBytes(alloc, save), save.length,
                            putBytes(alloc, stringTable), stringTable.length,
                            putBytes(alloc, spellArchive), spellArchive.length,
                            putBytes(alloc, resourceIndex), resourceIndex.length, member),
          (r) => {
            const spells = [];
            for (let n = r.u32(); n > 0; --n) {
              const known = r.i32();
              const level = r.i32();
              const number = r.i32();
              spells.push({ known, level, number, name: r.bytes(r.u32()) });
            }
            return { spells, end: r.u32() };
          }));
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
  };
}
