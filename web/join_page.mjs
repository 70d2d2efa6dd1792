// Joins the page into the one file a player opens: the page's HTML with its stylesheet, the
// core's loader with its WebAssembly (as base64, handed to the loader as bytes, so that it fetches
// nothing) and the page's own script modules, all inline. A page opened from disk may load nothing beside it, and one file is what
// a player downloads. The policy names each inline block by its hash, so that nothing but these
// blocks runs or styles the page.
//
// Usage: node join_page.mjs OUTPUT TEMPLATE STYLE CORE_JS MODULE...
// CORE_JS is the loader Emscripten made, a classic script that defines loadGrimtrim, with its
// .wasm beside it. The modules are ES modules given in an order where each one's imports come
// before it; an import of ./grimtrim.js takes the core's loader.
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';
import { basename, dirname, join } from 'node:path';

const [output, template, style, coreJs, ...modules] = process.argv.slice(2);
if (!modules.length) {
  console.error('usage: node join_page.mjs OUTPUT TEMPLATE STYLE CORE_JS MODULE...');
  process.exit(2);
}

const fail = (message) => {
  console.error(`join_page: ${message}`);
  process.exit(1);
};

// A module as a function's body that returns its exports; its imports become constants taken
// from the modules joined before it.
function moduleBody(path, joined) {
  let source = readFileSync(path, 'utf8');
  const exported = [];
  source = source.replace(/^import\s+(?:(\w+)|\{([^}]*)\})\s+from\s+'([^']+)';[ \t]*$/gm,
                          (_, defaultName, names, from) => {
    const name = basename(from);
    if (name === 'grimtrim.js') {
      if (!defaultName) fail(`${path}: ./grimtrim.js gives only its default export`);
      return `const ${defaultName} = coreLoader;`;
    }
    if (!joined.has(name)) fail(`${path} imports ${from}, which is not joined before it`);
    if (defaultName) fail(`${path}: the page's modules have no default exports`);
    const bindings = names.split(',').map((n) => n.trim()).filter(Boolean)
        .map((n) => n.replace(/^(\w+)\s+as\s+(\w+)$/, '$1: $2'));
    return `const { ${bindings.join(', ')} } = ${joined.get(name)};`;
  });
  if (/^\s*import\b/m.test(source)) fail(`${path}: an import the joiner does not understand`);
  source = source.replace(/^export\s+((?:async\s+)?function\*?|const|let|class)\s+(\w+)/gm,
                          (_, keyword, name) => {
    exported.push(name);
    return `${keyword} ${name}`;
  });
  if (/^\s*export\b/m.test(source)) fail(`${path}: an export the joiner does not understand`);
  return `${source}\nreturn { ${exported.join(', ')} };`;
}

const joined = new Map();
const parts = [];
for (const [i, path] of modules.entries()) {
  const name = `module${i}`;
  parts.push(`const ${name} = await (async () => {\n${moduleBody(path, joined)}\n})();`);
  joined.set(basename(path), name);
}
// The page's own script starts once the core's loader is defined: one classic script, so that
// nothing is fetched, not even from the page's own folder.
const wasm = readFileSync(join(dirname(coreJs), `${basename(coreJs, '.js')}.wasm`)).toString('base64');
const script = `${readFileSync(coreJs, 'utf8')}\n(async () => {\n'use strict';\n` +
    `const coreWasm = '${wasm}';\n` +
    'const coreLoader = (settings = {}) => globalThis.loadGrimtrim(\n' +
    '    { ...settings, wasmBinary: Uint8Array.from(atob(coreWasm), (c) => c.charCodeAt(0)) });\n' +
    `${parts.join('\n')}\n})();\n`;
const css = readFileSync(style, 'utf8');
// Inline, `</script` would end the script early, and `<!--` with `<script` inside it would make
// the HTML parser read past its end.
for (const [what, text] of [['script', script], ['style', css]]) {
  if (new RegExp(`</${what}`, 'i').test(text)) fail(`the ${what} holds </${what}, which would end it early`);
  if (/<!--|<script/i.test(text)) fail(`the ${what} holds <!-- or <script, which the HTML parser reads as markup`);
}

const hash = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
// No source but these blocks; the WebAssembly is compiled from bytes in the script; the icon
// is a data address; and the page fetches nothing, not even from its own origin.
const policy = [
  "default-src 'none'",
  `script-src ${hash(script)} 'wasm-unsafe-eval'`,
  `style-src ${hash(css)}`,
  'img-src data:',
  "base-uri 'none'",
].join('; ');

let page = readFileSync(template, 'utf8');
for (const [marker, text] of [['@POLICY@', policy], ['/*@STYLE@*/', css], ['/*@SCRIPT@*/', script]]) {
  const at = page.indexOf(marker);
  if (at < 0 || page.indexOf(marker, at + 1) >= 0) fail(`${template} must hold ${marker} once`);
  page = page.slice(0, at) + text + page.slice(at + marker.length);
}
writeFileSync(output, page);
