// The page on a game's folder laid out as current editions lay it out, in Chromium, Firefox and
// WebKit: the folder dropped whole, the spells found as the game finds them (the override
// folder's first, then the archives the index names), one of the override folder's spells
// removed, and the save downloaded: byte for byte what the command line's folder form leaves.
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { engines, makeSample, openEngine, runNative, serve, siteDir, testDir } from './harness.mjs';

const dir = testDir('installed');
const save = 'Vellmark/save/000000002-Tower-Gate/party.gam';
const banner = "\nOrvane's Grimtrim 1.01 -- whack spells a Vellmark character\n" +
               '                                     has in his/her spell book\n\n';
const whackSpark = `${banner}1 Orla Venn\nWhacking Spark Swarm\n\nfirst memorized spell of lowest spell level will be duplicated`;

let server;
let whacked;

before(async () => {
  makeSample(join(dir, 'page', 'Vellmark'), 'installed');
  makeSample(join(dir, 'native', 'Vellmark'), 'installed');
  const run = runNative(join(dir, 'native'), ['-p0', '-s2', '-w1', save, 'Vellmark'], { errors: true });
  assert.equal(run.text, whackSpark);
  whacked = readFileSync(join(dir, 'native', save));
  server = await serve(siteDir());
});

after(() => server?.close());

// Every file under `folder`, by its path from `folder`'s parent, as base64.
function folderContents(root, under) {
  return readdirSync(join(root, under), { withFileTypes: true }).flatMap((entry) => {
    const path = `${under}/${entry.name}`;
    return entry.isDirectory() ? folderContents(root, path) : [[path, readFileSync(join(root, path)).toString('base64')]];
  });
}

// Runs in the page: drops the folder as a browser hands over a dropped folder (entries walked
// through their readers), removes Spark Swarm from the first member and downloads the save. Only
// its source travels to the page.
async function dropAndRemove(contents) {
  const until = async (what, test) => {
    for (let waited = 0; waited < 20000; waited += 25) {
      const value = test();
      if (value) return value;
      await new Promise((done) => setTimeout(done, 25));
    }
    throw new Error(`waited in vain for ${what}`);
  };
  const newest = Date.UTC(2026, 10, 2);
  // The folders of the drop, each an entry that lists its children once.
  const folders = new Map();
  const folderEntry = (path) => {
    if (!folders.has(path)) {
      const children = [];
      folders.set(path, { children, entry: { isFile: false, isDirectory: true, fullPath: `/${path}`, name: path.split('/').at(-1),
                                             createReader() {
                                               let given = false;
                                               return { readEntries(done) { done(given ? [] : children); given = true; } };
                                             } } });
      const slash = path.lastIndexOf('/');
      if (slash > 0) folderEntry(path.slice(0, slash)).children.push(folders.get(path).entry);
    }
    return folders.get(path);
  };
  for (const [path, base64] of contents) {
    const name = path.split('/').at(-1);
    const time = path.includes('Tower-Gate') ? newest : newest - 86400000;
    const file = new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name, { lastModified: time });
    folderEntry(path.slice(0, path.lastIndexOf('/'))).children.push(
        { isFile: true, isDirectory: false, fullPath: `/${path}`, name, file(done) { done(file); } });
  }
  const drop = new Event('drop', { cancelable: true });
  const root = folderEntry('Vellmark').entry;
  Object.defineProperty(drop, 'dataTransfer', { value: { items: [{ webkitGetAsEntry: () => root }], files: [] } });
  document.dispatchEvent(drop);

  await until('the party', () => document.querySelectorAll('#party li').length === 4);
  const party = [...document.querySelectorAll('#party .name')].map((n) => n.textContent);
  const files = document.querySelector('#file-list').textContent;
  const archiveChooser = document.querySelector('#choose-spellArchive') !== null;
  document.querySelector('#party li:first-child button').click();
  await until('the spells', () => document.querySelector('#spells .level-group'));
  const levels = [...document.querySelectorAll('#spells .level-group')].map(
      (group) => [...group.querySelectorAll('.name')].map((n) => n.textContent));
  const notes = [...document.querySelectorAll('#spells .note')].map((n) => n.textContent);

  document.querySelector('button[aria-label="Remove Spark Swarm (level 2, spell 1)"]').click();
  document.querySelector('#confirm-remove').click();
  await until('the outcome', () => document.querySelector('#outcome').textContent.includes('Removed Spark Swarm'));
  const command = document.querySelector('#transcript-command').textContent;
  const transcript = document.querySelector('#transcript').textContent;
  // The download is the blob the page hands the browser.
  let blob;
  const makeUrl = URL.createObjectURL;
  URL.createObjectURL = (object) => {
    blob = object;
    return makeUrl.call(URL, object);
  };
  document.querySelector('#download').click();
  URL.createObjectURL = makeUrl;
  await until('the download', () => blob);
  const bytes = new Uint8Array(await blob.arrayBuffer());
  let binary = '';
  for (const b of bytes) binary += String.fromCharCode(b);
  const read = performance.getEntriesByName('grimtrim:folder-read').at(-1).detail;
  return { party, files, archiveChooser, levels, notes, command, transcript, download: btoa(binary), read };
}

for (const engine of engines) {
  test(`${engine}: a dropped game folder shows the override folder's spells, and the save downloaded after a removal is the command line's`, { timeout: 120000 }, async () => {
    const session = await openEngine(engine, server.url);
    let result;
    let problems;
    try {
      result = await session.evaluate(dropAndRemove, folderContents(join(dir, 'page'), 'Vellmark'));
      problems = await session.problems();
    } finally {
      await session.close();
    }
    assert.deepEqual(result.party, ['Orla Venn', 'Bramwick', 'Tamsin', 'Ilse']);
    assert.match(result.files, /Saved game: party\.gam in Vellmark\/save\/000000002-Tower-Gate/);
    assert.match(result.files, /String table: dialog\.tlk in Vellmark\/lang\/en_US/);
    assert.match(result.files, /Resource index: quest\.key in Vellmark/);
    assert.match(result.files, /Spell archives: the 3 that quest\.key names, in Vellmark/);
    assert.equal(result.archiveChooser, false, 'the index names the archives: nothing to choose');
    assert.deepEqual(result.levels, [['Ember Dart', 'Frost Veil, Reworked', 'Witchlight', 'Hush of Ash'],
                                     ['Spark Swarm', 'Mirror Haze', 'Shade Blade', 'Sticky Strands'],
                                     ['Storm Lance']]);
    assert.deepEqual(result.notes, ['The archive data/patch/Lost.bif is missing or cannot be read: the spells it should hold ' +
                                    'are not listed, as the command line passes them over.']);
    assert.equal(result.command, `grimtrim -p0 -s2 -w1 ${save} Vellmark`);
    assert.equal(result.transcript, whackSpark);
    assert.ok(Buffer.from(result.download, 'base64').equals(whacked), 'the download is the command line\'s whack, byte for byte');
    // The string table, the index and three loose spells whole; of two archives their headers,
    // tables and the party's spell headers.
    console.log(`${engine}: ${result.read.reads} reads of the game's folder, ${result.read.bytes} bytes`);
    assert.deepEqual(problems, []);
  });
}
