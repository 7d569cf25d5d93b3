// The page in Debian's Chromium, headless, served on 127.0.0.1 as scripts/web.sh serves it: the
// window scenarios through the page's controls in English and in Chinese, the About line and a
// converter that cannot be fetched in both, corrections kept over a reload and followed by the
// batch panel at once, batches equal to miralto-cli's output byte for byte, and no request leaving
// the origin.
// Usage: node page_test.mjs PAGE_FOLDER SCENARIOS_JSON MIRALTO_CLI SCREENSHOT_PNG
// with MIRALTO_NODE_MODULES naming the folder where playwright-core is installed.
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';

import { serve } from './serve.mjs';

const [pageFolder, scenariosFile, cli, screenshotFile] = process.argv.slice(2);
const require = createRequire(path.join(path.resolve(process.env.MIRALTO_NODE_MODULES), 'x.js'));
const { chromium } = require('playwright-core');

const storageKey = 'miralto/修正.txt';
// How the page's messages name the correction file: its copy in the module's own file system.
const correctionFile = '/localStorage/修正.txt';
const failures = [];
function check(condition, what) {
  if (!condition) {
    failures.push(what);
    console.error(`FAILED: ${what}`);
  }
}
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

async function servePage() {
  const { server, port } = await serve(pageFolder);
  return { server, origin: `http://127.0.0.1:${port}` };
}

