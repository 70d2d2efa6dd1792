// The edit history of each save, without a browser.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { SaveEdits } from './edits.mjs';

const saveA = { name: 'party.gam' };
const saveB = { name: 'quest.gam' };

test('removals are undone in reverse order, down to the save as read and no further', () => {
  const edits = new SaveEdits();
  const original = Uint8Array.of(1, 2, 3);
  assert.equal(edits.use(saveA, original), true);
  assert.notEqual(edits.edited, original, 'the edit is a copy: the file read stays as it was');
  assert.deepEqual([...edits.edited], [1, 2, 3]);
  assert.equal(edits.canUndo, false);

  edits.removed(Uint8Array.of(2, 3, 3), { spell: 'Ember Dart' });
  edits.removed(Uint8Array.of(3, 3, 3), { spell: 'Frost Veil' });
  assert.deepEqual([...edits.edited], [3, 3, 3]);
  assert.deepEqual(edits.undo(), { spell: 'Frost Veil' });
  assert.deepEqual([...edits.edited], [2, 3, 3]);
  assert.deepEqual(edits.undo(), { spell: 'Ember Dart' });
  assert.deepEqual([...edits.edited], [1, 2, 3]);
  assert.equal(edits.canUndo, false);
  assert.equal(edits.undo(), null);
  assert.deepEqual([...edits.edited], [1, 2, 3], 'an undo with nothing to undo changes nothing');
});

test('each save keeps its own edit while another is edited', () => {
  const edits = new SaveEdits();
  edits.use(saveA, Uint8Array.of(1, 1));
  edits.removed(Uint8Array.of(9, 9), { spell: 'Witchlight' });
  assert.equal(edits.use(saveA, Uint8Array.of(1, 1)), false, 'the same save again is no switch');
  assert.deepEqual([...edits.edited], [9, 9]);

  assert.equal(edits.use(saveB, Uint8Array.of(5)), true);
  assert.equal(edits.save, saveB);
  assert.deepEqual([...edits.edited], [5]);
  assert.equal(edits.canUndo, false, "the other save's removals are not this one's");

  edits.use(saveA, Uint8Array.of(1, 1));
  assert.deepEqual([...edits.edited], [9, 9], 'back to the first save: its removal is still there');
  assert.deepEqual(edits.undo(), { spell: 'Witchlight' });
  assert.deepEqual([...edits.edited], [1, 1]);
});
