// The page used offline after a new build was put on the server: whatever the browser serves from
// its cache is one build whole, never the new window beside the old batch worker, and the new
// build is what it serves once the old one's pages are closed.
// Usage: node page_update_test.mjs PAGE_FOLDER CMAKE STAMP_SCRIPT SERVICE_WORKER_TEMPLATE
// (the build's script that writes the service worker into the page folder, and its template)
// with MIRALTO_NODE_MODULES naming the folder where playwright-core is installed.
import { spawn, spawnSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync, utimesSync,
         writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';

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

async function freePort() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// The site served on `port`; stopping the server is how the page goes offline, as the browser's
// offline switch does not reach a service worker's own requests.
async function serve(folder, port) {
  const server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1',
                                   '--directory', folder], { stdio: 'ignore' });
  for (let i = 0; i < 100; ++i) {
    const up = await new Promise((resolve) => {
      const socket = net.connect(port, '127.0.0.1', () => { socket.end(); resolve(true); });
      socket.on('error', () => resolve(false));
    });
    if (up) return server;
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error('the server did not start');
}

// The files a build changes and how the test marks each build's.
const marks = { 'index.html': (n) => `<!-- build ${n} -->\n`, 'page.css': (n) => `/* build ${n} */\n`,
                'window.js': (n) => `// build ${n}\n`, 'batch.js': (n) => `// build ${n}\n`,
                'batch_worker.js': (n) => `// build ${n}\n` };

// Makes `site` build `n`: each marked file as the page folder has it plus its mark, dated later
// than before so that the server answers with the new text.
function build(site, n) {
  const when = Date.now() / 1000 + 10 * n;
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

async function main() {
  const site = mkdtempSync(path.join(os.tmpdir(), 'miralto-site-'));
  const profile = mkdtempSync(path.join(os.tmpdir(), 'miralto-chromium-'));
  cpSync(pageFolder, site, { recursive: true });
  build(site, 1);
  const port = await freePort();
  const origin = `http://127.0.0.1:${port}`;
  let server = await serve(site, port);
  const offline = async (going) => {
    if (going) {
      server.kill();
      await new Promise((resolve) => server.once('exit', resolve));
    } else {
      server = await serve(site, port);
    }
  };
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  // The page closed and opened anew in the same browser, as a user does who comes back later.
  const reopen = async (page) => {
    await page.close();
    const fresh = await context.newPage();
    await fresh.goto(`${origin}/index.html`);
    await ready(fresh);
    return fresh;
  };
  try {
    // Build 1 is installed for offline use.
    let page = context.pages()[0] || await context.newPage();
    await page.goto(`${origin}/index.html`);
    await ready(page);
    await page.evaluate(async () => { await navigator.serviceWorker.ready; });

    // Build 2 goes on the server; the page is opened again and shows it, without converting a
    // batch, so the batch worker is not asked for.
    build(site, 2);
    await page.goto(`${origin}/index.html`);
    await ready(page);
    const online = await servedBuilds(page, ['window.js']);
    check(Object.values(online).every((n) => n === 2), `online: ${JSON.stringify(online)}`);
    // Time for anything the old worker still stores.
    await page.waitForTimeout(1000);

    await offline(true);
    await page.reload();
    await ready(page);
    const served = await servedBuilds(page);
    const builds = new Set(Object.values(served));
    check(builds.size === 1 && !builds.has(null),
          `offline after an update: one build, not ${JSON.stringify(served)}`);
    await offline(false);

    // Once the old build's pages are closed, the new build is the one kept for offline use.
    page = await reopen(page);
    await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.ready;
      await registration.update();
      for (let i = 0; i < 300 && registration.installing; ++i) {
        await new Promise((r) => setTimeout(r, 100));
      }
    });
    page = await reopen(page);
    await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.ready;
      for (let i = 0; i < 300 && (registration.waiting || registration.active.state !== 'activated');
           ++i) {
        await new Promise((r) => setTimeout(r, 100));
      }
    });
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
    rmSync(site, { recursive: true, force: true });
  }
  console.log(`${failures.length} failures`);
  process.exit(failures.length === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
