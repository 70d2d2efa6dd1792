// The core's answers as the page receives them, in Chromium: how a run ended as values, the
// message the command line printed for a stop, the codes by name and the conventions the page
// speaks of, the kinds' signatures, an archive's file table read from byte slices, and a game's
// folder read in the parts the core asks for.
import assert from 'node:assert/strict';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, makeSample, openPage, serve, siteDir, testDir } from './harness.mjs';

const dir = testDir('bridge');
const sample = join(dir, 'sample');
const base64 = (name) => readFileSync(join(sample, name)).toString('base64');

let server;
let browser;

before(async () => {
  makeSample(sample, 'sample');
  makeSample(join(dir, 'Vellmark'), 'installed');
  writeFileSync(join(sample, 'notes.gam'), 'Selwyn: forget Witchlight.\n');
  writeFileSync(join(sample, 'damaged.gam'), readFileSync(join(sample, 'sample.gam')).subarray(0, 5000));
  writeFileSync(join(sample, 'short.key'), readFileSync(join(sample, 'sample.key')).subarray(0, 300));
  server = await serve(siteDir());
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

// Runs `cases` ([{ files: { kind: name }, options }]) in the page: each result with its bytes as
// plain arrays and text, as the page would read them.
async function runInPage(page, cases) {
  const names = [...new Set(cases.flatMap((c) => Object.values(c.files)))];
  return page.evaluate(({ cases, contents }) => {
    const bytes = (name) => Uint8Array.from(atob(contents[name]), (c) => c.charCodeAt(0));
    const text = (b) => String.fromCharCode(...b);
    return cases.map(({ files, options }) => {
      const given = Object.fromEntries(Object.entries(files).map(([kind, name]) => [kind, { name, bytes: bytes(name) }]));
      const { status, message, outcome } = window.grimtrim.run(given, options);
      return { status, message: text(message),
               outcome: outcome && { ...outcome, missingName: text(outcome.missingName), message: text(outcome.message) } };
    });
  }, { cases, contents: Object.fromEntries(names.map((name) => [name, base64(name)])) });
}

const gameSet = { save: 'sample.gam', stringTable: 'sample.tlk', spellArchive: 'spells.bif', resourceIndex: 'sample.key' };

test('a run ends with values: whacked, stopped and why, or a file that failed its check', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const [whacked, unknownMethod, damaged, shortIndex, notASave, listed] = await runInPage(page, [
    { files: gameSet, options: { member: 0, level: 1, number: 3 } },
    { files: gameSet, options: { member: 0, level: 1, number: 3, method: 7 } },
    { files: { ...gameSet, save: 'damaged.gam' }, options: {} },
    { files: { ...gameSet, resourceIndex: 'short.key' }, options: { member: 0 } },
    { files: { ...gameSet, save: 'notes.gam' }, options: {} },
    { files: gameSet, options: { member: 0, level: 1 } },
  ]);
  assert.equal(whacked.status, 0);
  assert.equal(whacked.message, '');
  assert.deepEqual({ end: whacked.outcome.end, member: whacked.outcome.member, level: whacked.outcome.whacked.level,
                     number: whacked.outcome.whacked.number, whack: whacked.outcome.whack },
                   { end: 1, member: 0, level: 1, number: 3, whack: { end: 1, unknownMethod: false } });
  assert.deepEqual(unknownMethod.outcome.whack, { end: 1, unknownMethod: true });

  assert.deepEqual({ end: damaged.outcome.end, member: damaged.outcome.member, message: damaged.message },
                   { end: 3, member: 2, message: 'oops, missed CRE pointer' });

  assert.equal(shortIndex.outcome.end, 5);
  const [, name] = shortIndex.message.match(/^known spell <([^>]*)> not found in \.key$/) ?? [];
  assert.ok(name, shortIndex.message);
  assert.equal(shortIndex.outcome.missingName.split('\0')[0], name, 'the name as its 8 bytes');

  assert.deepEqual(notASave, { status: 1, message: '<notes.gam> is not a save file, first chars are not "GAME"', outcome: null });
  assert.deepEqual({ end: listed.outcome.end, message: listed.message }, { end: 0, message: '' });
  assert.deepEqual(problems, []);
  await context.close();
});

test('a session\'s party and a member\'s spells end with the same codes, each spell numbered within its level', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const [party, damagedParty, spells] = await page.evaluate((contents) => {
    const bytes = (name) => Uint8Array.from(atob(contents[name]), (c) => c.charCodeAt(0));
    const { core } = window.grimtrim;
    const text = (b) => String.fromCharCode(...b);
    const files = Object.fromEntries(Object.entries({ save: 'sample.gam', stringTable: 'sample.tlk', spellArchive: 'spells.bif',
                                                      resourceIndex: 'short.key' }).map(([k, n]) => [k, { name: n, bytes: bytes(n) }]));
    const summary = ({ members, end, stoppedAt, message }) => ({ names: members.map((m) => text(m.name)), end, stoppedAt, message: text(message) });
    const session = core.open(files);
    try {
      const listed = session.run({ member: 0 }).memberListing;
      return [summary(session.party(bytes('sample.gam'))), summary(session.party(bytes('damaged.gam'))),
              { end: listed.end, message: text(listed.message), numbers: listed.spells.map((s) => `${s.level}.${s.number}`) }];
    } finally {
      session.close();
    }
  }, Object.fromEntries(['sample.gam', 'damaged.gam', 'sample.tlk', 'spells.bif', 'short.key'].map((n) => [n, base64(n)])));
  assert.deepEqual(party, { names: ['Selwyn', 'Brother Aldric', 'Tamsin', 'Quill', 'Maren', 'Hollis the Grey'],
                            end: 0, stoppedAt: 0, message: '' });
  assert.deepEqual(damagedParty, { names: ['Selwyn', 'Brother Aldric'], end: 3, stoppedAt: 2, message: 'oops, missed CRE pointer' });
  assert.equal(spells.end, 5);
  assert.match(spells.message, /^known spell <[^>]*> not found in \.key$/);
  // Numbers count within each level, whatever levels come between.
  const seen = {};
  for (const tag of spells.numbers) {
    const [level, number] = tag.split('.').map(Number);
    seen[level] = (seen[level] ?? 0) + 1;
    assert.equal(number, seen[level], spells.numbers.join(' '));
  }
  assert.deepEqual(problems, []);
  await context.close();
});

