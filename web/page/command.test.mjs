// The command equivalent to what the page asked, and what a run's outcome means for the player.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { commandLine, commandSentence, explainWhack, stoppedEarly, unusableNote, unworded, whyListStops } from './command.mjs';

// The core as these ask it, its codes numbered unlike the real core's: the page words a code by
// its name alone.
const codes = {
  RunEnd: { Whacked: 20, Completed: 21, MemberOutsideSave: 22, NoCreature: 23, KnownOutsideSave: 24, NameNotInIndex: 25,
            NotASpell: 26, ArchiveUnusable: 28, NoSpellTable: 29, NumberNotInTable: 19 },
  WhackEnd: { Shrunk: 30, LeftDuplicate: 31, KnownNotBeforeMemorization: 32, MemorizationNotBeforeMemorized: 33,
              SectionsOutsideSave: 34, NoMemorizedSpell: 35, NoLevelOneEntry: 36, LeftZeroedCopy: 37, SaveShortened: 38 },
  ArchiveTrouble: { Compressed: 40, NotInTable: 41, Unreadable: 42, NotAnArchive: 43, LacksEntry: 44 },
  InflateTrouble: { None: 50, BeyondFile: 51, TooLarge: 52, DoesNotInflate: 53, WrongLength: 54, HoldsNoArchive: 55 },
};
const core = {
  codes,
  conventions: {
    defaultMethod: 1,
    optionLetters: [{ letter: 'f', option: 'method' }, { letter: 'p', option: 'member' }, { letter: 's', option: 'level' },
                    { letter: 'w', option: 'number' }],
    layout: { stringTableName: 'dialog.tlk', overrideFolder: 'override' },
    mostInflated: 256 * 2 ** 20,
    mostBlockInflated: 8 * 2 ** 20,
  },
};
const { RunEnd, WhackEnd, ArchiveTrouble, InflateTrouble } = codes;

test('the command names the options given, the default method left out', () => {
  assert.equal(commandLine(core, {}, 'sample.gam'), 'grimtrim sample.gam game.cfg');
  assert.equal(commandLine(core, { member: 0 }, 'sample.gam'), 'grimtrim -p0 sample.gam game.cfg');
  assert.equal(commandLine(core, { member: 2, level: 3, number: 1, method: 1 }, 'sample.gam'),
               'grimtrim -p2 -s3 -w1 sample.gam game.cfg');
  assert.equal(commandLine(core, { member: 0, level: 1, number: 3, method: 0 }, 'sample.gam'),
               'grimtrim -f0 -p0 -s1 -w3 sample.gam game.cfg');
  assert.equal(commandLine(core, {}, undefined), 'grimtrim (no save) game.cfg');
});

test('a save name a shell would split is quoted as one word', () => {
  assert.equal(commandLine(core, { member: 1 }, 'Chapter 2.gam'), "grimtrim -p1 'Chapter 2.gam' game.cfg");
  assert.equal(commandLine(core, {}, "Tam's save.gam"), "grimtrim 'Tam'\\''s save.gam' game.cfg");
  assert.equal(commandLine(core, {}, 'saves/000001-Quick/party.gam'), 'grimtrim saves/000001-Quick/party.gam game.cfg');
});

test('with a game\'s folder the command names the save by its path and the folder last, each quoted where a shell would split it', () => {
  assert.equal(commandLine(core, { member: 0, level: 2 }, 'Vellmark/save/000000002-Tower-Gate/party.gam', 'Vellmark'),
               'grimtrim -p0 -s2 Vellmark/save/000000002-Tower-Gate/party.gam Vellmark');
  assert.equal(commandLine(core, {}, 'My Game/save/1/party.gam', 'My Game'), "grimtrim 'My Game/save/1/party.gam' 'My Game'");
  assert.equal(commandSentence(core, { name: 'game-folder', given: true }),
               "The same request given to the command-line `grimtrim` with a game's folder as its last argument, and what it " +
               'prints; `game-folder` stands for a folder holding the files chosen here where the game keeps them (the string ' +
               'table as `dialog.tlk`, each spell archive where the resource index puts it, loose spells in `override`):');
});

