// The page used offline after a new build was put on the server: whatever the browser serves from
// its cache is one build whole, never the new window beside the old batch worker, and the new
// build is what it serves once the old one's pages are closed.
// Usage: node page_update_test.mjs PAGE_FOLDER CMAKE STAMP_SCRIPT SERVICE_WORKER_TEMPLATE
// (the build's script that writes the service worker into the page folder, and its template)
// with MIRALTO_NODE_MODULES naming the folder where playwright-core is installed.
import { spawnSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync, utimesSync,
         writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

import { serve } from './serve.mjs';

const [pageFolder, cmake, stampScript, workerTemplate] = process.argv.slice(2);
const require = createRequire(path.join(path.resolve(process.env.MIRALTO_NODE_MODULES), 'x.js'));
const { chromium } = require('playwright-core');

const failures = [];
function check(condition, what) {
  if (!condition) {
    failures.push(what);
    console.error(`FAILED: ${what}`);
  }
}

// The files a build changes and how the test marks each build's.
const marks = { 'index.html': (n) => `<!-- build ${n} -->\n`, 'page.css': (n) => `/* build ${n} */\n`,
                'window.js': (n) => `// build ${n}\n`, 'batch.js': (n) => `// build ${n}\n`,
                'batch_worker.js': (n) => `// build ${n}\n` };

// Makes `site` build `n`: each marked file as the page folder has it plus its mark, dated later
// than before so that the server answers with the new text. The dates lie days back, as on a
// server that has not changed for a while: a browser then deems the files it holds fresh for
// hours by their age alone, unless asked to check.
function build(site, n) {
  const when = Date.now() / 1000 - 86400 * (10 - n);
  for (const [file, mark] of Object.entries(marks)) {
    writeFileSync(path.join(site, file), readFileSync(path.join(pageFolder, file)));
    appendFileSync(path.join(site, file), mark(n));
    utimesSync(path.join(site, file), when, when);
  }
  // The service worker as the build writes it for these files.
  const stamp = spawnSync(cmake, [`-DPAGE=${site}`, `-DTEMPLATE=${workerTemplate}`, '-P', stampScript],
                          { stdio: 'inherit' });
  if (stamp.status !== 0) throw new Error(`${stampScript} failed`);
  utimesSync(path.join(site, 'service_worker.js'), when, when);
}

// The build each marked file is served as, asked from the page as the browser would load it.
async function servedBuilds(page, files = Object.keys(marks)) {
  return page.evaluate(async (files) => {
    const builds = {};
    for (const file of files) {
      const text = await (await fetch(file)).text();
      const found = text.match(/build (\d+)/g);
      builds[file] = found ? Number(found[found.length - 1].slice(6)) : null;
    }
    return builds;
  }, files);
}

async function ready(page) {
  await page.waitForSelector('body[data-ready="window"]');
}

// Waits in `page`, a page of the site, until the newest worker of the page's registration is in
// `state` or further: "installed" for a new build's worker, which then waits for the old build's
// pages to close, "activated" for the one in charge. A worker that turns redundant (its install
// failed) is an error, and so is a worker still short of `state` after two minutes, which on the
// slowest machine takes seconds.
async function newestWorker(page, scope, state) {
  let deadline;
  const late = new Promise((resolve) => {
    deadline = setTimeout(() => resolve('still short of it after two minutes'), 120000);
  });
  const reached = page.evaluate(async ([scope, state]) => {
    const registration = await navigator.serviceWorker.getRegistration(scope);
    if (!registration) return 'no registration';
    const worker = state === 'installed' ? registration.installing || registration.waiting
                                         : registration.installing || registration.waiting ||
                                           registration.active;
    if (!worker) return 'no new worker';
    const order = ['installing', 'installed', 'activating', 'activated'];
    return new Promise((resolve) => {
      const look = () => {
        if (worker.state === 'redundant') resolve('the worker became redundant');
        else if (order.indexOf(worker.state) >= order.indexOf(state)) resolve(null);
      };
      worker.addEventListener('statechange', look);
      look();
    });
  }, [scope, state]);
  const problem = await Promise.race([reached, late]);
  clearTimeout(deadline);
  if (problem) throw new Error(`a worker ${state}: ${problem}`);
}

async function main() {
  // The page in a folder of the site, so that a page of the site outside it watches its worker
  // without being one of the pages the worker answers for.
  const root = mkdtempSync(path.join(os.tmpdir(), 'miralto-site-'));
  const site = path.join(root, 'page');
  const profile = mkdtempSync(path.join(os.tmpdir(), 'miralto-chromium-'));
  cpSync(pageFolder, site, { recursive: true });
  build(site, 1);
  // Stopping the server is how the page goes offline, as the browser's offline switch does not
  // reach a service worker's own requests.
  let { server, port } = await serve(root);
  const origin = `http://127.0.0.1:${port}`;
  const scope = `${origin}/page/`;
  const offline = async (going) => {
    if (going) {
      server.kill();
      await new Promise((resolve) => server.once('exit', resolve));
    } else {
      ({ server } = await serve(root, port));
    }
  };
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const open = async () => {
    const page = await context.newPage();
    await page.goto(`${scope}index.html`);
    await ready(page);
    return page;
  };
  try {
    // Build 1 is installed for offline use.
    let page = context.pages()[0] || await context.newPage();
    await page.goto(`${scope}index.html`);
    await ready(page);
    await page.evaluate(async () => { await navigator.serviceWorker.ready; });
    await newestWorker(page, scope, 'activated');

    // Build 2 goes on the server; the page is opened again and shows it, without converting a
    // batch, so the batch worker is not asked for. The browser looks for a new worker, and
    // installs build 2's, which waits while a page of build 1 is open.
    build(site, 2);
    await page.goto(`${scope}index.html`);
    await ready(page);
    const online = await servedBuilds(page, ['window.js']);
    check(Object.values(online).every((n) => n === 2), `online: ${JSON.stringify(online)}`);
    await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.ready;
      await registration.update();
    });
    await newestWorker(page, scope, 'installed');

    await offline(true);
    await page.reload();
    await ready(page);
    const served = await servedBuilds(page);
    const builds = new Set(Object.values(served));
    check(builds.size === 1 && !builds.has(null),
          `offline after an update: one build, not ${JSON.stringify(served)}`);
    await offline(false);

    // Once the old build's pages are closed, the new build takes over and is the one kept for
    // offline use, with the old build's files gone.
    const watcher = await context.newPage();
    await watcher.goto(`${origin}/`);
    await page.close();
    await newestWorker(watcher, scope, 'activated');
    const kept = await watcher.evaluate(() => caches.keys());
    check(kept.length === 1, `caches once build 2 took over: ${JSON.stringify(kept)}`);
    page = await open();
    await offline(true);
    await page.reload();
    await ready(page);
    const later = await servedBuilds(page);
    check(Object.values(later).every((n) => n === 2),
          `offline, the old build's pages closed: ${JSON.stringify(later)}`);
    await offline(false);
  } finally {
    await context.close();
    server.kill();
    rmSync(profile, { recursive: true, force: true });
    rmSync(root, { recursive: true, force: true });
  }
  console.log(`${failures.length} failures`);
  process.exit(failures.length === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
