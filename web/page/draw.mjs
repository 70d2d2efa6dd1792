// The page's elements: what it draws of the files, the party, a member's spells and the outcome
// of a removal. It decides nothing: page.mjs hands it what to show and what to do on a click.

import { folderOf, kinds } from './files.mjs';

export const byId = (id) => document.getElementById(id);
const $ = byId;
export const element = (tag, props = {}, ...children) => {
  const node = Object.assign(document.createElement(tag), props);
  node.append(...children);
  return node;
};
export const paragraph = (text, props = {}) => element('p', { textContent: text, ...props });
export const nextPaint = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));

// A message above the party: a text, or elements; '' clears it.
export function showMessage(text, kind = 'error') {
  const box = $('message');
  box.replaceChildren();
  box.className = text ? kind : '';
  if (!text) return;
  if (typeof text === 'string') box.append(paragraph(text));
  else box.append(...text);
}

// What the command line said, quoted as it said it.
export const quote = (line) => element('p', {}, 'The command line says: ',
                                       element('code', { className: 'cli', textContent: line }));

// The outcome of the last removal or undo (elements, or null to clear it), and whether there is
// an edit to undo and download.
export function showOutcome(content, canUndo, kind = 'ok') {
  const box = $('outcome');
  box.replaceChildren();
  box.className = content ? kind : '';
  if (content) box.append(...content);
  $('undo').disabled = !canUndo;
  $('download').disabled = !canUndo;
}

const kNothingAsked = 'The same request given to the command-line `grimtrim`, and what it prints:';

// The command the panel shows, under `sentence` (words in `backquotes` shown as code) that says
// what it stands for, and the text it printed.
export function showTranscript(command, text, sentence = kNothingAsked) {
  $('transcript-about').replaceChildren(...sentence.split('`').map(
      (part, i) => (i % 2 ? element('code', { textContent: part }) : part)));
  $('transcript-command').textContent = command;
  $('transcript').textContent = text;
}

// The progress of an examination, as examine() reports it; hidden for a few files and by done().
export function examinationProgress() {
  const box = $('examining');
  let shownAt = 0;
  let shownTotal = -1;
  return {
    show(done, total) {
      // A few updates a second are enough for the eye and cost the examination nothing.
      const now = performance.now();
      if (total === shownTotal && done < total && now - shownAt < 100) return;
      shownAt = now;
      shownTotal = total;
      box.hidden = total <= 20;
      $('progress').max = Math.max(1, total);
      $('progress').value = done;
      $('progress-label').textContent = `Examining the files: ${done} of ${total}`;
    },
    done() { box.hidden = true; },
  };
}

export function clearParty() {
  for (const id of ['party-section', 'spells-section', 'edit-section']) $(id).hidden = true;
  $('party').replaceChildren();
  $('spells').replaceChildren();
}

// The file of each kind in use, with its folder (`inUse(key)` the entry, a list of entries, or
// null), and the files not used: `saveTime(entry)` says when a save was made where there are
// several to tell apart. `archives`, where given, says which spell archives a game's folder uses.
export function listFiles(inUse, saveTime, unknown, unexamined, archives = '') {
  const list = $('file-list');
  list.replaceChildren();
  for (const key of ['save', 'stringTable', 'resourceIndex', 'spellArchive']) for (const entry of [inUse(key)].flat()) {
    if (!entry) continue;
    const what = kinds.find((kind) => kind.key === key).label;
    const item = element('li', {}, `${what}: `, element('strong', { textContent: entry.file.name }));
    const folder = folderOf(entry.path);
    if (folder) item.append(` in ${folder}`);
    if (key === 'save' && saveTime(entry)) item.append(`, saved ${saveTime(entry)}`);
    list.append(item);
  }
  if (archives) list.append(element('li', {}, 'Spell archives: ', archives));
  if (unknown.length) {
    const names = unknown.slice(0, 5).map((e) => e.file.name).join(', ');
    const more = unknown.length > 5 ? ` and ${unknown.length - 5} more` : '';
    list.append(element('li', { className: 'note', textContent: `Not a file of the game, not used: ${names}${more}.` }));
  }
  if (unexamined) {
    list.append(element('li', { className: 'note',
      textContent: `${unexamined} other files were not opened: their names are not those of the game's files.` }));
  }
}

