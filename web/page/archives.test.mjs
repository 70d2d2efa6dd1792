// Choosing the spell archive among several, without a browser: each scored by the party's known
// spells (a stand-in for the core answers where the table lies and which locators it holds), the
// pick, and what the page says of it.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { archiveNote, bestScore, countHeld, elsewhereNote, heldElsewhere, knownLocators, pickArchive,
         scoreArchive } from './archives.mjs';

// The core as the scoring asks it: the table at bytes 20 to 84 of any archive of 100 bytes or more.
const core = {
  archiveTable: (head, size) => (size >= 100 ? { start: 20, end: 84 } : null),
  heldLocators: (table, wanted) => new Set([...table].filter((locator) => wanted.has(locator))),
};

test('an archive scores each known spell its table holds, repeats counted, reading its table alone', async () => {
  const reads = [];
  const readTable = async (start, end) => { reads.push([start, end]); return [7, 9, 11]; };
  const { held, score } = await scoreArchive(core, { head: new Uint8Array(20), size: 100 }, readTable, [7, 7, 8, 11]);
  assert.deepEqual(reads, [[20, 84]]);
  assert.deepEqual([...held].sort(), [11, 7]);
  assert.equal(score, 3);
});

test('an archive without a table, or whose table cannot be read, holds nothing', async () => {
  let read = false;
  const none = await scoreArchive(core, { head: new Uint8Array(20), size: 50 }, async () => { read = true; return [7]; }, [7]);
  assert.equal(read, false, 'nothing read past the head');
  assert.deepEqual({ held: [...none.held], score: none.score }, { held: [], score: 0 });
  const unreadable = await scoreArchive(core, { head: new Uint8Array(20), size: 100 }, async () => null, [7]);
  assert.equal(unreadable.score, 0);
});

test('the party\'s locators are every member\'s, without the names the index lacks', () => {
  assert.deepEqual(knownLocators([{ index: 0, locators: [5, 0xFFFFFFFF, 5] }, { index: 3, locators: [] }, { index: 4, locators: [6] }],
                                 0xFFFFFFFF),
                   [5, 5, 6]);
});

test('the archive with the highest score is used, the first one given on a tie', () => {
  assert.equal(bestScore([0, 31]), 1);
  assert.equal(bestScore([31, 0]), 0);
  assert.equal(bestScore([5, 31, 31]), 1);
  assert.equal(bestScore([0, 0]), 0);
  assert.equal(bestScore([]), 0);
});

test('without a choice of the player\'s, the archive holding most is used, else the smallest, and the page says why', () => {
  const archive = (name, size, score) => ({ name, size, score });
  const scored = [archive('other.bif', 10, 0), archive('magic.bif', 900, 31), archive('copy.bif', 5, 31)];
  assert.equal(pickArchive(scored), 1);
  assert.equal(archiveNote(scored, 1),
               "Of the 3 spell archives given, magic.bif is used: it holds 31 of the party's known spells, more than any other but one given before it.");
  assert.equal(archiveNote(scored.slice(0, 2), 1),
               "Of the 2 spell archives given, magic.bif is used: it holds 31 of the party's known spells, more than any other.");
  const none = [archive('a.bif', 300, 0), archive('b.bif', 20, 0), archive('c.bif', 20, 0)];
  assert.equal(pickArchive(none), 1, 'the smallest, the first of two as small');
  assert.equal(archiveNote(none, 1),
               "None of the 3 spell archives given holds any of the party's known spells; b.bif, the smallest, is used.");
});

test('a known spell counts once for each time the party knows it', () => {
  const held = new Set([0x00100007, 42]);
  assert.equal(countHeld([0x00100007, 0x00100007, 0x00200007, 42, 0xFFFFFFFF], held), 3);
  assert.equal(countHeld([], held), 0);
});

test('what the archive in use lacks is said by the archives that hold it', () => {
  const inUse = new Set([1, 2]);
  const others = [{ name: 'a.bif', held: new Set([3]) }, { name: 'b.bif', held: new Set([3, 4, 5]) }];
  assert.deepEqual(heldElsewhere([1, 2, 3, 4, 5, 5, 6], inUse, others),
                   [{ name: 'b.bif', count: 3 }, { name: 'a.bif', count: 1 }]);
  assert.deepEqual(heldElsewhere([1, 2, 6], inUse, others), []);
});

test('the spells the archive in use lacks are named by where they are, in one or several archives', () => {
  assert.equal(elsewhereNote('Selwyn', 'magic.bif', [{ name: 'more.bif', count: 1 }]),
               '1 of the known spells of Selwyn is not listed: magic.bif does not hold it. ' +
               'It is in more.bif; choose that archive above to see it.');
  assert.equal(elsewhereNote('Quill', 'magic.bif', [{ name: 'b.bif', count: 3 }, { name: 'a.bif', count: 1 }]),
               '4 of the known spells of Quill are not listed: magic.bif does not hold them. ' +
               'They are in 3 in b.bif, 1 in a.bif; choose that archive above to see them.');
  assert.equal(elsewhereNote('Quill', 'magic.bif', []), '');
});
