// A batch line longer than the browser build's memory holds (a file of one line past a gigabyte)
// fails with an Error that says so, which the page's worker shows instead of the lines converted
// before it: the module must not let it out as a bare number, which tells nothing.
// Usage: node --no-experimental-fetch batch_memory_test.mjs PAGE_FOLDER
import { createRequire } from 'node:module';
import path from 'node:path';

const [pageFolder] = process.argv.slice(2);
const require = createRequire(import.meta.url);
const module = await (require(path.resolve(pageFolder, 'miralto.js')))();

const batch = new module.Batch({
  from: 'text', command: 'encode', to: 'text', dd: false, lenient: false, csv: false, columns: [],
  header: false, append: false, commentDelimiter: '', correction: ['0', '0'],
});
batch.begin();
const line = '113.288959 23.236255\n';
batch.block(line.length).set(new TextEncoder().encode(line));
const first = new TextDecoder().decode(batch.feedBlock());
const block = new Uint8Array(1 << 24).fill('7'.charCodeAt(0));
let thrown = null;
// 16 MiB at a time, no line end: the module's memory (2 GiB at most) runs out well before 4 GiB.
for (let i = 0; i < 256 && thrown === null; ++i) {
  try {
    batch.block(block.length).set(block);
    batch.feedBlock();
  } catch (e) {
    thrown = e;
  }
}
const expected = 'out of memory: the operation needs more memory than is free';
const ok = first === '8i4k7zwpg\n' && thrown instanceof Error && thrown.message === expected;
if (!ok) {
  console.error(`first line: ${JSON.stringify(first)}; thrown: ${typeof thrown} ` +
                `${thrown instanceof Error ? 'Error' : ''} ${JSON.stringify(thrown && thrown.message)}`);
}
process.exit(ok ? 0 : 1);
