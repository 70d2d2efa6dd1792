// What the browser tests need: the site served on 127.0.0.1; Debian's three browser engines
// (Chromium through playwright-core, Firefox ESR through puppeteer-core over WebDriver BiDi,
// WebKit's MiniBrowser through WebKitWebDriver and selenium-webdriver on a virtual display);
// and the native grimtrim and make_sample built from the same sources. No package here fetches
// a browser or a driver of its own: each engine is the one Debian installed.
import { spawn, spawnSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { createServer as createNetServer } from 'node:net';
import { dirname, extname, join, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import puppeteer from 'puppeteer-core';
import { Builder } from 'selenium-webdriver';

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

const leavesServer = (target, url) =>
  !target.startsWith(url) && !target.startsWith('blob:') && !target.startsWith('data:');

// The console errors, page errors and requests that leave the test's server, of a page driven by
// playwright or puppeteer (their pages tell these alike), as they happen.
function watchProblems(page, url) {
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('request', (request) => {
    if (leavesServer(request.url(), url)) problems.push(`request to ${request.url()}`);
  });
  return problems;
}

// Opens the page and waits for the core to load. `problems` collects every console error, page
// error and request that leaves the test's server; the tests expect it to stay empty.
export async function openPage(browser, url, viewport = { width: 1280, height: 900 }) {
  const context = await browser.newContext({ viewport, acceptDownloads: true });
  const page = await context.newPage();
  const problems = watchProblems(page, url);
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
// gives it, and its exit status. Standard error must stay empty, unless `errors` is allowed: the
// folder form names there the language used and the archives it could not use; then it is
// given back as `errors`.
export function runNative(dir, args, { errors = false } = {}) {
  const run = spawnSync(native('grimtrim'), args, { cwd: dir, encoding: 'latin1' });
  if (run.error) throw run.error;
  if (run.stderr && !errors) throw new Error(`grimtrim ${args.join(' ')} wrote to standard error: ${run.stderr}`);
  return { text: run.stdout, status: run.status, errors: run.stderr };
}

// The engines the page is tested in, as openEngine names them.
export const engines = ['chromium', 'firefox', 'webkit'];

// Opens `url` in one browser engine ('chromium', 'firefox' or 'webkit') and waits for the core
// to load. Each engine answers through the same small object:
//   evaluate(fn, arg): runs fn(arg) in the page and resolves to its result, which must survive
//     JSON; only fn's source travels, so it uses nothing from the test's scope;
//   problems(): resolves to the console errors, page errors and requests that left the test's
//     server, as far as the engine's driver can tell (WebKit's tells only what happens after
//     the core loaded, and requests from the page's own record of what it fetched);
//   close(): ends the browser and every process started for it. Call it on failure as well.
export function openEngine(name, url) {
  const open = { chromium: openChromium, firefox: openFirefox, webkit: openWebKit }[name];
  if (!open) throw new Error(`no such engine: ${name}`);
  return open(url);
}

// The accessibility checker's findings of impact "serious" or "critical" on the page as it is
// now, one line each. `evaluate` runs a function or an expression in the page (the driver's own
// evaluation, which the page's policy does not stop); the checker is put into the page first.
const axeSource = readFileSync(join(dirname(fileURLToPath(import.meta.url)), '..', 'node_modules',
                                    'axe-core', 'axe.min.js'), 'utf8');
export async function accessibilityProblems(evaluate, state) {
  if (!(await evaluate('typeof window.axe !== "undefined"'))) await evaluate(`${axeSource}\n;true`);
  const found = await evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }).then(
      (result) => result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
          .map((v) => `${v.impact} ${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)));
  return found.map((line) => `${state}: ${line}`);
}


async function openChromium(url) {
  const browser = await launchBrowser();
  try {
    const { page, problems } = await openPage(browser, url);
    return {
      version: `chromium ${browser.version()}`,
      evaluate: (fn, arg) => page.evaluate(fn, arg),
      problems: async () => [...problems],
      close: () => browser.close(),
    };
  } catch (error) {
    await browser.close();
    throw error;
  }
}

// Firefox with the page open as openEngine opens it, and, for a click-through, its puppeteer page
// as `page`; downloads go to the folder `downloads` without a question.
export async function openFirefox(url, downloads) {
  // A long protocol timeout: the equivalence test runs all its cases in one evaluate.
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
    protocolTimeout: 600000,
    extraPrefsFirefox: downloads === undefined ? {} : {
      'browser.download.dir': downloads,
      'browser.download.folderList': 2,
      'browser.download.useDownloadDir': true,
      'browser.download.always_ask_before_handling_new_types': false,
      'browser.helperApps.neverAsk.saveToDisk': 'application/octet-stream',
    },
  });
  try {
    const page = await browser.newPage();
    const problems = watchProblems(page, url);
    await page.goto(url);
    await page.waitForFunction(() => window.grimtrim !== undefined);
    return {
      version: await browser.version(),
      page,
      evaluate: (fn, arg) => page.evaluate(fn, arg),
      problems: async () => [...problems],
      close: () => browser.close(),
    };
  } catch (error) {
    await browser.close();
    throw error;
  }
}

const pause = (ms) => new Promise((done) => setTimeout(done, ms));

function freePort() {
  return new Promise((done, fail) => {
    const probe = createNetServer();
    probe.once('error', fail);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => done(port));
    });
  });
}

// WebKitWebDriver on a virtual X display of its own, answering on 127.0.0.1. xvfb-run starts
// the display and runs the driver; once the driver ends, it stops the display and removes its
// authority file. So stop() ends the driver first, by the process id that the small shell in
// front of it reports before it becomes the driver, and then kills whatever is left of the
// process group (the browser the driver started, or everything, when xvfb-run did not finish).
async function startWebKitDriver() {
  const port = await freePort();
  const group = spawn('xvfb-run', ['-a', 'sh', '-c', 'echo "$$"; exec WebKitWebDriver "$@"', 'sh',
                                   `--port=${port}`, '--host=127.0.0.1'],
                      { detached: true, stdio: ['ignore', 'pipe', 'pipe'] });
  let log = '';
  let driverPid;
  group.stdout.setEncoding('utf8').on('data', (text) => {
    if (driverPid === undefined) driverPid = Number.parseInt(text, 10);
    log += text;
  });
  group.stderr.setEncoding('utf8').on('data', (text) => { log += text; });
  const exited = new Promise((done) => group.once('exit', done));
  let running = true;
  exited.then(() => { running = false; });
  const killGroup = () => {
    try {
      process.kill(-group.pid, 'SIGKILL');
    } catch {
      // the group is empty
    }
  };
  // A test process that ends without closing its engine leaves no display or browser behind.
  process.once('exit', killGroup);
  const stop = async () => {
    if (running && Number.isInteger(driverPid)) {
      process.kill(driverPid, 'SIGTERM');
      await Promise.race([exited, pause(5000)]);
    }
    killGroup();
    await exited;
    process.off('exit', killGroup);
  };

  const server = `http://127.0.0.1:${port}`;
  const deadline = Date.now() + 30000;
  for (;;) {
    if (!running || Date.now() > deadline) {
      await stop();
      throw new Error(`WebKitWebDriver did not start on port ${port}: ${log}`);
    }
    try {
      const status = await (await fetch(`${server}/status`)).json();
      if (status.value?.ready) break;
    } catch {
      // not listening yet
    }
    await pause(100);
  }
  return { server, stop };
}

// Set up in the page once the core has loaded: WebKitWebDriver reports neither console
// messages nor page errors, so the page keeps them itself.
function collectProblems() {
  const problems = [];
  window.engineProblems = problems;
  const consoleError = console.error.bind(console);
  console.error = (...args) => {
    problems.push(`console error: ${args.join(' ')}`);
    consoleError(...args);
  };
  window.addEventListener('error', (event) => problems.push(`page error: ${event.message}`));
  window.addEventListener('unhandledrejection', (event) => problems.push(`page error: ${event.reason}`));
  performance.setResourceTimingBufferSize(100000);
}

async function openWebKit(url) {
  const webDriver = await startWebKitDriver();
  let driver;
  try {
    // An explicit server: selenium then never looks for a driver, or downloads one.
    driver = await new Builder().usingServer(webDriver.server).withCapabilities({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': {
        binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
        args: ['--automation'],
      },
    }).build();
    await driver.manage().setTimeouts({ script: 600000, pageLoad: 60000 });
    await driver.get(url);
    await driver.wait(() => driver.executeScript('return window.grimtrim !== undefined'), 30000,
                      'the core did not load');
    await driver.executeScript(`(${collectProblems})()`);
    const capabilities = await driver.getCapabilities();
    return {
      version: `webkit ${capabilities.get('browserVersion')}`,
      async evaluate(fn, arg) {
        const outcome = await driver.executeAsyncScript(
            `const done = arguments[arguments.length - 1];
             const arg = arguments[0];
             Promise.resolve().then(() => (${fn})(arg)).then(
                 (value) => done({ value }),
                 (error) => done({ error: String(error) + ' ' + (error?.stack ?? '') }));`,
            arg ?? null);
        if (outcome.error !== undefined) throw new Error(`in the page: ${outcome.error}`);
        return outcome.value;
      },
      problems: () => driver.executeScript(
          `const requests = performance.getEntriesByType('resource').map((entry) => entry.name)
               .filter((name) => !name.startsWith(arguments[0]) && !name.startsWith('blob:') &&
                                 !name.startsWith('data:'));
           return [...window.engineProblems, ...requests.map((name) => 'request to ' + name)];`,
          url),
      async close() {
        try {
          await driver.quit();
        } finally {
          await webDriver.stop();
        }
      },
    };
  } catch (error) {
    await driver?.quit().catch(() => {});  // the error that matters is the first
    await webDriver.stop();
    throw error;
  }
}
