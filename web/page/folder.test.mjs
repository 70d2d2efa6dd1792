// A game's folder on the page: which folders may be one, what its files look like to the core,
// and the reads the core asks for, each made once, until it asks for nothing new.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { ChosenFolder, findGameFolder, folderOfGivenFiles, foldersOfIndexes, kMostGapRead, mergeNeeds,
         readWhatIsNeeded } from './folder.mjs';

// A file as the browser hands it over: its bytes, which a read slices.
const file = (text) => ({ size: text.length, bytes: Uint8Array.from(text, (c) => c.charCodeAt(0)) });
const read = async (f, start = 0, end = f.size) => {
  if (f.broken) throw new Error('gone');
  return f.bytes.slice(start, end);
};
const text = (bytes) => String.fromCharCode(...bytes);

test('a game folder may be any folder that holds an index at its top, the shallowest first; a file chosen alone is in none', () => {
  assert.deepEqual(foldersOfIndexes([{ path: 'Games/Old/old.key' }, { path: 'Vellmark/quest.key' },
                                     { path: 'Vellmark/Patch.KEY' }, { path: 'loose.key' }]),
                   ['Vellmark', 'Games/Old']);
  assert.deepEqual(foldersOfIndexes([{ path: 'loose.key' }]), []);
});

test('the folder holds the files under it by their paths there; what is not read yet goes to the core by its path alone', () => {
  const given = [['Vellmark/quest.key', 'KEY V1  '], ['Vellmark/data/a.bif', 'BIFFV1  0123456789'],
                 ['Vellmarkish/x.bif', 'no'], ['Other/quest.key', 'KEY']].map(([path, t]) => ({ path, file: file(t) }));
  const folder = ChosenFolder.under('Vellmark', given);
  assert.equal(folder.size, 2);
  assert.deepEqual(folder.forCore(), { name: 'Vellmark', files: [{ path: 'quest.key' }, { path: 'data/a.bif' }] });
  assert.equal(folder.entry('data/a.bif').path, 'Vellmark/data/a.bif');
  assert.equal(folder.entry('data/b.bif'), null);
});

test('each need is read once: whole files and parts, a failed read marks the file unreadable, a path outside the folder reads nothing', async () => {
  const broken = { ...file('SPL V1  '), broken: true };
  const given = [{ path: 'G/quest.key', file: file('KEY V1  ') }, { path: 'G/data/a.bif', file: file('BIFFV1  0123456789') },
                 { path: 'G/override/X.spl', file: broken }];
  const folder = ChosenFolder.under('G', given);
  assert.equal(await folder.readAll([{ path: 'quest.key', whole: true }], read), true);
  assert.equal(await folder.readAll([{ path: 'quest.key', whole: true }, { path: '../quest.key', whole: true }], read), false,
               'asked before, or outside the folder');
  assert.equal(await folder.readAll([{ path: 'data/a.bif', whole: false, offset: 16, length: 20 },
                                     { path: 'override/X.spl', whole: true }], read), true);
  const [key, archive, spell] = folder.forCore().files;
  assert.deepEqual(key.parts.map((p) => [p.offset, text(p.bytes)]), [[0, 'KEY V1  ']]);
  assert.equal(archive.size, 18);
  assert.deepEqual(archive.parts.map((p) => [p.offset, text(p.bytes)]), [[16, '89']], 'cut at the end of the file');
  assert.deepEqual(spell, { path: 'override/X.spl', unreadable: true });
  assert.equal(folder.reads, 2);
  assert.equal(folder.bytesRead, 10);
});

test('parts of a file close together are read as one, those far apart and of other files on their own', () => {
  const part = (path, offset, length) => ({ path, whole: false, offset, length });
  assert.deepEqual(mergeNeeds([part('b.bif', 200, 56), part('a.bif', 0, 20), part('b.bif', 100, 56),
                               part('b.bif', 257 + kMostGapRead, 56), part('b.bif', 320 + kMostGapRead, 10),
                               { path: 'x.spl', whole: true }, part('b.bif', 120, 8)]),
                   [{ path: 'x.spl', whole: true }, part('a.bif', 0, 20), part('b.bif', 100, 156),
                    part('b.bif', 257 + kMostGapRead, 73)]);
  // Exactly that far apart is close enough.
  assert.equal(mergeNeeds([part('c.bif', 0, 10), part('c.bif', 10 + kMostGapRead, 5)]).length, 1);
});

