// The page as a player uses it, in Chromium: drop the demo's game set, pick a member and a level,
// remove spells, undo, download, and compare the download with the command line's whack; wrong
// and damaged files; the archive picked among several; and the speed on the stress set.
import assert from 'node:assert/strict';
import { copyFileSync, mkdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, before, test } from 'node:test';
import { accessibilityProblems, launchBrowser, makeSample, openPage, pagePath, runNative, serve, siteDir, testDir } from './harness.mjs';

const dir = testDir('page');
const sample = join(dir, 'sample');
const stress = join(dir, 'stress');
const sampleSet = ['sample.gam', 'sample.tlk', 'spells.bif', 'sample.key', 'sample.cfg'];
// The game that keeps spells by class, its files picked one by one.
const classes = join(dir, 'classes-flat');
const classSet = ['party.gam', 'dialog.tlk', 'spells.bif', 'realm.key'];

// What README.md shows the command line print for the demo session.
const banner = "\nOrvane's Grimtrim 1.01 -- whack spells a Vellmark character\n" +
               '                                     has in his/her spell book\n\n';
const partyListing = `${banner}0 Selwyn\n1 Brother Aldric\n2 Tamsin -- no spells\n3 Quill\n4 Maren\n` +
                     '5 Hollis the Grey\n\n\nUse -pN to select the party member';
const levelListing = `${banner}0 Selwyn\nLevel 1\nLevel 2\nLevel 3\nLevel 4\nLevel 1\nLevel 5\n\n\n` +
                     'Use -sN to select the spell level to display';
const firstLevel = `${banner}0 Selwyn\nLevel 1, Spell 1: Ember Dart\nLevel 1, Spell 2: Frost Veil\n` +
                   'Level 1, Spell 3: Witchlight\nLevel 1, Spell 4: Lesser Ward\nLevel 1, Spell 5: Slumber Dust\n';
const whackWitchlight = `${banner}0 Selwyn\nWhacking Witchlight\n\nfirst memorized spell of lowest spell level will be duplicated`;

let server;
let browser;

