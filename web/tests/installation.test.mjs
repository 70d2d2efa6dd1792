// The page on files as a player's installation holds them, in Chromium: names in other scripts,
// a folder of several saves, a party's spells spread over two archives, and a whole installation
// in the current layout, of thousands of files and gigabytes of archives, timed.
import assert from 'node:assert/strict';
import { closeSync, copyFileSync, mkdirSync, openSync, readdirSync, readFileSync, rmSync, truncateSync, utimesSync,
         writeFileSync, writeSync, ftruncateSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { accessibilityProblems, launchBrowser, makeSample, openPage, runNative, serve, siteDir, testDir } from './harness.mjs';

const dir = testDir('installation');
const gameFiles = ['sample.gam', 'sample.tlk', 'spells.bif', 'sample.key'];

let server;
let browser;

before(async () => {
  for (const set of ['sample', 'utf8', 'cyrillic']) makeSample(join(dir, set), set);
  server = await serve(siteDir());
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

const names = (page, selector) => page.locator(selector).evaluateAll((nodes) => nodes.map((n) => n.textContent));
const choose = (page, folder, files) => page.setInputFiles('#file-input', files.map((name) => join(folder, name)));

test('names in UTF-8 and in a single-byte Cyrillic code page are shown in their own script', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  await choose(page, join(dir, 'utf8'), gameFiles);
  await page.locator('#party li').nth(5).waitFor();
  assert.deepEqual(await names(page, '#party .name'), ['Jürgen', 'Ядвига', 'Tamsin', 'Łucja', 'Maren', 'Hollis the Grey']);
  assert.ok(await page.locator('#encoding-choice').isHidden(), 'UTF-8 names need no choice');
  await page.getByRole('button', { name: '0 Jürgen' }).click();
  assert.deepEqual((await names(page, '.level-group:first-of-type .name')).slice(0, 3), ['Flèche de braise', 'Frost Veil', 'Ведьмин свет']);
  await page.getByRole('button', { name: 'Remove Ведьмин свет (level 1, spell 3)' }).click();
  assert.match(await page.locator('#confirm-text').textContent(), /^Ведьмин свет \(level 1, spell 3\) will be removed from Jürgen's spell book\.$/);
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Ведьмин свет from Jürgen.' }).waitFor();
  assert.match(await page.locator('#transcript').textContent(), /\n0 Jürgen\nWhacking Ведьмин свет\n/);

  // The Cyrillic set, shown first in the default Western code page, then in the Cyrillic one.
  await choose(page, join(dir, 'cyrillic'), gameFiles);
  await page.locator('#party .name', { hasText: 'ßäâèãà' }).waitFor();
  assert.ok(await page.locator('#encoding-choice').isVisible());
  assert.equal(await page.locator('#encoding').inputValue(), 'windows-1252');
  assert.deepEqual((await names(page, '#party .name')).slice(0, 2), ['ßäâèãà', 'Áðàò Îëåã']);
  // A removal made while the names show in the wrong script is undone under its right name.
  await page.getByRole('button', { name: '0 ßäâèãà' }).click();
  await page.getByRole('button', { name: 'Remove Îãíåííûé äðîòèê (level 1, spell 1)' }).click();
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Îãíåííûé äðîòèê from ßäâèãà.' }).waitFor();
  await page.locator('#encoding').selectOption({ label: 'Cyrillic' });
  await page.locator('#party .name', { hasText: 'Ядвига' }).waitFor();
  await page.click('#undo');
  assert.equal(await page.locator('#outcome').textContent(), 'Undone: Огненный дротик from Ядвига is back.');
  assert.deepEqual(await names(page, '#party .name'), ['Ядвига', 'Брат Олег', 'Tamsin', 'Quill', 'Maren', 'Hollis the Grey']);
  await page.getByRole('button', { name: '0 Ядвига' }).click();
  assert.deepEqual((await names(page, '.level-group:first-of-type .name')).slice(0, 3), ['Огненный дротик', 'Ледяная завеса', 'Ведьмин свет']);
  assert.match(await page.locator('#transcript').textContent(), /\n0 Ядвига\nLevel 1\n/);
  await page.screenshot({ path: join(dir, 'names.png'), fullPage: true });
  // What the page shows is decoded; what run() gives stays one character per byte.
  const text = await page.evaluate(async (base64) => {
    const files = Object.fromEntries(Object.entries(base64).map(([kind, data]) =>
        [kind, { name: kind, bytes: Uint8Array.from(atob(data), (c) => c.charCodeAt(0)) }]));
    return window.grimtrim.run(files, { member: 0 }).text;
  }, Object.fromEntries([['save', 'sample.gam'], ['stringTable', 'sample.tlk'], ['spellArchive', 'spells.bif'],
                         ['resourceIndex', 'sample.key']].map(([kind, name]) =>
      [kind, readFileSync(join(dir, 'cyrillic', name)).toString('base64')])));
  assert.equal(text, runNative(join(dir, 'cyrillic'), ['-p0', 'sample.gam', 'sample.cfg']).text);
  assert.ok(text.includes('\n0 \xDF\xE4\xE2\xE8\xE3\xE0\n'));

  // The choice is remembered in this browser.
  const again = await context.newPage();
  await again.goto(server.url);
  await again.waitForFunction(() => window.grimtrim !== undefined);
  await choose(again, join(dir, 'cyrillic'), gameFiles);
  await again.locator('#party .name', { hasText: 'Ядвига' }).waitFor();
  assert.deepEqual(await accessibilityProblems((what) => again.evaluate(what), 'the encoding offered'), []);
  assert.deepEqual(problems, []);
  await context.close();
});

test('a folder of several saves: the newest is used, each is listed with its folder, time and party, and another can be chosen', async () => {
  const game = join(dir, 'saves-game');
  const sample = join(dir, 'sample');
  const saves = ['000001-Start', '000002-Before the tower', '000003-Quick Save'];
  for (const [i, folder] of saves.entries()) {
    mkdirSync(join(game, 'save', folder), { recursive: true });
    copyFileSync(join(sample, 'sample.gam'), join(game, 'save', folder, 'party.gam'));
  }
  for (const name of ['sample.tlk', 'spells.bif', 'sample.key', 'sample.cfg']) copyFileSync(join(sample, name), join(game, name));
  // The save of the middle folder is the newest, and Witchlight is gone from it.
  writeFileSync(join(sample, 'whacked.gam'), readFileSync(join(sample, 'sample.gam')));
  runNative(sample, ['-p0', '-s1', '-w3', 'whacked.gam', 'sample.cfg']);
  copyFileSync(join(sample, 'whacked.gam'), join(game, 'save', saves[1], 'party.gam'));
  const day = Date.UTC(2026, 10, 1) / 1000;
  [[0, day], [1, day + 7200], [2, day + 3600]].forEach(([i, time]) => utimesSync(join(game, 'save', saves[i], 'party.gam'), time, time));

  const { page, problems, context } = await openPage(browser, server.url);
  await page.setInputFiles('#folder-input', game);
  await page.locator('#party li').nth(5).waitFor();
  assert.match(await page.locator('#file-list').textContent(), /Saved game: party\.gam in saves-game\/save\/000002-Before the tower, saved /);
  await page.locator('#choose-save option', { hasText: 'Hollis the Grey' }).nth(2).waitFor({ state: 'attached' });
  const options = await names(page, '#choose-save option');
  assert.equal(options.length, 3);
  assert.ok(options[0].startsWith('saves-game/save/000002-Before the tower/party.gam, saved '), options[0]);
  assert.ok(options[1].startsWith('saves-game/save/000003-Quick Save/party.gam'), options[1]);
  assert.ok(options[0].endsWith(': Selwyn, Brother Aldric, Tamsin, Quill, Maren, Hollis the Grey'), options[0]);
  await page.getByRole('button', { name: '0 Selwyn' }).click();
  assert.deepEqual((await names(page, '.level-group:first-of-type .name')), ['Ember Dart', 'Frost Veil', 'Lesser Ward', 'Slumber Dust']);
  await page.getByRole('button', { name: 'Remove Frost Veil (level 1, spell 2)' }).click();
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Frost Veil' }).waitFor();
  assert.ok(await page.locator('#undo').isEnabled());

  // Another save: a new edit, with nothing to undo or download yet.
  await page.locator('#choose-save').selectOption({ index: 2 });
  await page.locator('#file-list', { hasText: '000001-Start' }).waitFor();
  assert.ok(await page.locator('#undo').isDisabled());
  assert.ok(await page.locator('#download').isDisabled());
  await page.getByRole('button', { name: '0 Selwyn' }).click();
  assert.equal((await names(page, '.level-group:first-of-type .name')).length, 5);
  assert.deepEqual(await accessibilityProblems((what) => page.evaluate(what), 'several saves'), []);

  // Back to the save edited before: its removal and its Undo are still there.
  await page.locator('#choose-save').selectOption({ index: 0 });
  await page.locator('#file-list', { hasText: '000002-Before the tower' }).waitFor();
  assert.ok(await page.locator('#undo').isEnabled());
  await page.getByRole('button', { name: '0 Selwyn' }).click();
  assert.deepEqual(await names(page, '.level-group:first-of-type .name'), ['Ember Dart', 'Lesser Ward', 'Slumber Dust']);
  assert.deepEqual(problems, []);
  await context.close();
});

test('spells spread over two archives: the one in use can be switched, and what it lacks is said', async () => {
  const sample = join(dir, 'sample');
  const partial = readFileSync(join(sample, 'spells.bif'));
  partial.writeUInt32LE(10, 8);  // its file table ends after its first ten entries
  writeFileSync(join(sample, 'partial.bif'), partial);
  const empty = readFileSync(join(sample, 'spells.bif'));
  empty.writeUInt32LE(0, 8);
  writeFileSync(join(sample, 'empty.bif'), empty);

  const { page, problems, context } = await openPage(browser, server.url);
  await choose(page, sample, ['empty.bif', 'partial.bif', ...gameFiles]);
  await page.locator('#party li').nth(5).waitFor();
  const listed = await names(page, '#choose-spellArchive option');
  assert.equal(listed.length, 2, 'the archive holding none of the spells is not offered');
  assert.equal(listed[1], "spells.bif: holds 31 of the party's known spells");
  assert.match(listed[0], /^partial\.bif: holds \d+ of the party's known spells$/);
  assert.match(await page.locator('#message').textContent(), /^Of the 3 spell archives given, spells\.bif is used: it holds 31 of the party's known spells/);
  await page.locator('#choose-spellArchive').selectOption({ index: 0 });
  await page.locator('#file-list', { hasText: 'Spell archive: partial.bif' }).waitFor();
  assert.equal(await page.locator('#message').textContent(), '', 'the page no longer speaks of its own pick');
  await page.getByRole('button', { name: '0 Selwyn' }).click();
  const note = await page.locator('#spells .note').textContent();
  assert.match(note, /^\d+ of the known spells of Selwyn are not listed: partial\.bif does not hold them\. They are in spells\.bif; choose that archive above to see them\.$/);

  // Two choices made at once (through the two controls) add up, as they would made one after the other.
  mkdirSync(join(dir, 'utf8-save'), { recursive: true });
  copyFileSync(join(dir, 'utf8', 'sample.gam'), join(dir, 'utf8-save', 'party.gam'));
  await Promise.all([choose(page, join(dir, 'utf8'), ['sample.tlk', 'spells.bif', 'sample.key']),
                     page.setInputFiles('#folder-input', join(dir, 'utf8-save'))]);
  // Either choice may reach the page first, and the save's party shows after the save's choice
  // alone: the two add up once the archive of the other is in use beside the save of the first.
  await page.locator('#file-list', { hasText: /Saved game: party\.gam in utf8-save.*Spell archive: spells\.bif/ }).waitFor();
  await page.locator('#party .name', { hasText: 'Jürgen' }).waitFor();
  assert.deepEqual(problems, []);
  await context.close();
});

test('an installation\'s files chosen one by one from its folders list the spells its folder lists', async () => {
  const game = join(dir, 'one-by-one');
  const root = join(game, 'Vellmark');
  makeSample(root, 'installed');
  const save = 'save/000000002-Tower-Gate/party.gam';
  const filesIn = (folder) => readdirSync(join(root, folder), { withFileTypes: true })
      .filter((entry) => entry.isFile()).map((entry) => `${folder}/${entry.name}`);
  const { page, problems, context } = await openPage(browser, server.url);
  await choose(page, root, [save, 'lang/en_US/dialog.tlk', 'quest.key', ...filesIn('data'), ...filesIn('override')]);
  await page.locator('#party li').nth(3).waitFor();
  assert.equal(await page.locator('#choose-spellArchive').count(), 0, 'the index places every archive: none to choose');
  await page.locator('#party li:first-child button').click();
  await page.locator('#spells .level-group').first().waitFor();
  assert.deepEqual(await page.locator('#spells .level-group').evaluateAll((groups) => groups.map(
      (group) => [...group.querySelectorAll('.name')].map((name) => name.textContent))),
                   [['Ember Dart', 'Frost Veil, Reworked', 'Witchlight', 'Hush of Ash'],
                    ['Spark Swarm', 'Mirror Haze', 'Shade Blade', 'Sticky Strands'], ['Storm Lance']]);
  assert.equal(await page.locator('#transcript-command').textContent(), 'grimtrim -p0 party.gam game-folder');
  assert.match(await page.locator('#transcript-about').textContent(),
               /with a game's folder as its last argument, and what it prints; game-folder stands for a folder holding the files chosen here/);
  const native = runNative(game, ['-p0', `Vellmark/${save}`, 'Vellmark'], { errors: true });
  assert.equal(await page.locator('#transcript').textContent(), native.text);
  assert.deepEqual(problems, []);
  await context.close();
});

test('a file of no kind standing in for the missing save is read no further than its first bytes, beside an archive of gigabytes', async () => {
  const folder = join(dir, 'no-save');
  mkdirSync(folder, { recursive: true });
  for (const name of ['sample.tlk', 'sample.key']) copyFileSync(join(dir, 'sample', name), join(folder, name));
  writeArchive(join(folder, 'big.bif'), 2.5e9, 10, 1);
  writeFileSync(join(folder, 'readme.txt'), 'Selwyn: forget Witchlight.\n');
  const { page, problems, context } = await openPage(browser, server.url);
  await page.setInputFiles('#folder-input', folder);
  await page.locator('#message', { hasText: 'is not a save file' }).waitFor();
  assert.equal(await page.locator('#message').textContent(),
               'readme.txt is not the file this page still needs.' +
               'The command line says: <readme.txt> is not a save file, first chars are not "GAME"' +
               'Add the saved game: the .gam file.');
  assert.deepEqual(problems, []);
  await context.close();
});

// An archive of `size` bytes, sparse, whose file table (at its end) names none of the party's
// spells.
function writeArchive(path, size, entries, seed) {
  const table = Buffer.alloc(entries * 16);
  for (let i = 0; i < entries; ++i) table.writeUInt32LE(0x7F000000 + seed * 4096 + i, i * 16);
  const header = Buffer.alloc(20);
  header.write('BIFFV1  ', 0, 'latin1');
  header.writeInt32LE(entries, 8);
  header.writeUInt32LE(size - table.length, 16);
  const fd = openSync(path, 'w');
  writeSync(fd, header, 0, header.length, 0);
  writeSync(fd, table, 0, table.length, size - table.length);
  ftruncateSync(fd, size);
  closeSync(fd);
}

test('a whole installation: 3,000 other files, 190 archives of 4 GB, 100 loose spells and 20 saves, the newest party on screen within 2 s', async () => {
  // A modded game's size in the current layout: an index of 62,000 resources naming 190
  // archives under data/, each of whose file tables lies before 21 MB of other data.
  const root = join(dir, 'Vellmark');
  makeSample(root, 'installed-large');
  const archives = readdirSync(join(root, 'data'));
  const archiveSize = Math.floor(4e9 / archives.length);
  for (const name of archives) truncateSync(join(root, 'data', name), archiveSize);
  for (const folder of ['music', 'movies']) mkdirSync(join(root, folder), { recursive: true });
  for (let i = 0; i < 3000; ++i) {
    const folder = ['music', 'movies', 'override'][i % 3];
    writeFileSync(join(root, folder, `item${String(i).padStart(4, '0')}.${['acm', 'mve', 'itm'][i % 3]}`), `unrelated ${i}\n`);
  }
  const day = Date.UTC(2026, 10, 1) / 1000;
  const party = readFileSync(join(root, 'save', '000000002-Tower-Gate', 'party.gam'));
  rmSync(join(root, 'save'), { recursive: true });
  for (let i = 1; i <= 20; ++i) {
    const folder = join(root, 'save', `${String(i).padStart(6, '0')}-Save ${i}`);
    mkdirSync(folder, { recursive: true });
    writeFileSync(join(folder, 'party.gam'), party);
    const time = day + (i === 13 ? 100000 : i * 60);  // the 13th is the newest
    utimesSync(join(folder, 'party.gam'), time, time);
  }

  const { page, problems, context } = await openPage(browser, server.url);
  const cdp = await context.newCDPSession(page);
  const chosen = performance.now();
  await page.setInputFiles('#folder-input', root);
  const handed = performance.now();
  await page.waitForFunction(() => performance.getEntriesByName('grimtrim:party-shown').length === 1, null, { timeout: 60000 });
  const [examinedMs, readMs, partyMs, read] = await page.evaluate(() => {
    const at = (name) => performance.getEntriesByName(name)[0].startTime - performance.getEntriesByName('grimtrim:files-chosen')[0].startTime;
    return [at('grimtrim:files-examined'), at('grimtrim:folder-read'), at('grimtrim:party-shown'),
            performance.getEntriesByName('grimtrim:folder-read')[0].detail];
  });
  await cdp.send('HeapProfiler.collectGarbage');
  // The objects on the heap and the array buffers behind them, the module's memory among them.
  const { usedSize, backingStorageSize } = await cdp.send('Runtime.getHeapUsage');
  const heapMb = (usedSize + backingStorageSize) / 2 ** 20;
  console.log(`installation (3,000 other files, ${archives.length} archives of ${((archiveSize * archives.length) / 1e9).toFixed(1)} GB, ` +
              `100 loose spells and 20 saves): handing the folder to the page took ${((handed - chosen) / 1000).toFixed(2)} s; ` +
              `the newest save's party was on screen ${partyMs.toFixed(0)} ms after the page had the files (files examined after ` +
              `${examinedMs.toFixed(0)} ms, the folder's spells read after ${readMs.toFixed(0)} ms: ${read.reads} reads, ` +
              `${(read.bytes / 2 ** 20).toFixed(2)} MB); JavaScript heap afterwards ${heapMb.toFixed(1)} MB ` +
              `(${(usedSize / 2 ** 20).toFixed(1)} MB of objects, ${(backingStorageSize / 2 ** 20).toFixed(1)} MB of array buffers)`);
  const files = await page.locator('#file-list').textContent();
  assert.match(files, /Saved game: party\.gam in Vellmark\/save\/000013-Save 13/);
  assert.match(files, /Spell archives: the 190 that quest\.key names, in Vellmark/);
  assert.equal(await page.locator('#choose-spellArchive').count(), 0);
  await page.locator('#choose-save option', { hasText: ': ' }).nth(19).waitFor({ state: 'attached' });
  assert.equal(await page.locator('#party li').count(), 6);
  assert.ok(partyMs <= 2000, `party after ${partyMs} ms`);
  assert.ok(heapMb < 150, `heap ${heapMb} MB`);
  // The index and the string table whole, the loose spells the party knows, and of the archives
  // only their heads, tables and the party's spell headers: a few MB of the 4 GB.
  assert.ok(read.bytes < 4 * 2 ** 20, `${read.bytes} bytes read`);

  // A member's listing is the command line's folder form, the override folder's spells among it.
  await page.getByRole('button', { name: '1 Member 0' }).click();
  await page.locator('#spells .level-group').first().waitFor();
  assert.equal(await page.locator('#transcript-command').textContent(), "grimtrim -p0 'Vellmark/save/000013-Save 13/party.gam' Vellmark");
  const native = runNative(dir, ['-p0', 'Vellmark/save/000013-Save 13/party.gam', 'Vellmark'], { errors: true });
  assert.equal(await page.locator('#transcript').textContent(), native.text);
  assert.deepEqual(problems, []);
  await context.close();
});
