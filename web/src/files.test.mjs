// Telling the game's files apart and choosing among several, without a browser.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { archiveNote, bestScore, kindOf, missingKinds, sortByKind } from './files.mjs';

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