test('the core sends its codes by name and its conventions, and the page has words for every code it words', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const sent = await page.evaluate(() => {
    const { core, unworded } = window.grimtrim;
    return { tables: Object.keys(core.codes), frozen: [core.codes, ...Object.values(core.codes), core.conventions].every(Object.isFrozen),
             conventions: core.conventions, unworded: unworded() };
  });
  assert.deepEqual(sent.unworded, [], 'codes the page cannot word');
  assert.deepEqual(sent.tables, ['RunEnd', 'WhackEnd', 'ArchiveTrouble', 'InflateTrouble', 'FileRole', 'FileStep', 'AnswerPart',
                                 'SpellClass']);
  assert.ok(sent.frozen);
  assert.deepEqual(sent.conventions, {
    notGiven: -1, defaultMethod: 1, noLocator: 0xFFFFFFFF,
    optionLetters: [{ letter: 'f', option: 'method' }, { letter: 'p', option: 'member' }, { letter: 's', option: 'level' },
                    { letter: 'w', option: 'number' }],
    layout: { stringTableName: 'dialog.tlk', overrideFolder: 'override', indexEnding: '.key', looseSpellEnding: '.spl',
              compressedArchiveEnding: '.cbf' },
    mostInflated: 256 * 2 ** 20, mostBlockInflated: 8 * 2 ** 20,
  });
  assert.deepEqual(problems, []);
  await context.close();
});

