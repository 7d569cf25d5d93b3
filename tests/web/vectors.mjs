// The shared test tables (tests/data) run through the browser build under Node.js: the same
// WebAssembly module the page loads must give every row's texts bit for bit.
// Usage: node --no-experimental-fetch vectors.mjs PAGE_FOLDER DATA_FOLDER
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

const [pageFolder, dataFolder] = process.argv.slice(2);
const require = createRequire(import.meta.url);
const Miralto = require(path.resolve(pageFolder, 'miralto.js'));
const module = await Miralto();

// RFC 4180 fields of one line: quotes keep commas and blanks, "" is a quote.
function splitCsv(line) {
  const fields = [''];
  let quoted = false;
  for (let i = 0; i < line.length; ++i) {
    const c = line[i];
    if (quoted && c === '"' && line[i + 1] === '"') {
      fields[fields.length - 1] += '"';
      ++i;
    } else if (c === '"') {
      quoted = !quoted;
    } else if (c === ',' && !quoted) {
      fields.push('');
    } else {
      fields[fields.length - 1] += c;
    }
  }
  return fields;
}

// The control table as the page builds its window from it, a row a control in tab order.
const kinds = { text: 'text box', label: 'label', button: 'button' };
const controls = module.controls().map((c) =>
  [c.name, kinds[c.kind], c.text, c.left, c.top, c.width, c.height].join(','));
let controlRow = 0;

// Tables the browser build has no rule for fail, so that a new table is not silently skipped.
const tables = readdirSync(dataFolder).filter((name) => name.endsWith('.csv'));
let rows = 0;
const failures = [];
for (const table of tables) {
  const lines = readFileSync(path.join(dataFolder, table), 'utf8').split('\n');
  lines.forEach((raw, index) => {
    const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
    if (line === '' || line.startsWith('#')) return;
    const { got, expected } = table === 'window_controls.csv'
      ? { got: controls[controlRow++], expected: splitCsv(line).join(',') }
      : module.vectorRow(table, splitCsv(line));
    ++rows;
    if (got !== expected) {
      failures.push(`${table}:${index + 1}: got ${JSON.stringify(got)}, ` +
                    `expected ${JSON.stringify(expected)}`);
    }
  });
}
if (controlRow !== controls.length) failures.push(`${controls.length} controls, ${controlRow} rows`);
for (const failure of failures) console.error(failure);
console.log(`${rows} rows of ${tables.length} tables, ${failures.length} failed`);
process.exit(failures.length === 0 && rows > 0 ? 0 : 1);
