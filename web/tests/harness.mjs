// What both browser tests need: the site served on 127.0.0.1, Debian's Chromium driven by
// playwright-core, and the native grimtrim and make_sample built from the same sources.
import { spawnSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, resolve, sep } from 'node:path';
import { chromium } from 'playwright-core';

const fromEnvironment = (name) => {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the browser tests through ctest`);
  return value;
};
export const siteDir = () => fromEnvironment('GRIMTRIM_SITE_DIR');
// The one file a player opens.
export const pagePath = () => fromEnvironment('GRIMTRIM_PAGE');
const nativeDir = () => fromEnvironment('GRIMTRIM_NATIVE_DIR');

// A fresh folder of this test's own in the build tree.
export function testDir(name) {
  const dir = join(fromEnvironment('GRIMTRIM_TEST_DIR'), name);
  rmSync(dir, { recursive: true, force: true });
  mkdirSync(dir, { recursive: true });
  return dir;
}

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

// Serves `root` at / and each of `mounts` ({ '/prefix/': folder }) below its prefix, from
// 127.0.0.1 on a free port. Only files inside those folders are served.
export async function serve(root, mounts = {}) {
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    let base = root;
    let rest = path;
    for (const [prefix, folder] of Object.entries(mounts)) {
      if (path.startsWith(prefix)) {
        base = folder;
        rest = path.slice(prefix.length - 1);
      }
    }
    const file = resolve(base, `.${rest === '/' ? '/index.html' : rest}`);
    let ok = file.startsWith(resolve(base) + sep);
    try {
      ok = ok && statSync(file).isFile();
    } catch {
      ok = false;
    }
    if (!ok) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      return;
    }
    response.writeHead(200, {
      'Content-Type': types[extname(file)] ?? 'application/octet-stream',
      'Cache-Control': 'no-store',
    });
    response.end(readFileSync(file));
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  const url = `http://127.0.0.1:${server.address().port}/`;
  return { url, close: () => new Promise((done) => server.close(done)) };
}

export function launchBrowser() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic'],
  });
}

// Opens the page and waits for the core to load. `problems` collects every console error, page
// error and request that leaves the test's server; the tests expect it to stay empty.
export async function openPage(browser, url, viewport = { width: 1280, height: 900 }) {
  const context = await browser.newContext({ viewport, acceptDownloads: true });
  const page = await context.newPage();
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('request', (request) => {
    const target = request.url();
    if (!target.startsWith(url) && !target.startsWith('blob:') && !target.startsWith('data:')) {
      problems.push(`request to ${target}`);
    }
  });
  await page.goto(url);
  await page.waitForFunction(() => window.grimtrim !== undefined);
  return { context, page, problems };
}

const native = (program) => join(nativeDir(), program);

// Writes a game set of make_sample's ("sample", "real" or "stress") into `dir`.
export function makeSample(dir, set) {
  mkdirSync(dir, { recursive: true });
  const made = spawnSync(native('make_sample'), [dir, set], { encoding: 'latin1' });
  if (made.status !== 0) throw new Error(`make_sample ${set} failed: ${made.stdout}${made.stderr}`);
}

// Runs the native grimtrim in `dir`. Its output as one character per byte, as the page's run
// gives it, and its exit status.
export function runNative(dir, args) {
  const run = spawnSync(native('grimtrim'), args, { cwd: dir, encoding: 'latin1' });
  if (run.error) throw run.error;
  if (run.stderr) throw new Error(`grimtrim ${args.join(' ')} wrote to standard error: ${run.stderr}`);
  return { text: run.stdout, status: run.status };
}
