// Telling the game's files apart and choosing among several, without a browser.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { archiveNote, archiveTableRange, bestScore, countHeld, folderOf, heldElsewhere, heldLocators, kindOf,
         kMostTableEntries, missingKinds, namedLikeGameFile, newestFirst, sortByKind } from './files.mjs';

const bytes = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));

test('a file is told by its first four bytes, case and spaces included', () => {
  assert.equal(kindOf(bytes('GAMEV2.0')), 'save');
  assert.equal(kindOf(bytes('TLK V1  ')), 'stringTable');
  assert.equal(kindOf(bytes('BIFFV1  ')), 'spellArchive');
  assert.equal(kindOf(bytes('KEY V1  ')), 'resourceIndex');
  for (const head of ['game', 'TLK', 'TLKV', 'KEY', ' KEY', 'BIF', '', 'GAM\0', 'SPL V1  ']) {
    assert.equal(kindOf(bytes(head)), null, JSON.stringify(head));
  }
});

test('files are sorted by kind in the order given, the rest kept apart', () => {
  const entry = (name, head) => ({ name, head: bytes(head) });
  const { found, unknown } = sortByKind([
    entry('b.bif', 'BIFF'), entry('notes.txt', 'Selw'), entry('2.gam', 'GAME'), entry('a.bif', 'BIFF'),
    entry('1.gam', 'GAME'), entry('dialog.tlk', 'TLK '), entry('empty', ''), entry('chitin.key', 'KEY '),
  ]);
  const names = (list) => list.map((e) => e.name);
  assert.deepEqual(names(found.save), ['2.gam', '1.gam']);
  assert.deepEqual(names(found.spellArchive), ['b.bif', 'a.bif']);
  assert.deepEqual(names(found.stringTable), ['dialog.tlk']);
  assert.deepEqual(names(found.resourceIndex), ['chitin.key']);
  assert.deepEqual(names(unknown), ['notes.txt', 'empty']);
});

test('what is still missing is asked for, the save first', () => {
  assert.deepEqual(missingKinds(() => false).map((k) => k.missing), [
    'Add the saved game: the .gam file.', "Add the game's string table: the .tlk file.",
    "Add the game's spell archive: a .bif file.", "Add the game's resource index: the .key file.",
  ]);
  assert.deepEqual(missingKinds((key) => key !== 'resourceIndex').map((k) => k.key), ['resourceIndex']);
  assert.deepEqual(missingKinds(() => true), []);
});

test('the archive with the highest score is used, the first one given on a tie', () => {
  assert.equal(bestScore([0, 31]), 1);
  assert.equal(bestScore([31, 0]), 0);
  assert.equal(bestScore([5, 31, 31]), 1);
  assert.equal(bestScore([0, 0]), 0);
  assert.equal(bestScore([]), 0);
  assert.equal(archiveNote(['other.bif', 'spells.bif'], [0, 31], 1),
               "Of the 2 spell archives given, spells.bif is used: it holds 31 of the party's known spells, more than any other.");
  assert.equal(archiveNote(['a.bif', 'b.bif'], [7, 7], 0),
               "Of the 2 spell archives given, a.bif is used: it holds 7 of the party's known spells, more than any other but one given before it.");
});

test('a whole installation is examined by name first', () => {
  for (const name of ['party.gam', 'BALDUR.GAM', 'dialog.tlk', 'Spells07.Bif', 'chitin.key']) assert.ok(namedLikeGameFile(name), name);
  for (const name of ['party.gam.bak', 'readme.txt', 'key', 'music.ogg', 'gam']) assert.ok(!namedLikeGameFile(name), name);
  assert.equal(folderOf('Vellmark/save/000012-Before the tower/party.gam'), 'Vellmark/save/000012-Before the tower');
  assert.equal(folderOf('party.gam'), '');
});

test('the most recently modified save comes first, saves of one time in the order given', () => {
  const saves = [{ name: 'a', modified: 100 }, { name: 'b', modified: 300 }, { name: 'c', modified: 200 },
                 { name: 'd', modified: 300 }];
  assert.deepEqual(newestFirst(saves).map((s) => s.name), ['b', 'd', 'c', 'a']);
  assert.deepEqual(saves.map((s) => s.name), ['a', 'b', 'c', 'd'], 'the list given is left as it was');
});

// An archive's header: signature, count at 8 and table offset at 16.
function header(count, table) {
  const head = new Uint8Array(20);
  head.set(bytes('BIFFV1  '));
  new DataView(head.buffer).setInt32(8, count, true);
  new DataView(head.buffer).setUint32(16, table, true);
  return head;
}

test('an archive\'s file table is found from its header alone, only what lies inside the file', () => {
  assert.deepEqual(archiveTableRange(header(3, 20), 1000), { start: 20, end: 68 });
  assert.deepEqual(archiveTableRange(header(3, 4_000_000_000), 4_000_000_040), { start: 4_000_000_000, end: 4_000_000_032 });
  assert.deepEqual(archiveTableRange(header(100, 990), 1000), null, 'not one whole entry inside');
  assert.deepEqual(archiveTableRange(header(100, 960), 1000), { start: 960, end: 992 });
  assert.equal(archiveTableRange(header(0, 20), 1000), null);
  assert.equal(archiveTableRange(header(-1, 20), 1000), null);
  assert.equal(archiveTableRange(header(3, 1001), 1000), null);
  assert.equal(archiveTableRange(header(3, 20).subarray(0, 19), 1000), null);
  assert.equal(archiveTableRange(header(3, 0), 19), null);
  assert.deepEqual(archiveTableRange(header(0x7FFFFFFF, 0), 2 ** 40), { start: 0, end: 16 * kMostTableEntries });
});

test('an archive scores the party\'s known spells whose locators its table carries, in all 32 bits', () => {
  const table = new Uint8Array(4 * 16);
  const view = new DataView(table.buffer);
  [0x00100007, 0x00000007, 0xFFFFFFFE, 42].forEach((locator, i) => view.setUint32(i * 16, locator, true));
  view.setUint32(4, 0x00100008, true);  // a data offset is not a locator
  const wanted = new Set([0x00100007, 0x00200007, 0x00100008, 42]);
  const held = heldLocators(table, wanted);
  assert.deepEqual([...held].sort(), [0x00100007, 42].sort());
  assert.equal(countHeld([0x00100007, 0x00100007, 0x00200007, 42, 0xFFFFFFFF], held), 3);
  assert.equal(heldLocators(table.subarray(0, 30), wanted).size, 1, 'an entry cut short is not read');
});

test('what the archive in use lacks is said by the archives that hold it', () => {
  const inUse = new Set([1, 2]);
  const others = [{ name: 'a.bif', held: new Set([3]) }, { name: 'b.bif', held: new Set([3, 4, 5]) }];
  assert.deepEqual(heldElsewhere([1, 2, 3, 4, 5, 5, 6], inUse, others),
                   [{ name: 'b.bif', count: 3 }, { name: 'a.bif', count: 1 }]);
  assert.deepEqual(heldElsewhere([1, 2, 6], inUse, others), []);
});