before(async () => {
  makeSample(sample, 'sample');
  makeSample(stress, 'stress');
  makeSample(join(dir, 'classes'), 'classes');
  mkdirSync(classes, { recursive: true });
  for (const [from, to] of [['save/000000004-Bell-Tower/party.gam', 'party.gam'], ['dialog.tlk', 'dialog.tlk'],
                            ['data/spells.bif', 'spells.bif'], ['realm.key', 'realm.key']]) {
    copyFileSync(join(dir, 'classes', from), join(classes, to));
  }
  writeFileSync(join(classes, 'flat.cfg'), 'dialog.tlk\nspells.bif\nrealm.key\n');
  // An archive with no file entries, given before the real one.
  const empty = readFileSync(join(sample, 'spells.bif'));
  empty.writeUInt32LE(0, 8);
  writeFileSync(join(sample, 'other.bif'), empty);
  // One that lists only its first ten file entries: some of the party's spells, not all.
  const partial = readFileSync(join(sample, 'spells.bif'));
  partial.writeUInt32LE(10, 8);
  writeFileSync(join(sample, 'partial.bif'), partial);
  writeFileSync(join(sample, 'notes.gam'), 'Selwyn: forget Witchlight.\n');
  writeFileSync(join(sample, 'damaged.gam'), readFileSync(join(sample, 'sample.gam')).subarray(0, 5000));
  server = await serve(siteDir());
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

// Drops files on the page as a file manager would.
async function drop(page, folder, names) {
  const files = names.map((name) => ({ name, base64: readFileSync(join(folder, name)).toString('base64') }));
  const dataTransfer = await page.evaluateHandle((files) => {
    const transfer = new DataTransfer();
    for (const { name, base64 } of files) {
      transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
    }
    return transfer;
  }, files);
  await page.dispatchEvent('#drop-zone', 'dragover', { dataTransfer });
  await page.dispatchEvent('#drop-zone', 'drop', { dataTransfer });
}

const transcript = (page) => page.locator('#transcript').textContent();
const rows = (locator) => locator.evaluateAll((items) => items.map(
    (item) => [...item.querySelectorAll('.num, .name, .tag')].map((part) => part.textContent)));
const levelRows = (page, level) => rows(page.locator('.level-group', {
  has: page.getByRole('button', { name: `Level ${level}`, exact: true }),
}).locator('li'));

async function remove(page, name, level, number) {
  await page.getByRole('button', { name: `Remove ${name} (level ${level}, spell ${number})` }).click();
  const dialog = page.locator('dialog#confirm');
  await dialog.waitFor({ state: 'visible' });
  return dialog;
}

async function download(page, file) {
  const [saved] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
  assert.equal(saved.suggestedFilename(), 'sample.gam');
  await saved.saveAs(file);
  return readFileSync(file);
}

// The page as a player opens it: downloaded and double-clicked, and from a web host.
const openings = { 'opened from disk': () => pathToFileURL(pagePath()).href, 'served over HTTP': () => server.url };

for (const [opening, address] of Object.entries(openings)) test(`a player removes spells from a copy of the save and downloads it, ${opening}`, async () => {
  const { page, problems, context } = await openPage(browser, address());
  const accessibility = [];
  const check = async (state) => accessibility.push(...await accessibilityProblems((what) => page.evaluate(what), state));
  const original = readFileSync(join(sample, 'sample.gam'));
  await check('opened');
  await drop(page, sample, ['other.bif', ...sampleSet]);

  await page.locator('#party li').nth(5).waitFor();
  assert.deepEqual(await rows(page.locator('#party li')), [
    ['0', 'Selwyn'], ['1', 'Brother Aldric'], ['2', 'Tamsin', 'no spells'], ['3', 'Quill'],
    ['4', 'Maren'], ['5', 'Hollis the Grey'],
  ]);
  assert.equal(await transcript(page), partyListing);
  assert.match(await page.locator('#message').textContent(),
               /Of the 2 spell archives given, spells\.bif is used: it holds 31 of the party's known spells/);
  assert.match(await page.locator('#file-list').textContent(), /Not a file of the game, not used: sample\.cfg\./);
  await check('files chosen');

  await page.getByRole('button', { name: '0 Selwyn' }).click();
  assert.equal(await transcript(page), levelListing);
  assert.deepEqual(await levelRows(page, 1), [
    ['1', 'Ember Dart'], ['2', 'Frost Veil'], ['3', 'Witchlight'], ['4', 'Lesser Ward'], ['5', 'Slumber Dust'],
  ]);
  assert.deepEqual(await levelRows(page, 5), [['1', 'Choking Fog']]);
  await check('a member shown');
  await page.screenshot({ path: join(dir, 'page.png'), fullPage: true });

  await page.getByRole('button', { name: 'Level 1', exact: true }).click();
  assert.equal(await transcript(page), firstLevel);

  // A removal the player thinks better of changes nothing.
  await remove(page, 'Witchlight', 1, 3);
  await page.keyboard.press('Escape');
  assert.equal((await levelRows(page, 1)).length, 5);
  assert.ok(await page.locator('#download').isDisabled());

  const dialog = await remove(page, 'Witchlight', 1, 3);
  const question = await dialog.textContent();
  for (const word of ['Witchlight', 'Selwyn', 'method 1']) assert.ok(question.includes(word), `${word} in: ${question}`);
  await check('the confirmation open');
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Witchlight' }).waitFor();
  assert.equal(await transcript(page), whackWitchlight);
  assert.match(await page.locator('#outcome').textContent(), /Removed Witchlight from Selwyn\.Method 1 did its whole work/);
  await check('an outcome shown');
  assert.deepEqual(await levelRows(page, 1), [
    ['1', 'Ember Dart'], ['2', 'Frost Veil'], ['3', 'Lesser Ward'], ['4', 'Slumber Dust'],
  ]);

  // The download is the command line's whack on a copy, byte for byte.
  writeFileSync(join(sample, 'whacked.gam'), original);
  assert.equal(runNative(sample, ['-p0', '-s1', '-w3', 'whacked.gam', 'sample.cfg']).text, whackWitchlight);
  assert.ok((await download(page, join(dir, 'download-1.gam'))).equals(readFileSync(join(sample, 'whacked.gam'))));

  await page.click('#undo');
  assert.equal((await levelRows(page, 1)).length, 5);
  assert.ok(await page.locator('#undo').isDisabled());

  // Two removals under method 0, by keyboard, each on the result of the last.
  await page.locator('#advanced summary').click();
  await page.getByLabel(/Method 0/).check();
  await page.getByRole('button', { name: 'Remove Frost Veil (level 1, spell 2)' }).focus();
  await page.keyboard.press('Enter');
  assert.match(await page.locator('#confirm-method').textContent(), /method 0/);
  await page.keyboard.press('Tab');
  await page.keyboard.press('Enter');
  await page.locator('#outcome', { hasText: 'Removed Frost Veil' }).waitFor();
  await remove(page, 'Mirror Twin', 2, 1);
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Mirror Twin' }).waitFor();
  assert.deepEqual(await levelRows(page, 5), [['1', 'Choking Fog'], ['2', 'Choking Fog'], ['3', 'Choking Fog']]);

  writeFileSync(join(sample, 'method0.gam'), original);
  runNative(sample, ['-f0', '-p0', '-s1', '-w2', 'method0.gam', 'sample.cfg']);
  runNative(sample, ['-f0', '-p0', '-s2', '-w1', 'method0.gam', 'sample.cfg']);
  assert.ok((await download(page, join(dir, 'download-2.gam'))).equals(readFileSync(join(sample, 'method0.gam'))));
  assert.ok(readFileSync(join(sample, 'sample.gam')).equals(original), 'the chosen file is never written');

  await page.setViewportSize({ width: 375, height: 900 });
  await page.screenshot({ path: join(dir, 'page-phone.png'), fullPage: true });
  await check('at phone width');
  assert.deepEqual(accessibility, []);
  assert.deepEqual(problems, []);
  await context.close();
});

test('wrong and damaged files show the command line\'s messages', async () => {
  // A file of no kind where the save is missing is taken for the save.
  let { page, problems, context } = await openPage(browser, server.url);
  await drop(page, sample, ['sample.tlk', 'spells.bif', 'sample.key', 'notes.gam']);
  await page.locator('#message', { hasText: 'is not a save file' }).waitFor();
  assert.match(await page.locator('#message').textContent(), /<notes\.gam> is not a save file, first chars are not "GAME"/);
  assert.equal(await transcript(page), `${banner}<notes.gam> is not a save file, first chars are not "GAME"`);
  assert.equal(await page.locator('#party li').count(), 0);
  assert.deepEqual(problems, []);
  await context.close();

  // Kinds still missing are named.
  ({ page, problems, context } = await openPage(browser, server.url));
  await drop(page, sample, ['sample.gam']);
  await page.locator('#message', { hasText: 'Add' }).waitFor();
  assert.equal(await page.locator('#message').textContent(),
               "Add the game's string table: the .tlk file.Add the game's spell archive: a .bif file." +
               "Add the game's resource index: the .key file.");
  await drop(page, sample, ['sample.tlk', 'spells.bif', 'sample.key']);
  await page.locator('#party li').nth(5).waitFor();

  // A save cut short: the members before the damage, then the command line's message.
  await drop(page, sample, ['damaged.gam']);
  await page.locator('#message', { hasText: 'oops' }).waitFor();
  assert.deepEqual(await rows(page.locator('#party li')), [['0', 'Selwyn'], ['1', 'Brother Aldric']]);
  assert.match(await page.locator('#message').textContent(), /The command line says: oops, missed CRE pointer$/);
  assert.deepEqual(problems, []);
  await context.close();
});

test('a member whose game keeps spells by class lists them with their class, and a removal downloads a shorter save', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  await drop(page, classes, classSet);
  await page.locator('#party li').nth(3).waitFor();
  await page.getByRole('button', { name: '1 Dunmore Pike' }).click();
  await page.getByRole('button', { name: 'Level 1', exact: true }).click();
  assert.deepEqual(await levelRows(page, 1), [['1', 'Ember Ward'], ['2', 'Gloom Veil'], ['3', 'Spark Needle']]);
  assert.deepEqual(await page.locator('.level-group li .class').allTextContents(),
                   ['Sorcerer', 'Wizard', 'Wizard', 'Wizard', 'Sorcerer', 'Wizard']);
  await page.getByRole('button', { name: 'Remove Gloom Veil (Wizard, level 1, spell 2)' }).click();
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Gloom Veil' }).waitFor();
  assert.match(await page.locator('#outcome').textContent(), /the save is 16 bytes shorter/);
  assert.deepEqual(await levelRows(page, 1), [['1', 'Ember Ward'], ['2', 'Spark Needle']]);
  // The download is the command line's whack of the same files, 16 bytes shorter.
  const original = readFileSync(join(classes, 'party.gam'));
  writeFileSync(join(classes, 'whacked.gam'), original);
  runNative(classes, ['-p1', '-s1', '-w2', 'whacked.gam', 'flat.cfg']);
  const [saved] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
  assert.equal(saved.suggestedFilename(), 'party.gam');
  await saved.saveAs(join(dir, 'download-classes.gam'));
  const downloaded = readFileSync(join(dir, 'download-classes.gam'));
  assert.equal(downloaded.length, original.length - 16);
  assert.ok(downloaded.equals(readFileSync(join(classes, 'whacked.gam'))));
  assert.deepEqual(problems, []);
  await context.close();
});

test('an exported character is a save of one member, and the removal downloads it under its own name', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  await drop(page, sample, ['selwyn.chr', 'sample.tlk', 'spells.bif', 'sample.key']);
  await page.locator('#party li').first().waitFor();
  assert.deepEqual(await rows(page.locator('#party li')), [['0', 'Selwyn']]);
  await page.getByRole('button', { name: '0 Selwyn' }).click();
  await page.getByRole('button', { name: 'Level 1', exact: true }).click();
  await (await remove(page, 'Witchlight', 1, 3)).waitFor();
  await page.locator('#confirm-remove').click();
  await page.locator('#outcome', { hasText: 'Removed Witchlight' }).waitFor();
  assert.equal(await page.locator('#transcript-command').textContent(), 'grimtrim -p0 -s1 -w3 selwyn.chr game-folder');
  writeFileSync(join(sample, 'whacked.chr'), readFileSync(join(sample, 'selwyn.chr')));
  runNative(sample, ['-p0', '-s1', '-w3', 'whacked.chr', 'sample.cfg']);
  const [saved] = await Promise.all([page.waitForEvent('download'), page.click('#download')]);
  assert.equal(saved.suggestedFilename(), 'selwyn.chr');
  await saved.saveAs(join(dir, 'download.chr'));
  assert.ok(readFileSync(join(dir, 'download.chr')).equals(readFileSync(join(sample, 'whacked.chr'))));
  assert.deepEqual(problems, []);
  await context.close();
});

test('a click on a member, a removal and an undo each cross into the core at most 4 times', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  await drop(page, sample, sampleSet);
  await page.locator('#party li').nth(5).waitFor();
  const crossings = () => page.evaluate(() => window.grimtrim.core.crossings);
  const counted = async (act) => {
    const before = await crossings();
    await act();
    return (await crossings()) - before;
  };
  const click = await counted(async () => {
    await page.getByRole('button', { name: '0 Selwyn' }).click();
    await page.locator('#spells .level-group').first().waitFor();
  });
  const removal = await counted(async () => {
    await remove(page, 'Witchlight', 1, 3);
    await page.locator('#confirm-remove').click();
    await page.locator('#outcome', { hasText: 'Removed Witchlight' }).waitFor();
  });
  const undone = await counted(async () => {
    await page.click('#undo');
    await page.locator('#outcome', { hasText: 'Undone' }).waitFor();
  });
  console.log(`calls into the core: ${click} for a click on a member, ${removal} for a removal, ${undone} for an undo`);
  assert.ok(click <= 4 && removal <= 4 && undone <= 4, `${click}, ${removal}, ${undone}`);
  assert.equal((await levelRows(page, 1)).length, 5, 'the undo shows the spells as they now are');
  assert.deepEqual(problems, []);
  await context.close();
});

