// The core's answers read back part by part, on bytes laid out as the core writes them.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { readOutcome, readParts } from './answers.mjs';

// A reader over `bytes` as heap.mjs hands an answer over.
function reader(bytes) {
  const view = new DataView(Uint8Array.from(bytes).buffer);
  let at = 0;
  return {
    u32() { const v = view.getUint32(at, true); at += 4; return v; },
    i32() { const v = view.getInt32(at, true); at += 4; return v; },
    bytes(n) { const b = new Uint8Array(view.buffer.slice(at, at + n)); at += n; return b; },
  };
}

const outcomeBytes = [
  1, 0, 0, 0, 2, 0, 0, 0, 69, 77, 66, 82, 68, 65, 82, 84,
  3, 0, 0, 0, 1, 0, 0, 0, 255, 255, 255, 255, 6, 0, 0, 0, 1, 0, 0, 0,
  2, 0, 0, 0, 111, 107,
];

test('the outcome of a run', () => {
  assert.deepEqual(readOutcome(reader(outcomeBytes)), {
    end: 1,
    member: 2,
    missingName: Uint8Array.of(69, 77, 66, 82, 68, 65, 82, 84),
    whacked: { known: 3, level: 1, number: -1 },
    whack: { end: 6, unknownMethod: true },
    message: Uint8Array.of(111, 107),
  });
});

test('an answer is read in the order of parts the core gives, whatever that order', () => {
  // Members: one, index 5, listed as 2, knowing spells, named "Al"; then the outcome.
  const members = [1, 0, 0, 0, 5, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 65, 108];
  const read = readParts(reader([...members, ...outcomeBytes]), ['Members', 'Outcome']);
  assert.deepEqual(read.members, [{ index: 5, number: 2, knowsSpells: true, name: Uint8Array.of(65, 108) }]);
  assert.equal(read.outcome.member, 2);
  // The member's listing after the status: one spell (its class 7), then how the walk ended and its message.
  const spells = [1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 1, 0, 0, 0, 90, 6, 0, 0, 0, 1, 0, 0, 0, 33];
  assert.deepEqual(readParts(reader([0, 0, 0, 0, ...spells]), ['Status', 'MemberSpells']), {
    status: 0,
    memberListing: { spells: [{ known: 3, level: 1, number: 2, spellClass: 7, name: Uint8Array.of(90) }], end: 6,
                     message: Uint8Array.of(33) },
  });
  assert.throws(() => readParts(reader([0, 0, 0, 0]), ['Runes']), /a part this page cannot read: Runes/);
});
