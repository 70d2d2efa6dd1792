// Which encoding the names are shown in, and what they look like in it.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { chooseEncoding, codePages, decoderFor, isUtf8, rememberCodePage, rememberedCodePage,
         textBytes } from './decode.mjs';

const bytes = (...values) => Uint8Array.from(values);
const utf8 = (text) => new TextEncoder().encode(text);
// "Ядвига" in the single-byte Cyrillic code page.
const cyrillic = bytes(0xDF, 0xE4, 0xE2, 0xE8, 0xE3, 0xE0);

test('names valid as UTF-8 are shown as UTF-8, any other bytes in the chosen code page', () => {
  assert.ok(isUtf8(utf8('Ядвига')) && isUtf8(utf8('Jürgen')) && isUtf8(utf8('Selwyn')) && isUtf8(bytes()));
  assert.ok(!isUtf8(cyrillic));
  assert.ok(!isUtf8(bytes(0xC3)), 'a sequence cut short');
  assert.ok(!isUtf8(bytes(0xC0, 0x80)), 'an overlong form');
  assert.equal(chooseEncoding([utf8('Jürgen'), utf8('Ядвига'), utf8('Quill')], 'windows-1251'), 'utf-8');
  assert.equal(chooseEncoding([utf8('Quill'), cyrillic], 'windows-1251'), 'windows-1251');
  assert.equal(chooseEncoding([], 'windows-1252'), 'utf-8');
});

test('each code page on offer shows what the games of its script stored', () => {
  assert.deepEqual(codePages.map((page) => page.name), [
    'Western', 'Central European', 'Cyrillic', 'Greek', 'Turkish', 'Japanese',
    'Simplified Chinese', 'Traditional Chinese', 'Korean']);
  const shown = (label, ...values) => decoderFor(label)(bytes(...values));
  assert.equal(shown('windows-1251', ...cyrillic), 'Ядвига');
  assert.equal(shown('windows-1252', 0x4A, 0xFC, 0x72, 0x67, 0x65, 0x6E), 'Jürgen');
  assert.equal(shown('windows-1250', 0xA3, 0x75, 0x63, 0x6A, 0x61), 'Łucja');
  assert.equal(shown('windows-1253', 0xC1, 0xE8, 0xDE, 0xED, 0xE1), 'Αθήνα');
  assert.equal(shown('windows-1254', 0xDD, 0x73, 0x74, 0x61, 0x6E, 0x62, 0x75, 0x6C), 'İstanbul');
  assert.equal(shown('shift_jis', 0x93, 0xFA, 0x96, 0x7B), '日本');
  assert.equal(shown('gbk', 0xC4, 0xA7, 0xB7, 0xA8), '魔法');
  assert.equal(shown('big5', 0xC5, 0x5D, 0xAA, 0x6B), '魔法');
  assert.equal(shown('euc-kr', 0xB8, 0xB6, 0xB9, 0xFD), '마법');
  assert.equal(shown('utf-8', 0xD0, 0xAF), 'Я');
});

test('the command line\'s text, one character per byte, goes back to its bytes', () => {
  assert.deepEqual(textBytes('0 \xDF\xE4\n'), bytes(0x30, 0x20, 0xDF, 0xE4, 0x0A));
  assert.equal(decoderFor('windows-1251')(textBytes('1 \xC1\xF0\xE0\xF2\n')), '1 Брат\n');
});

test('the chosen code page is remembered, and anything else stored is not taken', () => {
  const store = new Map();
  const storage = { getItem: (k) => store.get(k) ?? null, setItem: (k, v) => store.set(k, v) };
  assert.equal(rememberedCodePage(storage), 'windows-1252');
  rememberCodePage(storage, 'windows-1251');
  assert.equal(rememberedCodePage(storage), 'windows-1251');
  store.set('grimtrim.codePage', 'x-user-defined');
  assert.equal(rememberedCodePage(storage), 'windows-1252');
  const refusing = { getItem() { throw new Error('denied'); }, setItem() { throw new Error('denied'); } };
  assert.equal(rememberedCodePage(refusing), 'windows-1252');
  rememberCodePage(refusing, 'windows-1251');
  assert.equal(rememberedCodePage(null), 'windows-1252');
});