// A list to choose from for each kind of which several files were given: `choices` is
// [{ key, entries, given, inUse, describe(entry) }]; `onChoose(key, entry)` is told of a choice.
export function showChoices(choices, onChoose) {
  const box = $('choices');
  box.replaceChildren();
  for (const { key, entries, given, inUse, describe } of choices) {
    const kind = kinds.find((k) => k.key === key);
    const select = element('select', { id: `choose-${key}` });
    for (const entry of entries) {
      const option = element('option', { value: String(entries.indexOf(entry)), textContent: describe(entry) });
      option.selected = entry === inUse;
      select.append(option);
    }
    select.addEventListener('change', () => onChoose(key, entries[Number(select.value)]));
    const count = key === 'spellArchive' ? `${entries.length} of ${given}` : String(entries.length);
    box.append(element('p', {}, element('label', { htmlFor: select.id, textContent: `${kind.label} in use (${count} given):` }),
                       select));
  }
}

// The choice of code page, offered where the names are not UTF-8.
export function showEncodingChoice(codePages, codePage, offered) {
  const select = $('encoding');
  if (!select.options.length) {
    for (const page of codePages) select.append(element('option', { value: page.label, textContent: page.name }));
  }
  select.value = codePage;
  $('encoding-choice').hidden = !offered;
}

// The party's buttons, `name(member)` as shown; `onChoose(member, button)` is told of a click.
// Answers the button of each member by its index.
export function drawParty(members, name, onChoose) {
  const party = $('party');
  const buttons = new Map();
  for (const member of members) {
    const button = element('button', { type: 'button', className: 'member' },
                           element('span', { className: 'num', textContent: String(member.number) }),
                           element('span', { className: 'name', textContent: name(member) }));
    if (!member.knowsSpells) button.append(element('span', { className: 'tag', textContent: 'no spells' }));
    button.setAttribute('aria-pressed', 'false');
    button.addEventListener('click', () => onChoose(member, button));
    party.append(element('li', {}, button));
    buttons.set(member.index, button);
  }
  $('party-section').hidden = members.length === 0;
  return buttons;
}

export function pressMember(button) {
  for (const b of document.querySelectorAll('#party button')) b.setAttribute('aria-pressed', String(b === button));
  $('spells-section').hidden = false;
  $('edit-section').hidden = false;
}

export function pressLevel(level) {
  for (const b of document.querySelectorAll('#spells button.level')) {
    b.setAttribute('aria-pressed', String(b.textContent === `Level ${level}`));
  }
}

// A member's spell-book spells, a group per level, numbered as -s and -w number them:
// `spells` as the core lists them with `name` the shown name; `notes` elements to add below.
export function drawSpells({ memberName, spells, levelShown, onLevel, onRemove, notes }) {
  const box = $('spells');
  box.replaceChildren();
  box.append(element('p', { className: 'member-name' }, element('strong', { textContent: memberName })));
  const levels = [...new Set(spells.map((s) => s.level))].sort((a, b) => a - b);
  for (const level of levels) {
    const ofLevel = spells.filter((s) => s.level === level);
    const levelButton = element('button', { type: 'button', className: 'level', textContent: `Level ${level}` });
    levelButton.setAttribute('aria-pressed', String(levelShown === level));
    levelButton.addEventListener('click', () => onLevel(level));
    const list = element('ol', { className: 'spells' });
    for (const spell of ofLevel) {
      const remove = element('button', { type: 'button', className: 'remove', textContent: 'Remove' });
      const of = spell.className ? `${spell.className}, ` : '';
      remove.setAttribute('aria-label', `Remove ${spell.shownName} (${of}level ${level}, spell ${spell.number})`);
      remove.addEventListener('click', () => onRemove(spell));
      const name = [element('span', { className: 'name', textContent: spell.shownName })];
      if (spell.className) name.push(element('span', { className: 'class', textContent: spell.className }));
      list.append(element('li', {}, element('span', { className: 'num', textContent: String(spell.number) }), ...name,
                          remove));
    }
    box.append(element('section', { className: 'level-group' },
                       element('h3', {}, levelButton, element('span', { className: 'count',
                         textContent: ofLevel.length === 1 ? '1 spell' : `${ofLevel.length} spells` })),
                       list));
  }
  box.append(...notes);
}

// Asks whether to remove a spell, in words the page gives; `onRemove()` is called only on yes.
export function confirmRemoval({ heading, text, method, removeLabel }, onRemove) {
  const dialog = $('confirm');
  $('confirm-heading').textContent = heading;
  $('confirm-text').textContent = text;
  $('confirm-method').textContent = method;
  $('confirm-remove').textContent = removeLabel;
  dialog.returnValue = '';
  dialog.onclose = () => {
    if (dialog.returnValue === 'remove') onRemove();
  };
  dialog.showModal();
  $('confirm-cancel').focus();
}

export const selectedMethod = () => Number(document.querySelector('input[name="method"]:checked').value);

// Hands `bytes` to the browser as a download named `name`.
export function downloadBytes(bytes, name) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  const link = element('a', { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}
