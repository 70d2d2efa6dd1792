// The binding's plumbing over the module's memory, on a stand-in module without WebAssembly.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { makeHeap } from './heap.mjs';

// The handed folder's flags as a core might number them.
const flags = { unreadable: 1, sizeKnown: 2 };

// A module with a bump allocator over `size` bytes. With `grows`, every allocation moves the
// memory to a new, larger array, as memory that grows does: whatever is written through the old
// array is lost.
function fakeModule({ size = 256, grows = false, failAt = -1 } = {}) {
  const module = {
    HEAPU8: new Uint8Array(size),
    next: 16,
    asked: [],
    freed: [],
    _malloc(n) {
      module.asked.push(n);
      if (module.asked.length - 1 === failAt) return 0;
      if (grows) {
        const larger = new Uint8Array(module.HEAPU8.length + 64);
        larger.set(module.HEAPU8);
        module.HEAPU8 = larger;
      }
      const pointer = module.next;
      module.next += n;
      return pointer;
    },
    _free(pointer) { module.freed.push(pointer); },
  };
  return module;
}

const bytesAt = (module, pointer, n) => [...module.HEAPU8.slice(pointer, pointer + n)];

test('every block of a call is freed once, when it returns and when it throws', () => {
  const module = fakeModule();
  const { withBlocks } = makeHeap(module);
  assert.equal(withBlocks((alloc) => { alloc(4); alloc(0); return 'answer'; }), 'answer');
  assert.deepEqual(module.asked, [4, 1], 'a block of 0 bytes is still a block');
  assert.deepEqual(module.freed, [16, 20]);

  module.freed.length = 0;
  assert.throws(() => withBlocks((alloc) => { alloc(2); throw new Error('bad save'); }), /bad save/);
  assert.deepEqual(module.freed, [21]);
});

test('blocks handed over for good are freed only when the work fails before the call that takes them', () => {
  const module = fakeModule();
  const { handOver } = makeHeap(module);
  assert.equal(handOver((alloc) => alloc(4)), 16);
  assert.deepEqual(module.freed, []);
  assert.throws(() => handOver((alloc) => { alloc(2); throw new TypeError('not bytes'); }), TypeError);
  assert.deepEqual(module.freed, [20]);
});

test('a block the module cannot give is reported, and the ones given before are freed', () => {
  const module = fakeModule({ failAt: 1 });
  const { withBlocks } = makeHeap(module);
  assert.throws(() => withBlocks((alloc) => { alloc(8); alloc(8); }), { message: 'The page ran out of memory.' });
  assert.deepEqual(module.freed, [16]);
});

test('a file not given is pointer 0; an empty one is a real block', () => {
  const module = fakeModule();
  const { withBlocks, putBytes } = makeHeap(module);
  withBlocks((alloc) => {
    assert.equal(putBytes(alloc, undefined), 0);
    assert.deepEqual(module.asked, []);
    assert.equal(putBytes(alloc, new Uint8Array(0)), 16);
    const pointer = putBytes(alloc, Uint8Array.of(3, 1, 4));
    assert.equal(pointer, 17);
    assert.deepEqual(bytesAt(module, 17, 3), [3, 1, 4]);
  });
});

test('names go in as UTF-8 ending in 0; a missing name is just the 0', () => {
  const module = fakeModule();
  module.HEAPU8.fill(0xEE);
  const { withBlocks, putName } = makeHeap(module);
  withBlocks((alloc) => {
    const pointer = putName(alloc, 'Bö.gam');
    assert.deepEqual(bytesAt(module, pointer, 8), [0x42, 0xC3, 0xB6, 0x2E, 0x67, 0x61, 0x6D, 0]);
    const none = putName(alloc, null);
    assert.deepEqual(bytesAt(module, none, 2), [0, 0xEE]);
  });
});

test('words go in little-endian, one after another', () => {
  const module = fakeModule();
  const { withBlocks, putWords } = makeHeap(module);
  withBlocks((alloc) => {
    const pointer = putWords(alloc, [0x01020304, 0xFFFFFFFF]);
    assert.deepEqual(bytesAt(module, pointer, 8), [4, 3, 2, 1, 255, 255, 255, 255]);
    putWords(alloc, []);
    assert.deepEqual(module.asked, [8, 1]);
  });
});

test('a folder is one block: each file by path, flags, size and parts, sizes past 4 GB as two words', () => {
  const module = fakeModule();
  const { withBlocks, putFolder } = makeHeap(module, flags);
  withBlocks((alloc) => {
    const block = putFolder(alloc, {
      files: [
        { path: 'a.bif', bytes: Uint8Array.of(7, 8) },
        { path: 'dé', size: 2 ** 32 + 5, parts: [{ offset: 2 ** 32 + 1, bytes: Uint8Array.of(9) }] },
        { path: 'x', unreadable: true },
      ],
    });
    assert.deepEqual(block, { pointer: 16, size: 100 });
    assert.deepEqual(bytesAt(module, 16, 100), [
      3, 0, 0, 0,
      5, 0, 0, 0, 97, 46, 98, 105, 102, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 7, 8,
      3, 0, 0, 0, 100, 0xC3, 0xA9, 2, 0, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
      1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 9,
      1, 0, 0, 0, 120, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    ]);
  });
});

test('a folder without a file list, or with bytes that are not bytes, is refused', () => {
  const module = fakeModule();
  const { withBlocks, putFolder } = makeHeap(module, flags);
  assert.throws(() => withBlocks((alloc) => putFolder(alloc, {})), TypeError);
  assert.throws(() => withBlocks((alloc) => putFolder(alloc, { files: [{ path: 'b.key', bytes: [1] }] })),
                { name: 'TypeError', message: 'b.key: bytes must be a Uint8Array' });
  assert.deepEqual(module.asked, [], 'nothing is handed to the module before the folder is checked');
});

test('bytes land in the memory as it is after it grew', () => {
  const module = fakeModule({ grows: true });
  const { withBlocks, putBytes, putName, putWords, putFolder } = makeHeap(module, flags);
  withBlocks((alloc) => {
    const bytes = putBytes(alloc, Uint8Array.of(5, 6));
    const name = putName(alloc, 'q');
    const words = putWords(alloc, [258]);
    const folder = putFolder(alloc, { files: [{ path: 'k', size: 3 }] });
    assert.deepEqual(bytesAt(module, bytes, 2), [5, 6]);
    assert.deepEqual(bytesAt(module, name, 2), [113, 0]);
    assert.deepEqual(bytesAt(module, words, 4), [2, 1, 0, 0]);
    assert.deepEqual(bytesAt(module, folder.pointer, 25),
                     [1, 0, 0, 0, 1, 0, 0, 0, 107, 2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]);
  });
});

test('an answer is read word by word and freed, even when reading it fails', () => {
  const module = fakeModule();
  module.HEAPU8.set([2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 104, 105], 40);
  const { readBlock } = makeHeap(module);
  const read = readBlock(40, (r) => ({ count: r.u32(), member: r.i32(), text: [...r.bytes(2)] }));
  assert.deepEqual(read, { count: 2, member: -2, text: [104, 105] });
  assert.throws(() => readBlock(40, () => { throw new Error('short answer'); }), /short answer/);
  assert.deepEqual(module.freed, [40, 40]);
});

test('no answer at all means the module ran out of memory, and nothing is freed', () => {
  const module = fakeModule();
  const { readBlock } = makeHeap(module);
  assert.throws(() => readBlock(0, () => 'never'), { message: 'The page ran out of memory.' });
  assert.deepEqual(module.freed, []);
});
