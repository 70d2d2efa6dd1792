// The edit of each save the player gave: its bytes after the removals so far, and the save as
// it was before each removal, for Undo. Going to another save and back loses no removal. Nothing
// here reads the page.

export class SaveEdits {
  #kept = new WeakMap();  // each save left for another: { edited, history }
  #save = null;           // the save being edited
  #edited = null;
  #history = [];          // { bytes, ...what was removed }, the last removal last

  // The save being edited, and its bytes as edited so far.
  get save() { return this.#save; }
  get edited() { return this.#edited; }
  get canUndo() { return this.#history.length > 0; }

  // Edits `save` from here on, `original` being its bytes as read; the save left keeps its edit.
  // True when `save` is another save than the one edited until now.
  use(save, original) {
    if (save === this.#save) return false;
    if (this.#save) this.#kept.set(this.#save, { edited: this.#edited, history: this.#history });
    const kept = this.#kept.get(save);
    this.#save = save;
    this.#edited = kept ? kept.edited : original.slice();
    this.#history = kept ? kept.history : [];
    return true;
  }

  // Takes `after`, the bytes a removal left, as the save's bytes; `removed` tells Undo what it
  // gives back.
  removed(after, removed) {
    this.#history.push({ ...removed, bytes: this.#edited });
    this.#edited = after;
  }

  // Gives back the save as it was before the last removal: that removal's `removed`, or null
  // where there is none to undo.
  undo() {
    const last = this.#history.pop();
    if (!last) return null;
    this.#edited = last.bytes;
    const { bytes, ...removed } = last;
    return removed;
  }
}
