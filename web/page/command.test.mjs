// The command equivalent to what the page asked, and what a run's outcome means for the player.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { RunEnd, WhackEnd } from './codes.mjs';
import { commandLine, explainWhack, unusableNote, whyListStops } from './command.mjs';

test('the command names the options given, the default method left out', () => {
  assert.equal(commandLine({}, 'sample.gam'), 'grimtrim sample.gam game.cfg');
  assert.equal(commandLine({ member: 0 }, 'sample.gam'), 'grimtrim -p0 sample.gam game.cfg');
  assert.equal(commandLine({ member: 2, level: 3, number: 1, method: 1 }, 'sample.gam'),
               'grimtrim -p2 -s3 -w1 sample.gam game.cfg');
  assert.equal(commandLine({ member: 0, level: 1, number: 3, method: 0 }, 'sample.gam'),
               'grimtrim -f0 -p0 -s1 -w3 sample.gam game.cfg');
  assert.equal(commandLine({}, undefined), 'grimtrim (no save) game.cfg');
});

test('a save name a shell would split is quoted as one word', () => {
  assert.equal(commandLine({ member: 1 }, 'Chapter 2.gam'), "grimtrim -p1 'Chapter 2.gam' game.cfg");
  assert.equal(commandLine({}, "Tam's save.gam"), "grimtrim 'Tam'\\''s save.gam' game.cfg");
  assert.equal(commandLine({}, 'saves/000001-Quick/party.gam'), 'grimtrim saves/000001-Quick/party.gam game.cfg');
});

test('with a game\'s folder the command names the save by its path and the folder last, each quoted where a shell would split it', () => {
  assert.equal(commandLine({ member: 0, level: 2 }, 'Vellmark/save/000000002-Tower-Gate/party.gam', 'Vellmark'),
               'grimtrim -p0 -s2 Vellmark/save/000000002-Tower-Gate/party.gam Vellmark');
  assert.equal(commandLine({}, 'My Game/save/1/party.gam', 'My Game'), "grimtrim 'My Game/save/1/party.gam' 'My Game'");
});

test('an archive of the folder that could not be used is named with why', () => {
  assert.equal(unusableNote({ number: 3, trouble: 1, path: 'data/patch/Lost.bif' }),
               'The archive data/patch/Lost.bif is missing or cannot be read: the spells it should hold are not listed, as the command line passes them over.');
  assert.match(unusableNote({ number: 9, trouble: 0, path: '' }), /^Archive 9 is not in the archive table of the resource index: /);
  assert.match(unusableNote({ number: 2, trouble: 2, path: 'data/x.bif' }), /^The archive data\/x\.bif is not a spell archive: /);
  assert.match(unusableNote({ number: 2, trouble: 3, path: 'data/x.bif' }), /lacks spells the resource index places in it: /);
});

test('a removal is explained by what the whack did with the room it freed, or as no change at all', () => {
  assert.match(explainWhack(WhackEnd.Shrunk, true), /^Method 1 did its whole work/);
  for (const end of [WhackEnd.KnownNotBeforeMemorization, WhackEnd.MemorizationNotBeforeMemorized, WhackEnd.SectionsOutsideSave]) {
    assert.match(explainWhack(end, true), /^The save is not laid out as method 1 needs/, String(end));
  }
  for (const end of [WhackEnd.NoMemorizedSpell, WhackEnd.NoLevelOneEntry]) {
    assert.match(explainWhack(end, true), /^Method 1 needs a first-level spell memorized/, String(end));
  }
  assert.match(explainWhack(WhackEnd.LeftDuplicate, true), /^Free-space method 0: the gap is left as it is/);
  assert.equal(explainWhack(WhackEnd.LeftDuplicate, false),
               'With method 0, removing the very last spell of the list changes nothing at all: the save is as it was.');
  assert.equal(explainWhack(99, true), '', 'an end the page does not know adds nothing');
});

test('a list that stops early says why, by how the run ended', () => {
  assert.equal(whyListStops(RunEnd.NoCreature), 'The member cannot be read: the save is damaged.');
  assert.equal(whyListStops(RunEnd.MemberOutsideSave), 'The member cannot be read: the save is damaged.');
  assert.match(whyListStops(RunEnd.NameNotInIndex), /is not in the resource index/);
  assert.match(whyListStops(RunEnd.NotASpell), /something else than a spell/);
  assert.match(whyListStops(RunEnd.KnownOutsideSave), /lie outside the save/);
  assert.equal(whyListStops(RunEnd.Completed), '');
  assert.equal(whyListStops(RunEnd.Whacked), '');
});