test('the core is asked again after each round of reads until it asks for nothing new, and a core that keeps asking is stopped', async () => {
  const given = [{ path: 'G/quest.key', file: file('KEY V1  ') }, { path: 'G/data/a.bif', file: file('BIFFV1  0123456789') }];
  // A core that wants the index first, then the archive's head once it has the index.
  const asked = [];
  const core = (files) => {
    asked.push(files.files.map((f) => `${f.path}:${f.parts?.length ?? '-'}`).join(' '));
    const index = files.files.find((f) => f.path === 'quest.key');
    const needs = [];
    if (!index.parts) needs.push({ path: 'quest.key', whole: true });
    else needs.push({ path: 'data/a.bif', whole: false, offset: 0, length: 8 });
    return { needs, archivesHeld: 1 };
  };
  const folder = ChosenFolder.under('G', given);
  const answer = await readWhatIsNeeded(folder, core, read);
  assert.deepEqual(asked, ['quest.key:- data/a.bif:-', 'quest.key:1 data/a.bif:-', 'quest.key:1 data/a.bif:1']);
  assert.equal(answer.archivesHeld, 1);

  let rounds = 0;
  const greedy = () => ({ needs: [{ path: 'data/a.bif', whole: false, offset: rounds++, length: 1 }] });
  await readWhatIsNeeded(ChosenFolder.under('G', given), greedy, read, 3);
  assert.equal(rounds, 4, 'three rounds of reads, and the answer after the last');
});

test('the game folder of a choice is the first whose index names an archive it holds', async () => {
  const given = [{ path: 'A/a.key', file: file('KEY') }, { path: 'Games/B/b.key', file: file('KEY') }];
  const core = { folderNeeds: (save, folder) => ({ needs: [], archivesHeld: folder.name === 'Games/B' ? 2 : 0 }) };
  const found = await findGameFolder(given, [{ path: 'Games/B/b.key' }, { path: 'A/a.key' }], core, read);
  assert.equal(found.folder.name, 'Games/B');
  assert.equal(found.findings.archivesHeld, 2);
  assert.equal(await findGameFolder(given, [{ path: 'A/a.key' }], core, read), null);
});

test('files chosen one by one make up a folder where the index names every archive given, each where the game keeps it', async () => {
  const given = (path, t = path) => ({ path, file: { ...file(t), name: path.split('/').at(-1) } });
  // The index names archives by file name, any case: SPELLS.BIF as data/spells.bif, more.bif as x/more.bif.
  const places = { 'spells.bif': { number: 2, path: 'data/spells.bif' }, 'more.bif': { number: 0, path: 'x/more.bif' } };
  const core = {
    conventions: { layout: { stringTableName: 'dialog.tlk', overrideFolder: 'override', indexEnding: '.key' } },
    namedArchives: (index, names) => names.map((name) => places[name.toLowerCase()] ?? null),
    folderNeeds: (save, folder) => ({ needs: [], files: folder.files.map((f) => `${f.path}${f.parts ? ' read' : ''}`) }),
  };
  const choice = { indexes: [given('Saves/quest')], stringTable: given('T/words.tlk'),
                   archives: [given('A/SPELLS.BIF'), given('more.bif')], looseSpells: [given('B/wz1.SPL')] };
  const made = await folderOfGivenFiles(choice, core, read);
  assert.equal(made.folder.given, true);
  assert.deepEqual(made.findings.files, ['quest.key read', 'dialog.tlk', 'data/spells.bif', 'x/more.bif', 'override/wz1.SPL']);
  assert.equal(made.folder.entry('data/spells.bif').path, 'A/SPELLS.BIF', 'listed by where it was chosen');
  assert.equal(await folderOfGivenFiles({ ...choice, archives: [...choice.archives, given('other.bif')] }, core, read), null,
               'an archive the index does not name: the page picks among them');
  assert.equal(await folderOfGivenFiles({ ...choice, archives: [] }, core, read), null);
});
