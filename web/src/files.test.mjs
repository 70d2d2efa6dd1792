// Telling the game's files apart and choosing among several, without a browser.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { archiveNote, bestScore, countHeld, elsewhereNote, folderOf, heldElsewhere, kindOf, missingKinds, namedLikeGameFile,
         newestFirst, pickArchive, sortByKind } from './files.mjs';

const bytes = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));
// The signatures as the core gives them to the page.
const signatures = { stringTable: 'TLK ', spellArchive: 'BIFF', resourceIndex: 'KEY ', save: 'GAME' };

test('a file is told by its first four bytes, case and spaces included', () => {
  assert.equal(kindOf(bytes('GAMEV2.0'), signatures), 'save');
  assert.equal(kindOf(bytes('TLK V1  '), signatures), 'stringTable');
  assert.equal(kindOf(bytes('BIFFV1  '), signatures), 'spellArchive');
  assert.equal(kindOf(bytes('KEY V1  '), signatures), 'resourceIndex');
  for (const head of ['game', 'TLK', 'TLKV', 'KEY', ' KEY', 'BIF', '', 'GAM\0', 'SPL V1  ']) {
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

test('a whole installation is examined by name first', () => {
  for (const name of ['party.gam', 'HEARTH.GAM', 'words.tlk', 'Arcana07.Bif', 'quest.key']) assert.ok(namedLikeGameFile(name), name);
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
