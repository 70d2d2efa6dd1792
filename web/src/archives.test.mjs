// Scoring an archive by the party's known spells, without a browser: a stand-in for the core
// answers where the table lies and which locators it holds.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { knownLocators, scoreArchive } from './archives.mjs';

// The core as the scoring asks it: the table at bytes 20 to 84 of any archive of 100 bytes or more.
const core = {
  archiveTable: (head, size) => (size >= 100 ? { start: 20, end: 84 } : null),
  heldLocators: (table, wanted) => new Set([...table].filter((locator) => wanted.has(locator))),
};

test('an archive scores each known spell its table holds, repeats counted, reading its table alone', async () => {
  const reads = [];
  const readTable = async (start, end) => { reads.push([start, end]); return [7, 9, 11]; };
  const { held, score } = await scoreArchive(core, new Uint8Array(20), 100, readTable, [7, 7, 8, 11]);
  assert.deepEqual(reads, [[20, 84]]);
  assert.deepEqual([...held].sort(), [11, 7]);
  assert.equal(score, 3);
});

test('an archive without a table, or whose table cannot be read, holds nothing', async () => {
  let read = false;
  const none = await scoreArchive(core, new Uint8Array(20), 50, async () => { read = true; return [7]; }, [7]);
  assert.equal(read, false, 'nothing read past the head');
  assert.deepEqual({ held: [...none.held], score: none.score }, { held: [], score: 0 });
  const unreadable = await scoreArchive(core, new Uint8Array(20), 100, async () => null, [7]);
  assert.equal(unreadable.score, 0);
});

test('the party\'s locators are every member\'s, without the names the index lacks', () => {
  assert.deepEqual(knownLocators([{ index: 0, locators: [5, 0xFFFFFFFF, 5] }, { index: 3, locators: [] }, { index: 4, locators: [6] }]),
                   [5, 5, 6]);
});