test('the kinds\' signatures come from the core, and an archive\'s file table is read from slices of it', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const answers = await page.evaluate(() => {
    const { core } = window.grimtrim;
    // An archive's header: signature, count at 8 and table offset at 16.
    const header = (count, table) => {
      const head = new Uint8Array(20);
      head.set([0x42, 0x49, 0x46, 0x46]);
      new DataView(head.buffer).setInt32(8, count, true);
      new DataView(head.buffer).setUint32(16, table, true);
      return head;
    };
    const table = new Uint8Array(4 * 16);
    const view = new DataView(table.buffer);
    [0x00100007, 0x00000007, 0xFFFFFFFE, 42].forEach((locator, i) => view.setUint32(i * 16, locator, true));
    view.setUint32(4, 0x00100008, true);  // a data offset is not a locator
    const wanted = new Set([0x00100007, 0x00200007, 0x00100008, 42]);
    return {
      kinds: core.fileKinds(),
      ranges: [
        core.archiveTable(header(3, 20), 1000), core.archiveTable(header(3, 4_000_000_000), 4_000_000_040),
        core.archiveTable(header(100, 990), 1000), core.archiveTable(header(100, 960), 1000),
        core.archiveTable(header(0, 20), 1000), core.archiveTable(header(-1, 20), 1000),
        core.archiveTable(header(3, 1001), 1000), core.archiveTable(header(3, 20).subarray(0, 19), 1000),
        core.archiveTable(header(3, 0), 19), core.archiveTable(header(0x7FFFFFFF, 0), 2 ** 40),
        // An archive compressed in blocks: its head is no table's.
        core.archiveTable(Uint8Array.from('BIFCV1.0\0\x10\0\0\x40\0\0\0\x10\0\0\0\x14\0', (c) => c.charCodeAt(0)), 1000),
      ],
      held: [...core.heldLocators(table, wanted)].sort((a, b) => a - b),
      // The archive numbered 2 in the index: an entry holding a locator's file part alone
      // (bits 20-31 cleared) answers for that locator of archive 2, and of no other.
      heldAsArchive2: [...core.heldLocators(table, wanted, 2)].sort((a, b) => a - b),
      heldAsArchive3: [...core.heldLocators(table, new Set([0x00200007]), 3)],
      cut: [...core.heldLocators(table.subarray(0, 30), wanted)],
      none: [...core.heldLocators(table, new Set())],
    };
  });
  assert.deepEqual(answers.kinds, { signatures: { stringTable: ['TLK '], spellArchive: ['BIFF', 'BIFCV1.0', 'BIF V1.0'],
                                                  resourceIndex: ['KEY '], save: ['GAME', 'CHR '] },
                                    headSize: 20 });
  assert.deepEqual(answers.ranges, [
    { start: 20, end: 68 }, { start: 4_000_000_000, end: 4_000_000_032 },
    null, { start: 960, end: 992 },
    null, null,
    null, null,
    null, { start: 0, end: 16 * 2 ** 20 },
    null,
  ]);
  assert.deepEqual(answers.held, [42, 0x00100007]);
  assert.deepEqual(answers.heldAsArchive2, [42, 0x00100007, 0x00200007]);
  assert.deepEqual(answers.heldAsArchive3, []);
  assert.deepEqual(answers.cut, [0x00100007], 'an entry cut short is not read');
  assert.deepEqual(answers.none, []);
  assert.deepEqual(problems, []);
  await context.close();
});

test('an archive that keeps only its entries\' file parts scores the party\'s spells where the index names it by its file name', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const root = join(dir, 'Vellmark');
  const scores = await page.evaluate(async (contents) => {
    const file = (name, at) => ({ name, bytes: Uint8Array.from(atob(contents[at]), (c) => c.charCodeAt(0)) });
    const archive = file('SPELLS.BIF', 'spells');
    const picked = await window.grimtrim.pickArchive(file('party.gam', 'save'), file('quest.key', 'index'),
                                                     [{ ...archive, name: 'renamed.bif' }, archive]);
    return picked.scores;
  }, { save: readFileSync(join(root, 'save/000000002-Tower-Gate/party.gam')).toString('base64'),
       index: readFileSync(join(root, 'quest.key')).toString('base64'),
       spells: readFileSync(join(root, 'data/spells.bif')).toString('base64') });
  // Under a name the index does not give, only the entries that hold a whole locator count.
  assert.ok(scores[1] > scores[0], `scores ${scores}`);
  assert.deepEqual(problems, []);
  await context.close();
});

// Every file of the installation by its path under its folder, as base64.
function installedContents(under = '') {
  const root = join(dir, 'Vellmark');
  return readdirSync(join(root, under), { withFileTypes: true }).flatMap((entry) => {
    const path = under ? `${under}/${entry.name}` : entry.name;
    return entry.isDirectory() ? installedContents(path) : [[path, readFileSync(join(root, path)).toString('base64')]];
  });
}

