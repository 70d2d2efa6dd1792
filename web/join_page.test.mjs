// Joining the page into one file: what it holds, the policy's hashes, and what the joiner refuses.
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';

const joiner = fileURLToPath(new URL('./join_page.mjs', import.meta.url));
const dir = mkdtempSync(join(tmpdir(), 'join-page-'));
after(() => rmSync(dir, { recursive: true, force: true }));

const template = '<html><head><meta http-equiv="Content-Security-Policy" content="@POLICY@">' +
                 '<style>/*@STYLE@*/</style></head><body><script>/*@SCRIPT@*/</script></body></html>';

// Joins `modules` ({ name: source }, in that order) with a stand-in for the core's loader.
function join_(modules, { style = 'body { margin: 0; }' } = {}) {
  const write = (name, text) => {
    writeFileSync(join(dir, name), text);
    return join(dir, name);
  };
  const paths = Object.entries(modules).map(([name, source]) => write(name, source));
  write('grimtrim.wasm', Buffer.from([0, 0x61, 0x73, 0x6D]));
  const run = spawnSync(process.execPath, [joiner, join(dir, 'page.html'), write('index.html', template),
                                           write('style.css', style), write('grimtrim.js', 'globalThis.loadGrimtrim = (settings) => settings.wasmBinary.length;'),
                                           ...paths], { encoding: 'utf8' });
  return { status: run.status, error: run.stderr, page: run.status === 0 ? readFileSync(join(dir, 'page.html'), 'utf8') : '' };
}

test('the joined page holds every block inline, each named in the policy by its hash', () => {
  const { status, page } = join_({
    'a.mjs': "export const answer = 42;\nexport function twice(n) { return 2 * n; }\n",
    'b.mjs': "import loadGrimtrim from './grimtrim.js';\nimport { answer, twice as double } from './a.mjs';\n" +
             'globalThis.result = [double(answer), loadGrimtrim()];\n',
  });
  assert.equal(status, 0);
  const script = page.match(/<script>([\s\S]*)<\/script>/)[1];
  const style = page.match(/<style>([\s\S]*)<\/style>/)[1];
  const hash = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
  const policy = page.match(/content="([^"]*)"/)[1];
  assert.equal(policy, `default-src 'none'; script-src ${hash(script)} 'wasm-unsafe-eval'; ` +
                       `style-src ${hash(style)}; img-src data:; base-uri 'none'`);
  assert.equal(style, 'body { margin: 0; }');
  assert.ok(script.includes("const coreWasm = 'AGFzbQ==';"), 'the WebAssembly as base64');
  // The joined script runs as one classic script: the modules see each other's exports.
  const globalResult = new Function(`${script}; return new Promise((done) => setTimeout(() => done(globalThis.result), 0));`);
  return globalResult().then((result) => assert.deepEqual(result, [84, 4]));
});

test('what would break the page or hide a module\'s mistake is refused', () => {
  const refused = [
    [{ 'a.mjs': "const s = '</script>';\n" }, /would end it early/],
    [{ 'a.mjs': "const s = '<!-- <script>';\n" }, /reads as markup/],
    [{ 'a.mjs': "import { x } from './later.mjs';\n" }, /not joined before it/],
    [{ 'a.mjs': 'export default 1;\n' }, /an export the joiner does not understand/],
    [{ 'a.mjs': "import * as all from './b.mjs';\n" }, /an import the joiner does not understand/],
  ];
  for (const [modules, why] of refused) {
    const { status, error } = join_(modules);
    assert.equal(status, 1, JSON.stringify(modules));
    assert.match(error, why);
  }
  assert.match(join_({ 'a.mjs': '' }, { style: 'a::after { content: "</style>"; }' }).error, /would end it early/);
});
