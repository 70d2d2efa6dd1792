// The game's names as the page shows them. The bytes are never changed: only their display is
// decoded, as UTF-8 where every name is valid UTF-8, otherwise in the code page the player
// chose from those old games used. Nothing here reads the page.

export const codePages = [
  { label: 'windows-1252', name: 'Western' },
  { label: 'windows-1250', name: 'Central European' },
  { label: 'windows-1251', name: 'Cyrillic' },
  { label: 'windows-1253', name: 'Greek' },
  { label: 'windows-1254', name: 'Turkish' },
  { label: 'shift_jis', name: 'Japanese' },
  { label: 'gbk', name: 'Simplified Chinese' },
  { label: 'big5', name: 'Traditional Chinese' },
  { label: 'euc-kr', name: 'Korean' },
];
export const kDefaultCodePage = 'windows-1252';
const kStorageKey = 'grimtrim.codePage';

const strictUtf8 = new TextDecoder('utf-8', { fatal: true });

// True when `bytes` are valid UTF-8 (plain ASCII is).
export function isUtf8(bytes) {
  try {
    strictUtf8.decode(bytes);
    return true;
  } catch {
    return false;
  }
}

// The encoding the names are shown in: UTF-8 when every one of `texts` is valid UTF-8,
// otherwise `codePage`.
export function chooseEncoding(texts, codePage) {
  return texts.every(isUtf8) ? 'utf-8' : codePage;
}

// Shows bytes in `encoding`; bytes that do not decode become the replacement character.
export function decoderFor(encoding) {
  const decoder = new TextDecoder(encoding);
  return (bytes) => decoder.decode(bytes);
}

// The bytes of a text that holds one character per byte, as the command line's output does.
export function textBytes(text) {
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  return bytes;
}

// The code page the player chose before in this browser, or the default. `storage` is
// localStorage, or null where the browser keeps none (as some do for a page opened from disk).
export function rememberedCodePage(storage) {
  let label = null;
  try {
    label = storage?.getItem(kStorageKey) ?? null;
  } catch {
    label = null;
  }
  return codePages.some((page) => page.label === label) ? label : kDefaultCodePage;
}

export function rememberCodePage(storage, label) {
  try {
    storage?.setItem(kStorageKey, label);
  } catch {
    // A browser that keeps nothing for this page: the choice lasts until the page is closed.
  }
}
