// The member shown: its spells, a level's listing, and the removal of a spell, with Undo. Each
// is one run of the core, which gives the transcript and the member's spells together.

import { codeName } from './answers.mjs';
import { classMethodWords, classNotLaidOut, explainWhack, methodWords, stoppedEarly, unusableNote,
         whyListStops } from './command.mjs';
import { elsewhereNote, heldElsewhere } from './archives.mjs';
import { byId, confirmRemoval, drawSpells, element, nextPaint, paragraph, pressLevel, pressMember, quote,
         selectedMethod } from './draw.mjs';
import { guarded, runAndShow, sessionOf, showOutcome, shown } from './page_state.mjs';

// The class whose list holds `spell`, as the listings name it; '' for a spell of one list.
function classOf(core, spell) {
  const name = codeName(core.codes.SpellClass, spell.spellClass);
  return name && name !== 'None' ? name : '';
}

export async function chooseMember(state, member, button) {
  performance.mark('grimtrim:member-chosen');
  showOutcome(state, null);
  showMember(state, member, button, null);
  // On a phone the spells are below the party: bring them into view.
  if (matchMedia('(max-width: 50rem)').matches) byId('spells-section').scrollIntoView({ block: 'start' });
  await nextPaint();
  performance.mark('grimtrim:spells-shown');
}

const memberOptions = (state) => (state.level === null ? { member: state.member.index }
                                                       : { member: state.member.index, level: state.level });

// Shows a member's spells, and the listing of `level` in the panel where one was asked for.
export function showMember(state, member, button, level) {
  state.member = member;
  state.level = level;
  const result = runAndShow(state, memberOptions(state));
  pressMember(button);
  showSpells(state, result);
}

// The member's spell-book spells as the run `result` left them, with what the page has to say of
// them.
function showSpells(state, result) {
  const { core, member } = state;
  const memberName = shown(state, member.name);
  // The archives of a game's folder whose spells this member's listing passed over.
  state.unusable = result.folder.unusable;
  const draw = (spells, notes) => drawSpells({
    memberName, spells, levelShown: state.level, notes,
    onLevel: (level) => guarded(() => chooseLevel(state, level)),
    onRemove: (spell) => guarded(() => askRemoval(state, spell)),
  });
  if (!member.knowsSpells) {
    draw([], [paragraph(`${memberName} knows no spells: there is nothing to remove.`)]);
    return;
  }
  if (result.status !== 0) {  // the spell archive turned out not to inflate
    draw([], [element('div', { className: 'error' }, paragraph(whyListStops(core, core.codes.RunEnd.ArchiveUnusable)),
                      quote(shown(state, result.checkMessage)))]);
    return;
  }
  const { spells, end, message } = result.memberListing;
  const notes = [];
  if (!spells.length && !stoppedEarly(core, end)) {
    notes.push(paragraph(`None of the spells this member knows is a spell-book spell in this ${state.folder ? 'game' : 'spell archive'}.`));
  }
  for (const archive of state.unusable) notes.push(paragraph(unusableNote(core, archive), { className: 'note' }));
  const elsewhere = spellsElsewhere(state, member);
  if (elsewhere) notes.push(paragraph(elsewhere, { className: 'note' }));
  if (stoppedEarly(core, end)) {
    notes.push(element('div', { className: 'error' },
                       paragraph(`The list stops here. ${whyListStops(core, end)}`), quote(shown(state, message))));
  }
  draw(spells.map((spell) => ({ ...spell, shownName: shown(state, spell.name), className: classOf(core, spell) })), notes);
}

// Where several archives were given: how many of the member's known spells the archive in use
// lacks and another holds, and which; '' where there are none.
function spellsElsewhere(state, member) {
  if (state.folder || state.given.spellArchive.length < 2 || !state.locators) return '';
  const locators = state.locators.find((m) => m.index === member.index)?.locators ?? [];
  const inUse = state.use.spellArchive;
  const others = state.given.spellArchive.filter((archive) => archive !== inUse && archive.held);
  const found = heldElsewhere(locators, inUse.held, others.map((a) => ({ name: a.file.name, held: a.held })));
  return elsewhereNote(shown(state, member.name), inUse.file.name, found);
}

function chooseLevel(state, level) {
  state.level = level;
  pressLevel(level);
  runAndShow(state, { member: state.member.index, level });
}

function askRemoval(state, spell) {
  const method = selectedMethod();
  const name = shown(state, spell.name);
  confirmRemoval({
    heading: `Remove ${name}?`,
    text: `${name} (${spell.className ? `${spell.className}, ` : ''}level ${spell.level}, spell ${spell.number}) will be ` +
        `removed from ${shown(state, state.member.name)}'s spell book.`,
    method: (spell.className ? classMethodWords : methodWords)[method] ?? methodWords[1],
    removeLabel: `Remove ${name}`,
  }, () => guarded(() => removeSpell(state, spell, method)));
}

function removeSpell(state, spell, method) {
  const options = { member: state.member.index, level: spell.level, number: spell.number, method };
  const before = state.edits.edited;
  const result = runAndShow(state, options);
  if (result.status !== 0 || result.outcome.end !== state.core.codes.RunEnd.Whacked) {
    const said = result.checkMessage.length ? result.checkMessage : result.outcome.message;
    showOutcome(state, [paragraph('Nothing was removed.'), ...(said.length ? [quote(shown(state, said))] : [])], 'error');
    showSpells(state, result);
    return;
  }
  // The session's save is the edited one: it need not be handed over again.
  const after = sessionOf(state).save();
  state.edits.removed(after, { name: spell.name, member: state.member.name });
  state.run.save = after;
  const changed = after.length !== before.length || after.some((b, i) => b !== before[i]);
  const memberName = shown(state, state.member.name);
  const words = [element('p', {}, element('strong', { textContent: `Removed ${shown(state, spell.name)} from ${memberName}.` }))];
  const { WhackEnd } = state.core.codes;
  const explained = spell.className && result.outcome.whack.end === WhackEnd.SectionsOutsideSave ? classNotLaidOut
      : explainWhack(state.core, result.outcome.whack.end, changed);
  if (explained) words.push(paragraph(explained));
  words.push(paragraph(`Download the edited save to keep it; ${state.edits.save.file.name} on your disk is unchanged.`));
  showOutcome(state, words);
  showSpells(state, result);
}

export function undo(state) {
  const last = state.edits.undo();
  if (!last) return;
  showOutcome(state, [paragraph(`Undone: ${shown(state, last.name)} from ${shown(state, last.member)} is back.`)]);
  if (state.member) showSpells(state, runAndShow(state, memberOptions(state)));
}