test('a browser that cannot run the core says so in words', async () => {
  // WebAssembly switched off, as a browser's settings or policies can do it.
  const noWasm = await browser.newContext();
  await noWasm.addInitScript(() => { delete globalThis.WebAssembly; });
  const page = await noWasm.newPage();
  await page.goto(pathToFileURL(pagePath()).href);
  await page.locator('#starting', { hasText: 'cannot run' }).waitFor();
  assert.equal(await page.locator('#starting').textContent(),
               'Grimtrim cannot run in this browser: this browser does not run WebAssembly, or it is switched off. ' +
               'Open this page in a current Chrome, Edge, Firefox or Safari, with WebAssembly allowed.');
  assert.ok(await page.locator('#files').isHidden());
  await noWasm.close();
  // Without JavaScript the page still tells why nothing happens.
  const noScript = await browser.newContext({ javaScriptEnabled: false });
  const bare = await noScript.newPage();
  await bare.goto(pathToFileURL(pagePath()).href);
  assert.match(await bare.locator('body').innerText(), /Grimtrim needs JavaScript/);
  await noScript.close();
});

test('the archive that holds the most of the party\'s spells is picked, the first one on a tie', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const picks = await page.evaluate(async (files) => {
    const bytes = Object.fromEntries(await Promise.all(files.map(async ([name, base64]) =>
        [name, { name, bytes: Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)) }])));
    const pick = (...names) => window.grimtrim.pickArchive(bytes['sample.gam'], bytes['sample.key'],
                                                           names.map((name) => bytes[name]));
    return [await pick('other.bif', 'spells.bif'), await pick('spells.bif', 'other.bif'),
            await pick('other.bif', 'other.bif'), await pick('spells.bif', 'copy.bif'),
            await pick('copy.bif', 'spells.bif', 'other.bif'), await pick('other.bif', 'partial.bif', 'spells.bif'),
            await pick('partial.bif', 'other.bif')];
  }, ['sample.gam', 'sample.key', 'spells.bif', 'other.bif', 'partial.bif'].map(
      (name) => [name, readFileSync(join(sample, name)).toString('base64')]).concat(
      [['copy.bif', readFileSync(join(sample, 'spells.bif')).toString('base64')]]));
  assert.deepEqual(picks.map((p) => p.index), [1, 0, 0, 0, 0, 2, 0]);
  assert.deepEqual(picks[0].scores, [0, 31]);
  const [, partial, whole] = picks[5].scores;
  assert.ok(partial > 0 && partial < whole, `scores ${picks[5].scores}`);
  assert.deepEqual(problems, []);
  await context.close();
});