test('an archive of the folder that could not be used is named with why', () => {
  assert.equal(unusableNote(core, { number: 3, trouble: ArchiveTrouble.Unreadable, path: 'data/patch/Lost.bif' }),
               'The archive data/patch/Lost.bif is missing or cannot be read: the spells it should hold are not listed, as the command line passes them over.');
  assert.match(unusableNote(core, { number: 9, trouble: ArchiveTrouble.NotInTable, path: '' }),
               /^Archive 9 is not in the archive table of the resource index: /);
  assert.match(unusableNote(core, { number: 2, trouble: ArchiveTrouble.NotAnArchive, path: 'data/x.bif' }),
               /^The archive data\/x\.bif is not a spell archive: /);
  assert.match(unusableNote(core, { number: 2, trouble: ArchiveTrouble.LacksEntry, path: 'data/x.bif' }),
               /lacks spells the resource index places in it: /);
  assert.equal(unusableNote(core, { number: 2, trouble: ArchiveTrouble.Compressed, inflate: InflateTrouble.TooLarge, path: 'x.cbf' }),
               'The archive x.cbf is compressed and states a length larger than Grimtrim inflates (over 256 MiB, or a block over 8 MiB): ' +
               'the spells it should hold are not listed, as the command line passes them over.');
  assert.match(unusableNote(core, { number: 2, trouble: ArchiveTrouble.Compressed, inflate: InflateTrouble.WrongLength, path: 'x.cbf' }),
               /^The archive x\.cbf is compressed, and inflates to another length than it states: it is damaged: /);
});

test('a removal is explained by what the whack did with the room it freed, or as no change at all', () => {
  assert.match(explainWhack(core, WhackEnd.Shrunk, true), /^Method 1 did its whole work/);
  for (const end of [WhackEnd.KnownNotBeforeMemorization, WhackEnd.MemorizationNotBeforeMemorized, WhackEnd.SectionsOutsideSave]) {
    assert.match(explainWhack(core, end, true), /^The save is not laid out as method 1 needs/, String(end));
  }
  for (const end of [WhackEnd.NoMemorizedSpell, WhackEnd.NoLevelOneEntry]) {
    assert.match(explainWhack(core, end, true), /^Method 1 needs a first-level spell memorized/, String(end));
  }
  assert.match(explainWhack(core, WhackEnd.LeftDuplicate, true), /^Free-space method 0: the gap is left as it is/);
  assert.equal(explainWhack(core, WhackEnd.LeftDuplicate, false),
               'With method 0, removing the very last spell of the list changes nothing at all: the save is as it was.');
  assert.equal(explainWhack(core, 99, true), '', 'an end the page does not know adds nothing');
});

test('a list that stops early says why, by how the run ended', () => {
  assert.equal(whyListStops(core, RunEnd.NoCreature), 'The member cannot be read: the save is damaged.');
  assert.equal(whyListStops(core, RunEnd.MemberOutsideSave), 'The member cannot be read: the save is damaged.');
  assert.match(whyListStops(core, RunEnd.NameNotInIndex), /is not in the resource index/);
  assert.match(whyListStops(core, RunEnd.NotASpell), /something else than a spell/);
  assert.match(whyListStops(core, RunEnd.KnownOutsideSave), /lie outside the save/);
  assert.equal(whyListStops(core, RunEnd.Completed), '');
  assert.equal(whyListStops(core, RunEnd.Whacked), '');
  assert.deepEqual([RunEnd.Completed, RunEnd.Whacked, RunEnd.NoCreature, RunEnd.NoSpellTable].map((end) => stoppedEarly(core, end)),
                   [false, false, true, true]);
});

test('every code the core sends is worded, and a code without words is named, yet still said sensibly', () => {
  assert.deepEqual(unworded(codes), []);
  const later = { ...codes, RunEnd: { ...RunEnd, LostInMist: 60 }, WhackEnd: { ...WhackEnd, Folded: 61 },
                  ArchiveTrouble: { ...ArchiveTrouble, Locked: 62 }, InflateTrouble: { ...InflateTrouble, Frozen: 63 } };
  assert.deepEqual(unworded(later), ['RunEnd.LostInMist', 'WhackEnd.Folded', 'ArchiveTrouble.Locked', 'InflateTrouble.Frozen']);
  const laterCore = { ...core, codes: later };
  assert.equal(stoppedEarly(laterCore, 60), true, 'an end the page does not know stops the list');
  assert.equal(whyListStops(laterCore, 60), '');
  assert.match(unusableNote(laterCore, { number: 4, trouble: 62, path: 'a.bif' }), /^The archive a\.bif cannot be used: /);
  assert.match(unusableNote(laterCore, { number: 4, trouble: 40, inflate: 63, path: 'a.cbf' }), /^The archive a\.cbf cannot be used: /);
});
