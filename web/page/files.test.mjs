// Telling the game's files apart and choosing among several, without a browser.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { folderOf, kindOf, missingKinds, namedLikeGameFile, newestFirst, sortByKind } from './files.mjs';

const bytes = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));
// The signatures as the core gives them to the page.
const signatures = { stringTable: ['TLK '], spellArchive: ['BIFF', 'BIFCV1.0', 'BIF V1.0'], resourceIndex: ['KEY '],
                     save: ['GAME'] };

test('a file is told by its first four bytes, case and spaces included', () => {
  assert.equal(kindOf(bytes('GAMEV2.0'), signatures), 'save');
  assert.equal(kindOf(bytes('TLK V1  '), signatures), 'stringTable');
  assert.equal(kindOf(bytes('BIFFV1  '), signatures), 'spellArchive');
  assert.equal(kindOf(bytes('KEY V1  '), signatures), 'resourceIndex');
  // The compressed forms of a spell archive, by their whole eight bytes.
  assert.equal(kindOf(bytes('BIFCV1.0\0\0'), signatures), 'spellArchive');
  assert.equal(kindOf(bytes('BIF V1.0'), signatures), 'spellArchive');
  for (const head of ['game', 'TLK', 'TLKV', 'KEY', ' KEY', 'BIF', '', 'GAM\0', 'SPL V1  ', 'BIFCV2.0', 'BIF V1.']) {
    assert.equal(kindOf(bytes(head), signatures), null, JSON.stringify(head));
  }
});

test('files are sorted by kind in the order given, the rest kept apart', () => {
  const entry = (name, head) => ({ name, head: bytes(head) });
  const { found, unknown } = sortByKind([
    entry('b.bif', 'BIFF'), entry('notes.txt', 'Selw'), entry('2.gam', 'GAME'), entry('a.bif', 'BIFF'),
    entry('1.gam', 'GAME'), entry('words.tlk', 'TLK '), entry('empty', ''), entry('quest.key', 'KEY '),
  ], signatures);
  const names = (list) => list.map((e) => e.name);
  assert.deepEqual(names(found.save), ['2.gam', '1.gam']);
  assert.deepEqual(names(found.spellArchive), ['b.bif', 'a.bif']);
  assert.deepEqual(names(found.stringTable), ['words.tlk']);
  assert.deepEqual(names(found.resourceIndex), ['quest.key']);
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

test('a whole installation is examined by name first', () => {
  const layout = { indexEnding: '.key', compressedArchiveEnding: '.cbf' };  // the core's, for an index and a .cbf
  for (const name of ['party.gam', 'HEARTH.GAM', 'words.tlk', 'Arcana07.Bif', 'Arcana08.CBF', 'quest.key']) {
    assert.ok(namedLikeGameFile(name, layout), name);
  }
  for (const name of ['party.gam.bak', 'readme.txt', 'key', 'music.ogg', 'gam', 'quest.\u212Aey']) {
    assert.ok(!namedLikeGameFile(name, layout), name);
  }
  assert.equal(folderOf('Vellmark/save/000012-Before the tower/party.gam'), 'Vellmark/save/000012-Before the tower');
  assert.equal(folderOf('party.gam'), '');
});

test('the most recently modified save comes first, saves of one time in the order given', () => {
  const saves = [{ name: 'a', modified: 100 }, { name: 'b', modified: 300 }, { name: 'c', modified: 200 },
                 { name: 'd', modified: 300 }];
  assert.deepEqual(newestFirst(saves).map((s) => s.name), ['b', 'd', 'c', 'a']);
  assert.deepEqual(saves.map((s) => s.name), ['a', 'b', 'c', 'd'], 'the list given is left as it was');
});
