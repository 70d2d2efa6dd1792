// Taking in the player's files, without a browser: Node's File stands in for the browser's.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { asGiven, droppedFiles, examine, inTurn, kExamineAll, readBytes } from './intake.mjs';

// What the core says of the kinds, and the endings it gives an index and a compressed archive.
const kinds = { signatures: { stringTable: ['TLK '], spellArchive: ['BIFF'], resourceIndex: ['KEY '], save: ['GAME'] },
                headSize: 20 };
const layout = { indexEnding: '.key', compressedArchiveEnding: '.cbf' };

// A file whose reads are counted in `opened`; `text` its contents.
function countedFile(name, text, opened) {
  const file = new File([text], name);
  return { name, size: file.size, slice: (...range) => { opened.push(name); return file.slice(...range); } };
}
const given = (file) => ({ file, path: `game/${file.name}` });
const keys = (found) => Object.fromEntries(Object.entries(found).map(([key, list]) => [key, list.map((e) => e.file.name)]));

test('a few files are all examined by their first bytes; a file that cannot be read is of no kind', async () => {
  const opened = [];
  const broken = { name: 'gone.gam', size: 10, slice: () => ({ arrayBuffer: () => Promise.reject(new Error('gone')) }) };
  const files = [countedFile('notes.txt', 'GAME but named otherwise', opened), countedFile('words.tlk', 'TLK V1', opened),
                 countedFile('tiny.bif', 'BIF', opened), broken, countedFile('quest.key', 'KEY V1  and more', opened)];
  const progress = [];
  const { found, unknown, unexamined } = await examine(files.map(given), {
    kinds, onProgress: (done, total) => progress.push(`${done}/${total}`) });
  assert.deepEqual(keys(found), { stringTable: ['words.tlk'], spellArchive: [], resourceIndex: ['quest.key'], save: ['notes.txt'] });
  assert.deepEqual(unknown.map((e) => e.file.name), ['tiny.bif', 'gone.gam']);
  assert.equal(unexamined, 0);
  assert.equal(progress[0], '0/5');
  assert.equal(progress.at(-1), '5/5');
  assert.deepEqual(found.resourceIndex[0].head, new TextEncoder().encode('KEY V1  and more'), 'no more than the first bytes');
  assert.equal(found.save[0].path, 'game/notes.txt');
  const [a, b] = [found.save[0].id, found.stringTable[0].id];
  assert.ok(Number.isInteger(a) && Number.isInteger(b) && a !== b, 'each file examined has an id of its own');
});

test('a whole installation is opened by name first, the rest only while a kind is missing', async () => {
  const opened = [];
  const others = Array.from({ length: kExamineAll }, (_, i) => countedFile(`music${i}.ogg`, 'OggS', opened));
  const game = [countedFile('party.gam', 'GAME', opened), countedFile('words.tlk', 'TLK ', opened),
                countedFile('magic.bif', 'BIFF', opened), countedFile('quest.key', 'KEY ', opened)];
  let result = await examine([...others, ...game].map(given), { kinds, layout });
  assert.deepEqual(opened.sort(), ['magic.bif', 'party.gam', 'quest.key', 'words.tlk']);
  assert.equal(result.unexamined, kExamineAll);
  assert.equal(result.unknown.length, 0);

  // The index renamed: every file is opened to find it.
  opened.length = 0;
  const renamed = [game[0], game[1], game[2], countedFile('index.dat', 'KEY ', opened)];
  result = await examine([...others, ...renamed].map(given), { kinds, layout });
  assert.equal(opened.length, kExamineAll + 4);
  assert.deepEqual(result.found.resourceIndex.map((e) => e.file.name), ['index.dat']);
  assert.equal(result.unexamined, 0);
  assert.equal(result.unknown.length, kExamineAll);

  // A kind an earlier choice gave is not looked for again.
  opened.length = 0;
  result = await examine([...others, game[0]].map(given), { kinds, layout, alreadyGiven: (key) => key !== 'save' });
  assert.deepEqual(opened, ['party.gam']);
  assert.equal(result.unexamined, kExamineAll);
});

test('choices are taken one after the other, each whole, a failed one stopping none after it', async () => {
  const take = inTurn();
  const order = [];
  const slow = take(async () => { order.push('first begins'); await new Promise((r) => setTimeout(r, 20)); order.push('first ends'); });
  const failing = take(async () => { order.push('second'); throw new Error('unreadable'); });
  const third = take(async () => { order.push('third'); return 3; });
  await slow;
  await assert.rejects(failing, /unreadable/);
  assert.equal(await third, 3);
  assert.deepEqual(order, ['first begins', 'first ends', 'second', 'third']);
});

test('a dropped folder is walked through every batch of its entries; what cannot be read is left out', async () => {
  const fileEntry = (fullPath) => ({ isFile: true, fullPath,
                                     file: (resolve) => resolve(new File(['x'], fullPath.split('/').pop())) });
  const gone = { isFile: true, fullPath: '/game/gone.gam', file: (_, reject) => reject(new Error('gone')) };
  const folder = (batches) => ({ isDirectory: true, createReader: () => ({ readEntries: (resolve) => resolve(batches.shift() ?? []) }) });
  const save = folder([[fileEntry('/game/save/1/party.gam')]]);
  const game = folder([[fileEntry('/game/words.tlk'), gone], [save, fileEntry('/game/quest.key')]]);
  const loose = fileEntry('/magic.bif');
  const files = await droppedFiles({ items: [game, loose].map((entry) => ({ webkitGetAsEntry: () => entry })), files: [] });
  assert.deepEqual(files.map((f) => f.path), ['game/words.tlk', 'game/save/1/party.gam', 'game/quest.key', 'magic.bif']);
  assert.equal(files[1].file.name, 'party.gam');

  // A browser that walks no folders hands over the files alone.
  const plain = [new File(['x'], 'party.gam')];
  assert.deepEqual((await droppedFiles({ files: plain })).map((f) => f.path), ['party.gam']);
  assert.equal(asGiven(Object.assign(new File([''], 'party.gam'), { webkitRelativePath: 'Vellmark/save/party.gam' })).path,
               'Vellmark/save/party.gam');
});

test('a part of a file is read as bytes', async () => {
  const file = new File(['BIFFV1  abc'], 'magic.bif');
  assert.deepEqual([...await readBytes(file, 4, 6)], [0x56, 0x31]);
  assert.equal((await readBytes(file)).length, 11);
});
