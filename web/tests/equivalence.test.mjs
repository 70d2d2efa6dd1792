// window.grimtrim.run gives what the native grimtrim gives for the same four files and options,
// in each of the three browser engines: the same output bytes, the same exit status, and the
// same save afterwards. The cases are the listings and whacks of every member under each
// free-space method, missing, empty, wrong and damaged files, and a few runs on the benchmark's
// stress set; then the same on a game installed in the current layout, given as its folder
// (every file by its path) and as a configuration file naming its main spell archive.
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { copyFileSync, existsSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { engines, makeSample, openEngine, runNative, serve, siteDir, testDir } from './harness.mjs';

const dir = testDir('equivalence');
const standard = { save: 'sample.gam', stringTable: 'sample.tlk', spellArchive: 'spells.bif', resourceIndex: 'sample.key' };
const configOrder = ['stringTable', 'spellArchive', 'resourceIndex'];

let server;

before(async () => {
  makeSample(join(dir, 'sample'), 'sample');
  makeSample(join(dir, 'stress'), 'stress');
  // The class game twice: the configuration file's runs write their configuration beside the files.
  for (const folder of ['classes', 'classes-cfg']) makeSample(join(dir, folder), 'classes');
  // Files of the wrong kind, empty, or cut short, beside the sample set.
  const sample = (name) => readFileSync(join(dir, 'sample', name));
  writeFileSync(join(dir, 'sample', 'notes.txt'), 'Selwyn knows too many spells.\n');
  writeFileSync(join(dir, 'sample', 'empty'), '');
  for (const [name, lengths] of [['sample.gam', [3, 100, 3000, 5000, 9000]], ['sample.tlk', [20, 600]],
                                 ['spells.bif', [10, 30, 2000]], ['sample.key', [10, 300, 700]]]) {
    for (const length of lengths) writeFileSync(join(dir, 'sample', `cut${length}-${name}`), sample(name).subarray(0, length));
  }
  copyFileSync(join(dir, 'sample', 'sample.gam'), join(dir, 'sample', 'Spielstand Kapitel 2 – ä.gam'));
  // A copy, as a player's wrong file would be: the native program does not open one file as
  // both the index and a save to edit.
  copyFileSync(join(dir, 'sample', 'sample.key'), join(dir, 'sample', 'index.gam'));
  // The installation, whole and in the ways a folder goes wrong; and a copy for the
  // configuration file's runs, which write their configuration beside the files.
  for (const folder of ['installed', 'no-index', 'two-indexes', 'no-string-table', 'broken-archive', 'installed-cfg']) {
    makeSample(join(dir, folder), 'installed');
  }
  rmSync(join(dir, 'no-index', 'quest.key'));
  copyFileSync(join(dir, 'two-indexes', 'quest.key'), join(dir, 'two-indexes', 'Patch.KEY'));
  rmSync(join(dir, 'no-string-table', 'lang'), { recursive: true });
  writeFileSync(join(dir, 'broken-archive', 'data', 'expansion.bif'), 'not an archive at all');
  writeFileSync(join(dir, 'broken-archive', 'override', 'EMPTY.spl'), '');
  server = await serve(siteDir());
});

after(async () => {
  await server?.close();
});

// The options as the command line takes them, and as run() takes them.
function options(args) {
  const letters = { f: 'method', p: 'member', s: 'level', w: 'number' };
  return Object.fromEntries(args.map((arg) => [letters[arg[1]], Number(arg.slice(2))]));
}

// One case: the set, the files by kind (a name, or null for a file not given) and the options.
const cases = [];
const add = (set, args, files = {}) => cases.push({ set, args, files: { ...standard, ...files } });

// Listings: the party, every member's levels, every level of every member, and members past
// the end of the party.
add('sample', []);
add('sample', ['-p-1']);
for (let member = 0; member <= 7; ++member) {
  add('sample', [`-p${member}`]);
  for (let level = 0; level <= 6; ++level) add('sample', [`-p${member}`, `-s${level}`]);
}
// Whacks of every number (and one past the last) of every level, under both methods and an
// unknown one; each on a fresh copy of the save.
for (const method of [1, 0, 7]) {
  for (let member = 0; member <= 6; ++member) {
    for (let level = 1; level <= 5; ++level) {
      for (let number = 1; number <= 6; ++number) {
        add('sample', [`-f${method}`, `-p${member}`, `-s${level}`, `-w${number}`]);
      }
    }
  }
}
// Missing, empty, wrong and damaged files, each in a listing and in a whack.
const variants = [];
for (const kind of Object.keys(standard)) {
  variants.push({ [kind]: null }, { [kind]: 'empty' }, { [kind]: 'notes.txt' });
}
variants.push({ stringTable: 'spells.bif', spellArchive: 'sample.tlk' }, { save: 'index.gam' },
              { save: 'Spielstand Kapitel 2 – ä.gam' }, { save: 'no such save.gam' });
for (const [name, lengths] of [['sample.gam', [3, 100, 3000, 5000, 9000]], ['sample.tlk', [20, 600]],
                               ['spells.bif', [10, 30, 2000]], ['sample.key', [10, 300, 700]]]) {
  const kind = Object.keys(standard).find((k) => standard[k] === name);
  for (const length of lengths) variants.push({ [kind]: `cut${length}-${name}` });
}
for (const files of variants) {
  add('sample', [], files);
  add('sample', ['-p0', '-s1'], files);
  add('sample', ['-p1', '-s2', '-w1'], files);
}
// The sample's party in the saves of the family's other layouts, and a party that keeps its
// spells by class: listed, whacked under both methods, and refused.
for (const save of ['sample-v9.gam', 'sample-v12.gam']) {
  for (const args of [[], ['-p0'], ['-p1', '-s1'], ['-p0', '-s2', '-w1'], ['-f0', '-p0', '-s1', '-w3'], ['-p4', '-s1', '-w2']]) {
    add('sample', args, { save });
  }
}
for (const args of [[], ['-p0', '-w1'], ['-p1'], ['-p1', '-s1', '-w1']]) add('sample', args, { save: 'party-v22.gam' });
// The sample's wizard exported as a character: a party of one.
for (const args of [[], ['-p0'], ['-p0', '-s1'], ['-p1'], ['-p0', '-s1', '-w3'], ['-f0', '-p0', '-s2', '-w1']]) {
  add('sample', args, { save: 'selwyn.chr' });
}
// The stress set: tens of thousands of entries in every file.
add('stress', []);
add('stress', ['-p0']);
add('stress', ['-p0', '-s1']);
add('stress', ['-p5', '-s9']);
add('stress', ['-p0', '-s1', '-w3']);
add('stress', ['-f0', '-p3', '-s2', '-w10']);
add('stress', ['-p2', '-s4', '-w999']);

// The installation given as its folder: the newer save, or the older, and the folder last.
const newerSave = 'save/000000002-Tower-Gate/party.gam';
const olderSave = 'save/000000001-Quick-Save/party.gam';
const addFolder = (folder, args, save = newerSave) => cases.push({ folder, args, save: `${folder}/${save}` });
// A game that keeps its spells by class: every member's levels, listings and whacks under both
// methods and an unknown one (which write the save anew, 16 bytes shorter), given as its folder
// (whose override folder holds a mod's copy of the spell table) and through a configuration file.
const classSave = 'save/000000004-Bell-Tower/party.gam';
const classFiles = { save: classSave, stringTable: 'dialog.tlk', spellArchive: 'data/spells.bif', resourceIndex: 'realm.key' };
for (const args of [[], ['-p0'], ['-p1'], ['-p1', '-s1'], ['-p1', '-s3'], ['-p2', '-w1'], ['-p3'], ['-p1', '-s1', '-w3'],
                    ['-f0', '-p0', '-s1', '-w1'], ['-f7', '-p1', '-s4', '-w1'], ['-p0', '-s2', '-w9']]) {
  addFolder('classes', args, classSave);
  addFolder('classes', args, 'characters/ilsabet.chr');
  add('classes-cfg', args, classFiles);
}
addFolder('installed', []);
addFolder('installed', ['-w1']);
for (let member = 0; member <= 4; ++member) {
  addFolder('installed', [`-p${member}`]);
  for (let level = 0; level <= 4; ++level) addFolder('installed', [`-p${member}`, `-s${level}`]);
}
for (const method of [1, 0]) {
  for (let member = 0; member <= 2; ++member) {
    for (let level = 1; level <= 3; ++level) {
      for (let number = 1; number <= 5; ++number) addFolder('installed', [`-f${method}`, `-p${member}`, `-s${level}`, `-w${number}`]);
    }
  }
}
addFolder('installed', ['-p0', '-s1'], olderSave);
addFolder('installed', ['-p1', '-s1', '-w1'], olderSave);
addFolder('installed', ['-p0'], 'save/no such save/party.gam');
addFolder('installed', ['-p0'], 'quest.key');
for (const folder of ['no-index', 'two-indexes', 'no-string-table', 'broken-archive']) {
  addFolder(folder, []);
  addFolder(folder, ['-p0', '-s2']);
  addFolder(folder, ['-p0', '-s2', '-w2']);
}
// The same installation through a configuration file that names its main spell archive, whose
// entries keep only the file part of a locator.
const installedFiles = { save: newerSave, stringTable: 'lang/en_US/dialog.tlk', spellArchive: 'data/spells.bif',
                         resourceIndex: 'quest.key' };
for (const args of [['-p0'], ['-p0', '-s1'], ['-p0', '-s2'], ['-p1', '-s1'], ['-p0', '-s2', '-w2'], ['-f0', '-p0', '-s1', '-w1']]) {
  add('installed-cfg', args, installedFiles);
}
// Its expansion's archive, which ships compressed as one stream, named as the spell archive.
for (const args of [['-p0', '-s2'], ['-p2', '-s3'], ['-p0', '-s3', '-w1']]) {
  add('installed-cfg', args, { ...installedFiles, spellArchive: 'data/expansion.CBF' });
}

// Every file under `folder`, by its path under it.
function filesUnder(folder, under = '') {
  return readdirSync(join(folder, under), { withFileTypes: true }).flatMap((entry) => {
    const path = under ? `${under}/${entry.name}` : entry.name;
    return entry.isDirectory() ? filesUnder(folder, path) : [path];
  });
}

const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');

// The native program's run: the configuration names the three data files (an empty line for
// one not given), the save is a fresh copy each time, and what the run left in it is kept.
function nativeRun(testCase) {
  if (testCase.folder) return nativeFolderRun(testCase);
  const setDir = join(dir, testCase.set);
  const { files } = testCase;
  writeFileSync(join(setDir, 'case.cfg'), configOrder.map((kind) => `${files[kind] ?? ''}\n`).join(''));
  const savePath = files.save === null ? '' : files.save;
  let original;
  if (savePath) {
    try {
      original = readFileSync(join(setDir, savePath));
    } catch {
      original = undefined;  // a save that does not exist stays so
    }
  }
  const { text, status } = runNative(setDir, [...testCase.args, savePath, 'case.cfg']);
  let saveHash = sha256(new Uint8Array(0));
  if (original !== undefined) {
    saveHash = sha256(readFileSync(join(setDir, savePath)));
    writeFileSync(join(setDir, savePath), original);
  }
  return { text, status, saveHash };
}

// The native program's run in the folder form, from the folder that holds the game's folder.
function nativeFolderRun({ folder, args, save }) {
  const original = existsSync(join(dir, save)) ? readFileSync(join(dir, save)) : undefined;
  const { text, status } = runNative(dir, [...args, save, folder], { errors: true });
  let saveHash = sha256(new Uint8Array(0));
  if (original !== undefined) {
    saveHash = sha256(readFileSync(join(dir, save)));
    writeFileSync(join(dir, save), original);
  }
  return { text, status, saveHash };
}

// Runs every case in the page in one go and hands back what each run gave. It runs in the
// browser: only its source travels, so it uses nothing of this file. The files travel with the
// cases, as base64 by their paths: the page's policy lets it fetch nothing, not even from the
// test's server.
async function runCases({ cases, contents }) {
  const cache = new Map();
  const fetchFile = async (path) => {
    if (!cache.has(path)) cache.set(path, Uint8Array.from(atob(contents[path]), (c) => c.charCodeAt(0)));
    return cache.get(path);
  };
  const hex = (buffer) => [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');
  const results = [];
  for (const { set, args, files, onDisk, options, folder, save, folderFiles } of cases) {
    const given = {};
    if (folder) {
      // The game's folder: every file by its path under it, and the save by its path as the
      // command line was given it.
      const saveBytes = contents[save] === undefined ? undefined : await fetchFile(save);
      given.save = saveBytes ? { name: save, bytes: saveBytes } : { name: save };
      given.folder = { name: folder, files: await Promise.all(folderFiles.map(async (path) => ({ path, bytes: await fetchFile(`${folder}/${path}`) }))) };
    }
    for (const [kind, name] of Object.entries(files ?? {})) {
      if (name === null) continue;  // not given at all
      // A name without bytes stands for a path that names no file.
      given[kind] = onDisk[kind] ? { name, bytes: await fetchFile(`${set}/${name}`) } : { name };
    }
    const copies = Object.fromEntries(Object.entries(given).map(([k, f]) => [k, f.bytes?.slice()]));
    const result = await window.grimtrim.run(given, options);
    const untouched = Object.entries(given).every(
        ([k, f]) => f.bytes === undefined || f.bytes.every((b, i) => b === copies[k][i]));
    if (folder && result.unmet !== 0) throw new Error(`${folder} ${args.join(' ')}: ${result.unmet} reads unmet with every file given whole`);
    results.push({
      text: result.text,
      status: result.status,
      saveHash: hex(await crypto.subtle.digest('SHA-256', result.save)),
      fresh: result.save instanceof Uint8Array && result.save !== given.save?.bytes &&
             result.save.buffer !== given.save?.bytes?.buffer,
      untouched,
      args: args.join(' '),
    });
  }
  return results;
}

// The cases as the page runs them, with the bytes of every file they name that exists.
function casesForThePage() {
  const contents = {};
  const pageCases = cases.map((c) => {
    if (c.folder) {
      const folderFiles = filesUnder(join(dir, c.folder));
      for (const path of folderFiles) contents[`${c.folder}/${path}`] ??= readFileSync(join(dir, c.folder, path)).toString('base64');
      if (existsSync(join(dir, c.save))) contents[c.save] ??= readFileSync(join(dir, c.save)).toString('base64');
      return { ...c, options: options(c.args), folderFiles };
    }
    const onDisk = Object.fromEntries(Object.entries(c.files).map(
        ([kind, name]) => [kind, name !== null && existsSync(join(dir, c.set, name))]));
    for (const [kind, name] of Object.entries(c.files)) {
      if (onDisk[kind]) contents[`${c.set}/${name}`] ??= readFileSync(join(dir, c.set, name)).toString('base64');
    }
    return { ...c, options: options(c.args), onDisk };
  });
  return { cases: pageCases, contents };
}

// The native program's results, computed once for all engines.
let expected;
const nativeResults = () => (expected ??= cases.map(nativeRun));

for (const engine of engines) {
  test(`${engine}: window.grimtrim.run gives the native program's output, status and save`, { timeout: 280000 }, async () => {
    const wanted = nativeResults();
    const started = performance.now();
    const session = await openEngine(engine, server.url);
    let actual;
    let problems;
    try {
      const opened = performance.now();
      actual = await session.evaluate(runCases, casesForThePage());
      console.log(`${session.version}: opened in ${((opened - started) / 1000).toFixed(1)} s, ` +
                  `${cases.length} runs in ${((performance.now() - opened) / 1000).toFixed(1)} s`);
      problems = await session.problems();
    } finally {
      await session.close();
    }

    assert.equal(actual.length, cases.length);
    let whacked = 0;
    for (let i = 0; i < cases.length; ++i) {
      const label = cases[i].folder ? `${engine}: grimtrim ${cases[i].args.join(' ')} ${cases[i].save} ${cases[i].folder}`
          : `${engine}, ${cases[i].set}: grimtrim ${cases[i].args.join(' ')} with ${JSON.stringify(cases[i].files)}`;
      assert.equal(actual[i].text, wanted[i].text, `${label}: output`);
      assert.equal(actual[i].status, wanted[i].status, `${label}: status`);
      assert.equal(actual[i].saveHash, wanted[i].saveHash, `${label}: save afterwards`);
      assert.ok(actual[i].fresh, `${label}: the save comes back as a new Uint8Array`);
      assert.ok(actual[i].untouched, `${label}: the input arrays are unchanged`);
      if (wanted[i].text.includes('\nWhacking ')) ++whacked;
    }
    // The cases reach the whack itself, not only the messages in front of it.
    assert.ok(whacked >= 40, `only ${whacked} cases whacked a spell`);
    // The folder form reaches its whacks, its messages and the override folder's spells.
    const folderText = (folder) => cases.flatMap((c, i) => (c.folder === folder ? [wanted[i].text] : [])).join('');
    assert.ok((folderText('installed').match(/\nWhacking /g) ?? []).length >= 20, 'whacks in the folder form');
    assert.ok(folderText('installed').includes('Frost Veil, Reworked'), 'an override spell listed');
    assert.ok(folderText('no-index').includes('no .key file in game folder <no-index>'));
    assert.ok(folderText('two-indexes').includes('more than one .key file in game folder <two-indexes>'));
    assert.ok(folderText('no-string-table').includes('no dialog.tlk in game folder <no-string-table>'));
    assert.deepEqual(problems, []);
    console.log(`${engine}: ${cases.length} runs compared with the native program, ${whacked} of them whacks`);
  });
}