// A fresh browser profile in `locale`, with `options` of Playwright's beside the page's own; every
// request it makes is recorded.
async function browser(locale, requests, options = {}) {
  const profile = mkdtempSync(path.join(os.tmpdir(), 'miralto-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    ...options,
    executablePath: '/usr/bin/chromium',
    headless: true,
    locale,
    acceptDownloads: true,
    viewport: { width: 1000, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--lang=${locale}`],
  });
  context.on('request', (request) => requests.push(request.url()));
  const page = context.pages()[0] || await context.newPage();
  page.on('pageerror', (error) => check(false, `${locale}: page error ${error.message}`));
  return { context, page, close: async () => { await context.close(); rmSync(profile, { recursive: true, force: true }); } };
}

const control = (name) => `[data-control="${name}"]`;

async function ready(page) {
  await page.waitForSelector('body[data-ready="window"]');
}

async function closeDialog(page) {
  if (await page.evaluate(() => document.getElementById('failure').open)) {
    await page.click('#failure-ok');
  }
}

// One scenario of the form model's table, played through the page's controls.
// Pages whose document still stores as the browser does, where the next scenario's correction
// file can be put without loading the page first.
const storing = new WeakSet();

async function playScenario(page, origin, scenario, language) {
  const where = (i) => `${language}: ${scenario.name}: step ${i + 1}`;
  if (!storing.has(page)) {
    await page.goto(`${origin}/index.html`);
    await ready(page);
  }
  storing.delete(page);
  await page.evaluate(([key, file]) => {
    if (file === null) localStorage.removeItem(key); else localStorage.setItem(key, file);
  }, [storageKey, scenario.correction_file ?? null]);
  await page.reload();
  await ready(page);
  if (scenario.correction_folder) {
    // Where a desktop window finds a folder in the file's place, the browser refuses to store.
    await page.evaluate(() => {
      Storage.prototype.setItem = () => { throw new DOMException('refused', 'QuotaExceededError'); };
    });
  }
  if (!scenario.correction_folder) storing.add(page);
  let steps = 0;
  for (const [i, step] of scenario.steps.entries()) {
    ++steps;
    if (step.set) {
      await closeDialog(page);
      for (const [name, text] of Object.entries(step.set)) await page.fill(control(name), text);
    } else if (step.click) {
      await closeDialog(page);
      await page.evaluate(() => { window.miraltoLastReport = null; });
      await page.click(control(step.click));
    } else if ('writes' in step) {
      const report = await page.evaluate(() => window.miraltoLastReport);
      check(report && same(report.writes, step.writes),
            `${where(i)}: writes ${JSON.stringify(report && report.writes)}, ` +
            `expected ${JSON.stringify(step.writes)}`);
      for (const [name, text] of step.writes) {
        const shown = await page.inputValue(control(name));
        check(shown === text, `${where(i)}: ${name} shows ${JSON.stringify(shown)}`);
      }
    } else if ('failure' in step) {
      const shown = await page.evaluate(() => {
        const dialog = document.getElementById('failure');
        return dialog.open ? document.getElementById('failure-text').textContent : null;
      });
      const expected = step.failure === null ? null : step.failure[language];
      // "{reason}" stands for the system's reason, any text.
      const pattern = expected === null ? null : new RegExp('^' +
        expected.replaceAll('{file}', correctionFile).replace(/[.*+?^$()|[\]\\]/g, '\\$&')
          .replace(/[{}]/g, '\\$&').replace('\\{reason\\}', '.+') + '$', 's');
      check(expected === null ? shown === null : shown !== null && pattern.test(shown),
            `${where(i)}: dialog ${JSON.stringify(shown)}, expected ${JSON.stringify(expected)}`);
    } else if (step.texts) {
      for (const [name, text] of Object.entries(step.texts)) {
        const shown = await page.inputValue(control(name));
        check(shown === text, `${where(i)}: ${name} shows ${JSON.stringify(shown)}, ` +
                              `expected ${JSON.stringify(text)}`);
      }
    } else if (step.restart) {
      await page.reload();
      await ready(page);
    } else if ('file' in step) {
      const stored = await page.evaluate((key) => localStorage.getItem(key), storageKey);
      check(stored === step.file, `${where(i)}: stored ${JSON.stringify(stored)}, ` +
                                  `expected ${JSON.stringify(step.file)}`);
    } else if (step.corrections) {
      const values = await page.evaluate(() => window.miraltoWindow.model.corrections());
      check(same(values, step.corrections), `${where(i)}: corrections ${JSON.stringify(values)}`);
    } else {
      check(false, `${where(i)}: a step the page test does not know: ${JSON.stringify(step)}`);
    }
  }
  return steps;
}

// Lines of one command, some of them bad, as a user's file might hold them.
function batchLines(command, count) {
  let seed = 20261210;
  const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
  const digits = '0123456789abcdefghijkmnpqrstuvwxyz';
  const code = () => {
    let text = String(1 + Math.floor(random() * 9));
    for (let i = 0; i < 8; ++i) text += digits[Math.floor(random() * 34)];
    return text;
  };
  const lon = () => (70 + random() * 72).toFixed(1 + Math.floor(random() * 7));
  const lat = () => (5 + random() * 72).toFixed(1 + Math.floor(random() * 7));
  const dms = (base, range) => [Math.floor(base + random() * range), Math.floor(random() * 60),
                                (random() * 60).toFixed(Math.floor(random() * 4))].join(' ');
  const lines = [];
  for (let i = 0; i < count; ++i) {
    if (i % 997 === 13) { lines.push('not a record'); continue; }
    if (command === 'dms') lines.push(`${lon()} ${lat()}`);
    else if (command === 'dd') lines.push(`${dms(70, 72)} ${dms(5, 72)}`);
    else if (command === 'encode') lines.push(i % 2 ? `${lon()} ${lat()}` : `${dms(70, 72)} ${dms(5, 72)}`);
    else if (command === 'decode') lines.push(code());
    else lines.push(`${code()} ${code()}`);
  }
  return lines.join('\n') + '\n';
}

// Sets the batch panel's file and options as a user would, and starts the conversion.
async function startInPage(page, file, options) {
  await page.setInputFiles('#batch-file', file);
  // A GeoJSON input takes no record options: it is chosen once they are set.
  await page.selectOption('#batch-from', 'text');
  await page.selectOption('#batch-command', options.command);
  await page.selectOption('#batch-to', options.to);
  for (const flag of ['dd', 'csv', 'header', 'append', 'lenient']) {
    await page.setChecked(`#batch-${flag}`, Boolean(options[flag]));
  }
  await page.fill('#batch-columns', options.columns || '');
  await page.fill('#batch-comment', '');
  await page.fill('#batch-correction-lon', options.correction[0]);
  await page.fill('#batch-correction-lat', options.correction[1]);
  if (options.from) await page.selectOption('#batch-from', options.from);
  await page.click('#batch-convert');
}

// Waits for the conversion to end and returns the path of the file the download link saves.
async function downloadFromPage(page) {
  await page.waitForSelector('body[data-batch="done"]', { timeout: 120000 });
  const [download] = await Promise.all([page.waitForEvent('download'),
                                        page.click('#batch-download')]);
  return download.path();
}

async function convertInPage(page, file, options) {
  await startInPage(page, file, options);
  return readFileSync(await downloadFromPage(page));
}

function cliArguments(file, options) {
  const args = [options.command, '--to', options.to, '--correction', options.correction.join(','),
                '-i', file];
  if (options.from) args.push('--from', options.from);
  for (const flag of ['dd', 'csv', 'header', 'append', 'lenient']) {
    if (options[flag]) args.push(`--${flag}`);
  }
  if (options.columns) args.push('--columns', options.columns);
  return args;
}

function convertWithCli(file, options) {
  return spawnSync(cli, cliArguments(file, options), { maxBuffer: 1 << 30 }).stdout;
}

const sha256 = (file) => createHash('sha256').update(readFileSync(file)).digest('hex');

// A million lines from a file, as the page promises to take them: the progress bar moves, the page
// answers while the worker converts, and the download is miralto-cli's output to the byte.
async function millionLines(page, folder) {
  const file = path.join(folder, 'million.txt');
  // A hundred copies of 10,000 lines: as good a test, and written in a moment.
  writeFileSync(file, batchLines('encode', 10000).repeat(100));
  const options = { command: 'encode', to: 'text', correction: ['-193', '106'] };
  const expected = path.join(folder, 'million.cli.txt');
  const run = spawnSync(cli, [...cliArguments(file, options), '-o', expected]);
  check(run.status === 1, `a million lines: miralto-cli exits with ${run.status}, expected 1`);

  // The page answers while the worker converts: each progress report is handled on the page's
  // thread as it comes, and at the first one a click on the window's "↑" is handled too, while the
  // conversion still runs. The click is made there, on the report, as one sent from outside could
  // land after the conversion ended on a slow machine and tell nothing.
  await page.evaluate(() => {
    const progress = document.getElementById('batch-progress');
    const up = document.querySelector('[data-control="Command1"]');
    window.miraltoProgress = [];
    window.miraltoClickAnswered = null;
    new MutationObserver(() => {
      window.miraltoProgress.push(progress.value);
      if (window.miraltoClickAnswered === null && progress.value > 0 && progress.value < 1) {
        window.miraltoLastReport = null;
        up.click();
        window.miraltoClickAnswered = window.miraltoLastReport !== null &&
                                      document.body.dataset.batch === 'running';
      }
    }).observe(progress, { attributes: true, attributeFilter: ['value'] });
  });
  const started = Date.now();
  await startInPage(page, file, options);
  const download = await downloadFromPage(page);
  const seconds = (Date.now() - started) / 1000;
  const [values, clickAnswered] = await page.evaluate(() => [window.miraltoProgress,
                                                             window.miraltoClickAnswered]);
  const intermediate = new Set(values.filter((v) => v > 0 && v < 1));
  check(intermediate.size >= 2, `a million lines: progress ${JSON.stringify(values)}`);
  check(clickAnswered === true,
        `a million lines: a click on the window answered during the conversion: ${clickAnswered}`);
  const status = await page.textContent('#batch-status');
  check(status === '1000000 lines converted, some with errors', `a million lines: "${status}"`);
  const same = statSync(download).size === statSync(expected).size &&
               sha256(download) === sha256(expected);
  check(same, `a million lines: ${statSync(download).size} bytes from the page, ` +
              `${statSync(expected).size} from miralto-cli`);
  console.log(`a million lines: ${seconds.toFixed(1)} s in the page, ${intermediate.size} ` +
              'progress values');
}

// A FeatureCollection as the command line reads it with --from geojson: points with and without
// earlier results, features that fail, members and properties to keep as written.
const collection = `{"type": "FeatureCollection", "name": "道路",
 "features": [
  {"type": "Feature", "properties": {"name": "typical road", "code": "old", "error": "gone"},
   "geometry": {"type": "Point", "coordinates": [113.288959, 23.236255]}},
  {"type": "Feature", "id": 7, "geometry": {"type": "Point", "coordinates": [116.39,39.9,43.5]},
   "properties": {"nested": {"a": [1, 2.50, "x"]}, "big": 1e400}},
  {"type": "Feature", "geometry": {"type": "LineString", "coordinates": [[1, 2], [3, 4]]},
   "properties": null},
  {"type": "Feature", "properties": {}},
  {"type": "Feature", "geometry": {"type": "Point", "coordinates": [200, 95]}, "properties": {}},
  {"type": "Feature", "geometry": {"type": "Point", "coordinates": ["113", "23"]}}
 ],
 "bbox": [1, 2, 3, 4]}
`;

// GeoJSON in: the features converted to text and to GeoJSON as miralto-cli converts them, and an
// input that is no collection refused with the command line's message.
async function geoJsonInput(page, folder) {
  const file = path.join(folder, 'roads.geojson');
  writeFileSync(file, collection);
  const runs = [
    { from: 'geojson', command: 'encode', to: 'geojson', correction: ['-193', '106'] },
    { from: 'geojson', command: 'encode', to: 'text', correction: ['0', '0'] },
    { from: 'geojson', command: 'dms', to: 'geojson', correction: ['0', '0'] },
    { from: 'geojson', command: 'dms', to: 'text', lenient: true, correction: ['0', '0'] },
  ];
  for (const options of runs) {
    const fromPage = await convertInPage(page, file, options);
    const fromCli = convertWithCli(file, options);
    check(fromCli.length > 0 && Buffer.compare(fromPage, fromCli) === 0,
          `GeoJSON in ${JSON.stringify(options)}: the page wrote ${JSON.stringify(
            fromPage.toString())}, miralto-cli ${JSON.stringify(fromCli.toString())}`);
  }
  check(await page.textContent('#batch-status') === 'The features converted, some with errors',
        `GeoJSON in: "${await page.textContent('#batch-status')}"`);
  // Record options do not go with a GeoJSON input, nor commands that read no position.
  const choices = await page.evaluate(() => ({
    csv: document.getElementById('batch-csv').disabled,
    decode: document.querySelector('#batch-command option[value="decode"]').disabled,
    kml: document.querySelector('#batch-to option[value="kml"]').disabled,
  }));
  check(same(choices, { csv: true, decode: true, kml: true }),
        `GeoJSON in: choices ${JSON.stringify(choices)}`);

  // No collection, and an empty file (whose progress is no 0 / 0 for the page to choke on).
  const notCollection = path.join(folder, 'point.geojson');
  writeFileSync(notCollection, '{"type": "Point", "coordinates": [113.288959, 23.236255]}\n');
  const empty = path.join(folder, 'empty.geojson');
  writeFileSync(empty, '');
  const options = { from: 'geojson', command: 'encode', to: 'text', correction: ['0', '0'] };
  for (const file of [notCollection, empty]) {
    await startInPage(page, file, options);
    await page.waitForSelector('body[data-batch="failed"]');
    const refused = spawnSync(cli, cliArguments(file, options), { encoding: 'utf8' });
    const shown = await page.textContent('#batch-status');
    check(refused.status === 1 && refused.stderr === `miralto-cli: ${shown}\n`,
          `GeoJSON in, ${path.basename(file)}: the page says "${shown}", ` +
          `miralto-cli "${refused.stderr}"`);
  }
}

// Storage refused from the start, as in a private window: the page says so at once, the window
// converts, and "修正误差" fails with a message that says why, in the browser's language.
const noStorageMessage = {
  en: 'File error:\ncannot write the correction file "/localStorage/修正.txt": the browser ' +
      'keeps nothing for this page (a private window, or its storage is turned off or full)',
  zh: '文件错误：\n无法写入修正值文件“/localStorage/修正.txt”：浏览器不为本页保存任何内容' +
      '（隐私窗口，或其存储已关闭或已满）',
};

async function storageUnavailable(context, origin, language) {
  const page = await context.newPage();
  await page.addInitScript(() => {
    Object.defineProperty(window, 'localStorage', {
      get() { throw new DOMException('The operation is insecure.', 'SecurityError'); },
    });
  });
  await page.goto(`${origin}/index.html`);
  await ready(page);
  const note = await page.evaluate(() => {
    const element = document.getElementById('storage-note');
    return element.hidden ? null : element.textContent;
  });
  check(note !== null && note.includes('"修正误差"'), `${language}: no storage: note ${note}`);
  check(!await page.evaluate(() => document.getElementById('failure').open),
        `${language}: no storage: a dialog at start-up`);
  await page.click(control('Command1'));
  await page.click(control('Command3'));
  const code = await page.inputValue(control('Text4'));
  check(code === '8i4k7zwpg', `${language}: no storage: the typical road gives ${code}`);
  await page.fill(control('Text7(0)'), '-193');
  await page.fill(control('Text7(1)'), '106');
  await page.click(control('Command6'));
  const shown = await page.evaluate(() => {
    const dialog = document.getElementById('failure');
    return dialog.open ? document.getElementById('failure-text').textContent : null;
  });
  check(shown === noStorageMessage[language], `${language}: no storage: "修正误差" says ${shown}`);
  await page.close();
}

// The typical road converted by the batch panel from its lines, with the corrections the panel
// shows: what the preview shows.
async function encodeTypicalRoad(page) {
  await page.fill('#batch-lines', '113.288959 23.236255\n');
  await page.selectOption('#batch-from', 'text');
  await page.selectOption('#batch-command', 'encode');
  await page.selectOption('#batch-to', 'text');
  await page.click('#batch-convert');
  await page.waitForSelector('body[data-batch="done"]', { timeout: 120000 });
  return page.textContent('#batch-preview');
}

// Every label shows its caption whole and from inside the window: the inset of a label that the
// table starts left of the client area counts in its width, as in the desktop windows. Where it
// did not, the caption ran past the label's end by the inset.
async function labelsShowTheirCaptions(page) {
  const cut = await page.evaluate(() => {
    const form = document.getElementById('form');
    const formLeft = form.getBoundingClientRect().left + form.clientLeft;
    return [...form.querySelectorAll('span[data-control]')].flatMap((label) => {
      const range = document.createRange();
      range.selectNodeContents(label);
      const caption = range.getBoundingClientRect();
      const place = label.getBoundingClientRect();
      const inside = caption.left >= formLeft - 0.01 && caption.right <= place.right + 0.01;
      return inside ? [] : [`${label.dataset.control} ${caption.left - formLeft}..` +
                            `${caption.right - formLeft} in ..${place.right - formLeft}`];
    });
  });
  check(cut.length === 0, `labels whose caption is cut: ${cut.join(', ')}`);
}

const aboutLine = {
  en: 'About Miralto: published under the Apache License 2.0 (SPDX: Apache-2.0). The page ' +
      'includes libcsv (LGPL-2.1+), fmt and fast_float, each under its own licence.',
  zh: '关于 Miralto：依据 Apache 许可证 2.0 版发布（SPDX：Apache-2.0）。本页包含 libcsv' +
      '（LGPL-2.1+）、fmt 和 fast_float，各依其自身的许可证。',
};
const unavailableMessage = {
  en: 'The converter could not be loaded from the server: check the connection and convert again.',
  zh: '无法从服务器加载转换程序：请检查网络连接后重新转换。',
};

// The page served without its service worker, as over plain HTTP on an intranet, where each
// conversion's worker fetches its script and the module anew: the About line names the licence,
// and a file of the converter that cannot be fetched ends the conversion with the page's message
// in the browser's language, after which a conversion with the files back converts.
async function withoutServiceWorker(origin, locale, language, requests) {
  const { context, page, close } = await browser(locale, requests, { serviceWorkers: 'block' });
  await page.goto(`${origin}/index.html`);
  await ready(page);
  const about = await page.textContent('#about');
  check(about === aboutLine[language], `${language}: the About line says "${about}"`);
  for (const file of ['batch_worker.js', 'miralto.js', 'miralto.wasm']) {
    const url = `${origin}/${file}`;
    const refuse = (route) => route.abort('connectionrefused');
    await context.route(url, refuse);
    await page.fill('#batch-lines', '113.288959 23.236255\n');
    await page.click('#batch-convert');
    await page.waitForSelector('body[data-batch="failed"]', { timeout: 120000 });
    const status = await page.textContent('#batch-status');
    check(status === unavailableMessage[language],
          `${language}: ${file} not fetched: the batch says "${status}"`);
    await context.unroute(url, refuse);
    const code = await encodeTypicalRoad(page);
    check(code === '8i4k7zwpg\n',
          `${language}: ${file} back: the batch gives ${JSON.stringify(code)}`);
  }
  await close();
}

async function main() {
  const { server, origin } = await servePage();
  const scenarios = JSON.parse(readFileSync(scenariosFile, 'utf8'));
  const requests = [];
  try {
    for (const [locale, language] of [['en-US', 'en'], ['zh-CN', 'zh']]) {
      const { context, page, close } = await browser(locale, requests);
      let steps = 0;
      for (const scenario of scenarios) steps += await playScenario(page, origin, scenario, language);
      console.log(`${language}: ${scenarios.length} scenarios, ${steps} steps`);
      await storageUnavailable(context, origin, language);
      await close();
      await withoutServiceWorker(origin, locale, language, requests);
    }

    const { context, page, close } = await browser('en-US', requests);
    await page.goto(`${origin}/`);
    await ready(page);
    await labelsShowTheirCaptions(page);
    await page.evaluate((key) => localStorage.removeItem(key), storageKey);

    // Corrections kept by the browser over a reload, and used by the next encoding.
    await page.reload();
    await ready(page);
    await page.fill(control('Text7(0)'), '-193');
    await page.fill(control('Text7(1)'), '106');
    await page.click(control('Command6'));
    // The batch panel converts with them at once, as miralto-cli reads the saved ones on every run.
    const panel = [await page.inputValue('#batch-correction-lon'),
                   await page.inputValue('#batch-correction-lat'), await encodeTypicalRoad(page)];
    check(same(panel, ['-193', '106', '87ak7vtpg\n']),
          `the batch panel after "修正误差": ${JSON.stringify(panel)}`);
    await page.reload();
    await ready(page);
    check(await page.inputValue(control('Text7(0)')) === '-193' &&
          await page.inputValue(control('Text7(1)')) === '106', 'corrections shown after a reload');
    await page.click(control('Command1'));
    await page.click(control('Command3'));
    check(await page.inputValue(control('Text4')) === '87ak7vtpg',
          'the typical road with the kept corrections gives 87ak7vtpg');
    await page.screenshot({ path: screenshotFile, fullPage: true });
    // A correction text is kept as typed, a NUL character in it too: it neither ends the stored
    // text nor loses the latitude line after it.
    await page.fill(control('Text7(0)'), '5\u00007');
    await page.fill(control('Text7(1)'), '-3');
    await page.click(control('Command6'));
    await page.reload();
    await ready(page);
    const kept = [await page.inputValue(control('Text7(0)')),
                  await page.inputValue(control('Text7(1)')),
                  await page.evaluate(() => document.getElementById('failure').open)];
    check(same(kept, ['5\u00007', '-3', false]), `a NUL in a correction: ${JSON.stringify(kept)}`);

    // Batches: 10,000 lines of each command, as miralto-cli converts them.
    const folder = mkdtempSync(path.join(os.tmpdir(), 'miralto-batch-'));
    const runs = [
      { command: 'dms', to: 'text', correction: ['0', '0'] },
      { command: 'dd', to: 'text', correction: ['0', '0'] },
      { command: 'encode', to: 'text', correction: ['-193', '106'] },
      { command: 'decode', to: 'text', correction: ['-193', '106'] },
      { command: 'decode', to: 'text', dd: true, correction: ['0', '0'] },
      { command: 'compare', to: 'text', correction: ['0', '0'] },
      { command: 'encode', to: 'geojson', correction: ['0', '0'] },
      { command: 'dms', to: 'kml', correction: ['0', '0'] },
      { command: 'decode', to: 'gpx', correction: ['0', '0'] },
    ];
    for (const options of runs) {
      const file = path.join(folder, `${options.command}.txt`);
      writeFileSync(file, batchLines(options.command, 10000));
      const fromPage = await convertInPage(page, file, options);
      const fromCli = convertWithCli(file, options);
      const name = `batch ${JSON.stringify(options)}`;
      check(fromCli.length > 0 && Buffer.compare(fromPage, fromCli) === 0,
            `${name}: ${fromPage.length} bytes from the page, ${fromCli.length} from miralto-cli`);
      if (options.to === 'geojson') {
        let features = -1;
        try {
          features = JSON.parse(fromPage.toString('utf8')).features.length;
        } catch (e) {
          check(false, `${name}: the download does not parse: ${e.message}`);
        }
        check(features > 9000, `${name}: ${features} features`);
      }
    }
    // CSV columns, a header and the input before the results.
    const csv = path.join(folder, 'encode.csv');
    writeFileSync(csv, 'name,lon,lat\n' + batchLines('dms', 1000).trim().split('\n')
      .map((line, i) => `p${i},${line.replace(' ', ',')}`).join('\r\n') + '\r\n');
    const csvOptions = { command: 'encode', to: 'text', csv: true, header: true, append: true,
                         columns: '2,3', correction: ['5', '-7'] };
    check(Buffer.compare(await convertInPage(page, csv, csvOptions),
                         convertWithCli(csv, csvOptions)) === 0, 'CSV batch with header and append');
    // Column numbers are whole numbers, as the command line reads them: "2.5" is no column 2, and
    // the earlier download goes with the refused options.
    for (const columns of ['2.5,3', '4294967298,3']) {
      const options = { ...csvOptions, columns };
      await startInPage(page, csv, options);
      const status = await page.textContent('#batch-status');
      const first = columns.split(',')[0];
      check(status === `"${first}" is not a column number`, `columns ${columns}: "${status}"`);
      check(await page.isHidden('#batch-download'), `columns ${columns}: a download is offered`);
      const refused = spawnSync(cli, cliArguments(csv, options), { encoding: 'utf8' });
      check(refused.status === 2 && refused.stderr.includes(`"${first}" is not a number`),
            `columns ${columns}: miralto-cli exits with ${refused.status}`);
    }
    await millionLines(page, folder);
    await geoJsonInput(page, folder);
    rmSync(folder, { recursive: true, force: true });

    // Offline: the service worker answers from its cache, and the window still converts. The
    // server is stopped, as the browser's offline switch does not reach the worker's requests.
    await page.evaluate(async () => { await navigator.serviceWorker.ready; });
    await page.reload();
    await ready(page);
    server.kill();
    await new Promise((resolve) => server.once('exit', resolve));
    await page.reload();
    await ready(page);
    await page.click(control('Command1'));
    check(await page.inputValue(control('Text3(2)')) === '20.24048', 'the window works offline');
    await close();
  } finally {
    server.kill();
  }

  const outside = requests.filter((url) => !url.startsWith(`${origin}/`) &&
                                           !url.startsWith('blob:') && !url.startsWith('data:'));
  check(outside.length === 0, `requests outside the origin: ${outside.join(' ')}`);
  console.log(`${requests.length} requests, ${failures.length} failures`);
  process.exit(failures.length === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