test('a game\'s folder read only in the parts the core asks for runs as the folder given whole, and a file that fails to read is one that cannot be opened', async () => {
  const { page, problems, context } = await openPage(browser, server.url);
  const answers = await page.evaluate((contents) => {
    const { core } = window.grimtrim;
    const whole = new Map(contents.map(([path, data]) => [path, Uint8Array.from(atob(data), (c) => c.charCodeAt(0))]));
    const save = whole.get('save/000000002-Tower-Gate/party.gam');
    // The folder as the page first knows it: names only. Each round reads exactly what is asked.
    const files = new Map([...whole.keys()].map((path) => [path, { path }]));
    const folder = () => ({ name: 'Vellmark', files: [...files.values()] });
    const rounds = [];
    let read = 0;
    for (let round = 0; round < 8; ++round) {
      const { needs, ...layout } = core.folderNeeds(save, folder());
      rounds.push({ ...layout, needs: needs.map((n) => (n.whole ? `${n.path} whole` : `${n.path} ${n.offset}+${n.length}`)) });
      if (!needs.length) break;
      for (const need of needs) {
        const bytes = whole.get(need.path);
        const file = files.get(need.path);
        file.size = bytes.length;
        file.parts = [...(file.parts ?? []), need.whole ? { offset: 0, bytes }
                                                         : { offset: need.offset, bytes: bytes.subarray(need.offset, need.offset + need.length) }];
        if (/\.(bif|cbf)$/i.test(need.path)) read += file.parts.at(-1).bytes.length;
      }
    }
    const everything = { name: 'Vellmark', files: [...whole].map(([path, bytes]) => ({ path, bytes })) };
    const compare = (options) => {
      const inParts = core.run({ save: { name: 'party.gam', bytes: save }, folder: folder() }, options);
      const inWhole = core.run({ save: { name: 'party.gam', bytes: save }, folder: everything }, options);
      return { same: inParts.text === inWhole.text && inParts.save.every((b, i) => b === inWhole.save[i]),
               unmet: inParts.unmet, unusable: inParts.unusable };
    };
    const archives = [...whole].filter(([path]) => /\.(bif|cbf)$/i.test(path)).reduce((sum, [, b]) => sum + b.length, 0);
    const runs = [{}, { member: 0 }, { member: 0, level: 2 }, { member: 2, level: 1 }, { member: 0, level: 2, number: 3 }].map(compare);
    // The expansion's archive fails to read: its spells are passed over, as on disk.
    files.set('data/expansion.bif', { path: 'data/expansion.bif', unreadable: true });
    const broken = core.run({ save: { name: 'party.gam', bytes: save }, folder: folder() }, { member: 0, level: 2 });
    return { rounds: rounds.map((r, i) => (i < 2 ? r : { ...r, needs: r.needs.length })), read, archives,
             runs,
             broken: { text: broken.text.split('\n').slice(-5), unusable: broken.unusable } };
  }, installedContents());
  // First the string table and the index, whole; then the loose spells the party knows and the
  // head of each archive its spells lie in; then their tables; then the spell headers.
  assert.deepEqual(answers.rounds[0], { stringTable: 'lang/en_US/dialog.tlk', indexes: ['quest.key'], archivesHeld: 0,
                                        needs: ['lang/en_US/dialog.tlk whole', 'quest.key whole'] });
  // The common archive holds none of the party's spells: nothing of it is read. The expansion's
  // lies compressed in a .cbf beside the name the index gives: first bytes enough to tell its form.
  assert.deepEqual(answers.rounds[1].needs, ['data/expansion.CBF 0+8', 'data/expansion.CBF 0+20', 'data/spells.bif 0+8',
                                             'data/spells.bif 0+20', 'override/MODHUSH.spl whole', 'override/ModSpark.Spl whole',
                                             'override/wz1veil.SPL whole']);
  assert.equal(answers.rounds[1].archivesHeld, 3, 'the index names four archives, one of them missing');
  assert.deepEqual(answers.rounds.slice(2).map((r) => r.needs > 0), [true, true, false]);
  for (const run of answers.runs) assert.deepEqual(run.same && run.unmet, 0, JSON.stringify(run));
  assert.deepEqual(answers.runs[1].unusable, [{ number: 3, trouble: 1, inflate: 0, path: 'data/patch/Lost.bif' }]);
  assert.ok(answers.read < answers.archives, `${answers.read} bytes of archives read, of ${answers.archives}`);
  assert.deepEqual(answers.broken, {
    text: ['1 Orla Venn', 'Level 2, Spell 1: Spark Swarm', 'Level 2, Spell 2: Mirror Haze', 'Level 2, Spell 3: Sticky Strands', ''],
    unusable: [{ number: 2, trouble: 1, inflate: 0, path: 'data/Expansion.bif' },
               { number: 3, trouble: 1, inflate: 0, path: 'data/patch/Lost.bif' }],
  });
  assert.deepEqual(problems, []);
  await context.close();
});
