// The command equivalent to what the page asked, and reading the command line's text.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { afterBanner, commandLine, explainWhack, stopMessage } from './command.mjs';

const banner = "\nOrvane's Grimtrim 1.01 -- whack spells a Vellmark character\n" +
               '                                     has in his/her spell book\n\n';

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

test('the text after the banner, and the line a listing stopped with', () => {
  assert.equal(afterBanner(`${banner}0 Selwyn\n1 Brother Aldric\n\n\nUse -pN to select the party member`),
               '0 Selwyn\n1 Brother Aldric\n\n\nUse -pN to select the party member');
  assert.equal(afterBanner(`${banner}<notes.gam> is not a save file, first chars are not "GAME"`),
               '<notes.gam> is not a save file, first chars are not "GAME"');
  assert.equal(stopMessage(`${banner}0 Selwyn\n1 Brother Aldric\noops, missed CRE pointer\n\n\nUse -pN to select the party member`),
               'oops, missed CRE pointer');
  assert.equal(stopMessage(banner), '');
});

test('a whack is explained by its closing line, by the method, or as no change at all', () => {
  assert.match(explainWhack(['0 Selwyn', 'Whacking Witchlight', '', 'first memorized spell of lowest spell level will be duplicated'], true, 1),
               /^Method 1 did its whole work/);
  assert.match(explainWhack(['Whacking Witchlight', 'oops, end of known spells not base of spell memorizatin'], true, 1),
               /^The save is not laid out as method 1 needs/);
  assert.match(explainWhack(['Whacking Witchlight', 'no memorized spell to duplicate, free space left as by method 0'], true, 1),
               /^Method 1 needs a first-level spell memorized/);
  assert.match(explainWhack(['Whacking Frost Veil'], true, 0), /^Free-space method 0/);
  assert.equal(explainWhack(['Whacking Frost Veil'], true, 1), '');
  assert.match(explainWhack(['Whacking Frost Veil'], false, 0), /changes nothing at all/);
});
