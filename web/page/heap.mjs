// The module's memory as the binding uses it: blocks lent to the module for one call and freed,
// or handed over for good to a session of the core; files and names put into them; and the
// answer blocks the core returns read back. Nothing here knows what a call means; core.mjs says
// which blocks a call takes, answers.mjs what an answer holds.

// A block the module could not give or return means its memory is spent.
const kOutOfMemory = 'The page ran out of memory.';

// Plumbing over a loaded module: anything with _malloc, _free and HEAPU8. The heap array is
// looked up afresh after every allocation and every call, because memory that grows leaves the
// old array detached. `flags` are the core's flags of a handed folder's file: { unreadable,
// sizeKnown }.
export function makeHeap(module, flags) {
  const encoder = new TextEncoder();

  // Runs `work(alloc)`; the blocks `alloc` gives are freed when the work is over, or, where
  // `lent` is false, only when it fails: the work then hands them to the module for good.
  function blocksFor(work, lent) {
    const blocks = [];
    const alloc = (size) => {
      const pointer = module._malloc(Math.max(1, size));
      if (!pointer) throw new Error(kOutOfMemory);
      blocks.push(pointer);
      return pointer;
    };
    let done = false;
    try {
      const result = work(alloc);
      done = true;
      return result;
    } finally {
      if (lent || !done) for (const pointer of blocks) module._free(pointer);
    }
  }
  // Every block lent to the module is freed when the call is over, whatever happens.
  const withBlocks = (work) => blocksFor(work, true);
  // Blocks handed to the module for good, by a call that takes them: freed here only when the
  // work fails before that call.
  const handOver = (work) => blocksFor(work, false);
  // A file's bytes in the module's memory: pointer 0 for a file not given, and a real block even
  // for a file of 0 bytes, which the core must tell from a missing one.
  const putBytes = (alloc, bytes) => {
    if (bytes === undefined) return 0;
    const pointer = alloc(bytes.length);
    module.HEAPU8.set(bytes, pointer);
    return pointer;
  };
  // A name as UTF-8 with a 0 after it, the way the core reads a file's name.
  const putName = (alloc, name) => {
    const utf8 = encoder.encode(String(name ?? ''));
    const pointer = alloc(utf8.length + 1);
    module.HEAPU8.set(utf8, pointer);
    module.HEAPU8[pointer + utf8.length] = 0;
    return pointer;
  };
  // Numbers as 32-bit little-endian words, one after another.
  const putWords = (alloc, words) => {
    const pointer = alloc(words.length * 4);
    const view = new DataView(module.HEAPU8.buffer, pointer, words.length * 4);
    words.forEach((word, i) => view.setUint32(i * 4, word, true));
    return pointer;
  };
  // Texts as one block: their count, then each one's length and UTF-8 bytes.
  const putTexts = (alloc, texts) => {
    const encoded = texts.map((text) => encoder.encode(String(text)));
    const size = 4 + encoded.reduce((sum, t) => sum + 4 + t.length, 0);
    const pointer = alloc(size);
    const view = new DataView(module.HEAPU8.buffer);
    let at = pointer;
    view.setUint32(at, encoded.length, true);
    at += 4;
    for (const text of encoded) {
      view.setUint32(at, text.length, true);
      module.HEAPU8.set(text, at + 4);
      at += 4 + text.length;
    }
    return { pointer, size };
  };
  // A game's folder as one block in the module's memory, laid out as handed_folder.h says. Each of
  // `folder.files` is { path } and, where read, either `bytes` (the whole file) or `size` with
  // `parts` ([{ offset, bytes }]); `unreadable` marks a file whose reading failed.
  const putFolder = (alloc, folder) => {
    if (!folder || !Array.isArray(folder.files)) throw new TypeError('folder.files must be an array');
    const files = folder.files.map((file) => {
      const path = encoder.encode(String(file.path ?? ''));
      if (file.bytes !== undefined) {
        if (!(file.bytes instanceof Uint8Array)) throw new TypeError(`${file.path}: bytes must be a Uint8Array`);
        return { path, flags: flags.sizeKnown, size: file.bytes.length, parts: [{ offset: 0, bytes: file.bytes }] };
      }
      const known = typeof file.size === 'number';
      const fileFlags = (file.unreadable ? flags.unreadable : 0) | (known ? flags.sizeKnown : 0);
      return { path, flags: fileFlags, size: known ? file.size : 0, parts: known ? file.parts ?? [] : [] };
    });
    let size = 4;
    for (const file of files) {
      size += 4 + file.path.length + 4 + 8 + 4;
      for (const part of file.parts) size += 12 + part.bytes.length;
    }
    const pointer = alloc(size);
    const heap = module.HEAPU8;
    const view = new DataView(heap.buffer);
    let at = pointer;
    const word = (value) => { view.setUint32(at, value, true); at += 4; };
    const longWord = (value) => { word(value % 2 ** 32); word(Math.floor(value / 2 ** 32)); };
    const bytes = (b) => { heap.set(b, at); at += b.length; };
    word(files.length);
    for (const file of files) {
      word(file.path.length);
      bytes(file.path);
      word(file.flags);
      longWord(file.size);
      word(file.parts.length);
      for (const part of file.parts) {
        longWord(part.offset);
        word(part.bytes.length);
        bytes(part.bytes);
      }
    }
    return { pointer, size };
  };
  // Reads an answer block the core returned, with `read(reader)`; the block stays the core's.
  function readAnswer(pointer, read) {
    if (!pointer) throw new Error(kOutOfMemory);
    const heap = module.HEAPU8;
    const view = new DataView(heap.buffer);
    let at = pointer;
    return read({
      u32() { const v = view.getUint32(at, true); at += 4; return v; },
      i32() { const v = view.getInt32(at, true); at += 4; return v; },
      bytes(n) { const b = heap.slice(at, at + n); at += n; return b; },
    });
  }
  // Reads a block the core returned for the caller to free, then frees it.
  function readBlock(pointer, read) {
    try {
      return readAnswer(pointer, read);
    } finally {
      if (pointer) module._free(pointer);
    }
  }

  return { withBlocks, handOver, putBytes, putName, putWords, putTexts, putFolder, readAnswer, readBlock };
}