test('the stress set: the party shows within 1 s of choosing the files, a member\'s spells within 200 ms', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const pageBytes = statSync(pagePath()).size;
  console.log(`grimtrim.html: ${pageBytes} B`);
  assert.ok(pageBytes <= 300 * 1000, `the page takes ${pageBytes} bytes`);

  const measure = (start, end) => page.evaluate(([start, end]) => {
    const last = (name) => performance.getEntriesByName(name).at(-1).startTime;
    return last(end) - last(start);
  }, [start, end]);
  await page.setInputFiles('#file-input', ['sample.gam', 'sample.tlk', 'spells.bif', 'sample.key'].map((name) => join(stress, name)));
  await page.waitForFunction(() => performance.getEntriesByName('grimtrim:party-shown').length === 1);
  const partyMs = await measure('grimtrim:files-chosen', 'grimtrim:party-shown');
  const spellMs = [];
  for (let member = 0; member < 6; ++member) {
    await page.locator('#party button').nth(member).click();
    await page.waitForFunction((n) => performance.getEntriesByName('grimtrim:spells-shown').length === n, member + 1);
    spellMs.push(await measure('grimtrim:member-chosen', 'grimtrim:spells-shown'));
  }
  const spells = await page.locator('#spells li').count();
  console.log(`stress set (${['sample.gam', 'sample.tlk', 'spells.bif', 'sample.key'].map((n) => statSync(join(stress, n)).size).reduce((a, b) => a + b)} B): ` +
              `party shown ${partyMs.toFixed(1)} ms after the files were chosen; a member's spells ` +
              `(${spells} of the last) ${spellMs.map((ms) => ms.toFixed(1)).join(', ')} ms after the click`);
  assert.ok(partyMs < 1000, `party after ${partyMs} ms`);
  assert.ok(Math.max(...spellMs) < 200, `spells after ${spellMs} ms`);
  assert.deepEqual(problems, []);
  await context.close();
});
