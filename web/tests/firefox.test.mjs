// The page as a player uses it in Firefox, opened from disk and over HTTP: choose the demo's
// files, pick a member and a level, remove a spell, download the edited save and compare it with
// the command line's whack; the accessibility checker looks at the page in every state.
import assert from 'node:assert/strict';
import { existsSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, before, test } from 'node:test';
import { accessibilityProblems, makeSample, openFirefox, pagePath, runNative, serve, siteDir, testDir } from './harness.mjs';

const dir = testDir('firefox');
const sample = join(dir, 'sample');
const stress = join(dir, 'stress');
const banner = "\nOrvane's Grimtrim 1.01 -- whack spells a Vellmark character\n" +
               '                                     has in his/her spell book\n\n';
const whackWitchlight = `${banner}0 Selwyn\nWhacking Witchlight\n\nfirst memorized spell of lowest spell level will be duplicated`;

let server;

before(async () => {
  makeSample(sample, 'sample');
  makeSample(stress, 'stress');
  writeFileSync(join(sample, 'whacked.gam'), readFileSync(join(sample, 'sample.gam')));
  assert.equal(runNative(sample, ['-p0', '-s1', '-w3', 'whacked.gam', 'sample.cfg']).text, whackWitchlight);
  server = await serve(siteDir());
});

after(() => server?.close());

// Waits until the file the page handed over is whole in `folder`, and gives its bytes.
async function downloaded(folder, name) {
  const file = join(folder, name);
  for (let waited = 0; waited < 10000; waited += 50) {
    const partial = readdirSync(folder).some((entry) => entry.endsWith('.part'));
    if (existsSync(file) && !partial) return readFileSync(file);
    await new Promise((done) => setTimeout(done, 50));
  }
  throw new Error(`${name} was not downloaded into ${folder}`);
}

const openings = { 'opened from disk': () => pathToFileURL(pagePath()).href, 'served over HTTP': () => server.url };

for (const [opening, address] of Object.entries(openings)) {
  test(`Firefox: a player removes a spell and downloads the save, ${opening}`, async () => {
    const downloads = testDir(`firefox/downloads-${opening.split(' ').at(-1)}`);
    const session = await openFirefox(address(), downloads);
    const { page } = session;
    const text = (selector) => page.$eval(selector, (node) => node.textContent);
    const waitForText = (selector, wanted) => page.waitForFunction(
        (s, w) => document.querySelector(s)?.textContent.includes(w), {}, selector, wanted);
    const accessibility = [];
    const check = async (state) => accessibility.push(...await accessibilityProblems((what) => page.evaluate(what), state));
    try {
      await check('opened');
      const input = await page.$('#file-input');
      await input.uploadFile(...['sample.gam', 'sample.tlk', 'spells.bif', 'sample.key'].map((n) => join(sample, n)));
      await page.waitForSelector('#party li:nth-child(6)');
      assert.deepEqual(await page.$$eval('#party .name', (names) => names.map((n) => n.textContent)),
                       ['Selwyn', 'Brother Aldric', 'Tamsin', 'Quill', 'Maren', 'Hollis the Grey']);
      await check('files chosen');

      await page.click('#party li:first-child button');
      await page.waitForSelector('#spells .level-group');
      await check('a member shown');
      const levelOne = await page.$$eval('#spells .level-group:first-of-type li .name', (names) => names.map((n) => n.textContent));
      assert.deepEqual(levelOne, ['Ember Dart', 'Frost Veil', 'Witchlight', 'Lesser Ward', 'Slumber Dust']);

      await page.click('button[aria-label="Remove Witchlight (level 1, spell 3)"]');
      await page.waitForSelector('dialog#confirm[open]');
      assert.match(await text('#confirm'), /Witchlight \(level 1, spell 3\) will be removed from Selwyn's spell book/);
      await check('the confirmation open');
      await page.click('#confirm-remove');
      await waitForText('#outcome', 'Removed Witchlight from Selwyn.');
      assert.equal(await text('#transcript'), whackWitchlight);
      await check('an outcome shown');

      await page.click('#download');
      assert.ok((await downloaded(downloads, 'sample.gam')).equals(readFileSync(join(sample, 'whacked.gam'))),
                'the download is the command line\'s whack, byte for byte');
      assert.deepEqual(accessibility, []);
      assert.deepEqual(await session.problems(), []);
    } finally {
      await session.close();
    }
  });
}

test('Firefox: the stress set\'s party within 1 s of choosing the files, a member\'s spells within 200 ms', async () => {
  const session = await openFirefox(server.url);
  const { page } = session;
  const measure = (start, end) => page.evaluate((s, e) => {
    const last = (name) => performance.getEntriesByName(name).at(-1).startTime;
    return last(e) - last(s);
  }, start, end);
  try {
    const input = await page.$('#file-input');
    await input.uploadFile(...['sample.gam', 'sample.tlk', 'spells.bif', 'sample.key'].map((n) => join(stress, n)));
    await page.waitForFunction(() => performance.getEntriesByName('grimtrim:party-shown').length === 1);
    const partyMs = await measure('grimtrim:files-chosen', 'grimtrim:party-shown');
    const spellMs = [];
    for (let member = 1; member <= 6; ++member) {
      await page.click(`#party li:nth-child(${member}) button`);
      await page.waitForFunction((n) => performance.getEntriesByName('grimtrim:spells-shown').length === n, {}, member);
      spellMs.push(await measure('grimtrim:member-chosen', 'grimtrim:spells-shown'));
    }
    console.log(`Firefox, stress set: party shown ${partyMs.toFixed(0)} ms after the files were chosen; ` +
                `a member's spells ${spellMs.map((ms) => ms.toFixed(0)).join(', ')} ms after the click`);
    assert.ok(partyMs < 1000, `party after ${partyMs} ms`);
    assert.ok(Math.max(...spellMs) < 200, `spells after ${spellMs} ms`);
    assert.deepEqual(await session.problems(), []);
  } finally {
    await session.close();
  }
});
