// The member shown: its spells, a level's listing, and the removal of a spell, with Undo.

import { RunEnd, stoppedEarly } from './core.mjs';
import { explainWhack, methodWords, unusableNote, whyListStops } from './command.mjs';
import { elsewhereNote, heldElsewhere } from './files.mjs';
import { byId, confirmRemoval, drawSpells, element, nextPaint, paragraph, pressLevel, pressMember, quote,
         selectedMethod } from './draw.mjs';
import { currentFiles, guarded, runAndShow, showOutcome, shown, state } from './session.mjs';

export async function chooseMember(member, button) {
  performance.mark('grimtrim:member-chosen');
  showOutcome(null);
  showMember(member, button, null);
  // On a phone the spells are below the party: bring them into view.
  if (matchMedia('(max-width: 50rem)').matches) byId('spells-section').scrollIntoView({ block: 'start' });
  await nextPaint();
  performance.mark('grimtrim:spells-shown');
}

// Shows a member's spells, and the listing of `level` in the panel where one was asked for.
export function showMember(member, button, level) {
  state.member = member;
  state.level = level;
  const result = runAndShow(currentFiles(), level === null ? { member: member.index } : { member: member.index, level });
  // The archives of a game's folder whose spells this member's listing passed over.
  state.unusable = result.unusable ?? [];
  pressMember(button);
  showSpells();
}

// The member's spell-book spells, with what the page has to say of them.
function showSpells() {
  const member = state.member;
  const memberName = shown(member.name);
  const draw = (spells, notes) => drawSpells({
    memberName, spells, levelShown: state.level, notes,
    onLevel: (level) => guarded(() => chooseLevel(level)),
    onRemove: (spell) => guarded(() => askRemoval(spell)),
  });
  if (!member.knowsSpells) {
    draw([], [paragraph(`${memberName} knows no spells: there is nothing to remove.`)]);
    return;
  }
  const { spells, end, message } = state.core.spells(currentFiles(), member.index);
  const notes = [];
  if (!spells.length && !stoppedEarly(end)) {
    notes.push(paragraph(`None of the spells this member knows is a spell-book spell in this ${state.folder ? 'game' : 'spell archive'}.`));
  }
  for (const archive of state.unusable) notes.push(paragraph(unusableNote(archive), { className: 'note' }));
  const elsewhere = spellsElsewhere(member);
  if (elsewhere) notes.push(paragraph(elsewhere, { className: 'note' }));
  if (stoppedEarly(end)) {
    notes.push(element('div', { className: 'error' },
                       paragraph(`The list stops here. ${whyListStops(end)}`), quote(shown(message))));
  }
  draw(spells.map((spell) => ({ ...spell, shownName: shown(spell.name) })), notes);
}

// Where several archives were given: how many of the member's known spells the archive in use
// lacks and another holds, and which; '' where there are none.
function spellsElsewhere(member) {
  if (state.folder || state.given.spellArchive.length < 2 || !state.locators) return '';
  const locators = state.locators.find((m) => m.index === member.index)?.locators ?? [];
  const inUse = state.use.spellArchive;
  const others = state.given.spellArchive.filter((archive) => archive !== inUse && archive.held);
  const found = heldElsewhere(locators, inUse.held, others.map((a) => ({ name: a.file.name, held: a.held })));
  return elsewhereNote(shown(member.name), inUse.file.name, found);
}

function chooseLevel(level) {
  state.level = level;
  pressLevel(level);
  runAndShow(currentFiles(), { member: state.member.index, level });
}

function askRemoval(spell) {
  const method = selectedMethod();
  const name = shown(spell.name);
  confirmRemoval({
    heading: `Remove ${name}?`,
    text: `${name} (level ${spell.level}, spell ${spell.number}) will be removed from ${shown(state.member.name)}'s spell book.`,
    method: methodWords[method],
    removeLabel: `Remove ${name}`,
  }, () => guarded(() => removeSpell(spell, method)));
}

function removeSpell(spell, method) {
  const options = { member: state.member.index, level: spell.level, number: spell.number, method };
  const before = state.edits.edited;
  const result = runAndShow(currentFiles(before), options);
  if (result.status !== 0 || result.outcome.end !== RunEnd.Whacked) {
    const said = result.message.length ? [quote(shown(result.message))] : [];
    showOutcome([paragraph('Nothing was removed.'), ...said], 'error');
    showSpells();
    return;
  }
  state.edits.removed(result.save, { name: spell.name, member: state.member.name });
  const changed = result.save.some((b, i) => b !== before[i]);
  const words = [element('p', {}, element('strong', { textContent: `Removed ${shown(spell.name)} from ${shown(state.member.name)}.` }))];
  const explained = explainWhack(result.outcome.whack.end, changed);
  if (explained) words.push(paragraph(explained));
  words.push(paragraph(`Download the edited save to keep it; ${state.edits.save.file.name} on your disk is unchanged.`));
  showOutcome(words);
  showSpells();
}

export function undo() {
  const last = state.edits.undo();
  if (!last) return;
  showOutcome([paragraph(`Undone: ${shown(last.name)} from ${shown(last.member)} is back.`)]);
  if (state.member) {
    runAndShow(currentFiles(), state.level === null ? { member: state.member.index }
                                                   : { member: state.member.index, level: state.level });
    showSpells();
  }
}
