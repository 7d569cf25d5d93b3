// Converts a batch off the page's thread: the input read a block at a time, the next block read
// while this one converts, the output kept as blocks of bytes for the page to download.
'use strict';

// The module is fetched with each conversion's worker where no service worker keeps it (plain HTTP
// on an intranet): one that cannot be fetched is told to the page as such, for a rejected promise
// of a worker never reaches the page's onerror and the page would wait for ever.
let ready;
try {
  importScripts('miralto.js');
  ready = Miralto();
} catch (e) {
  ready = Promise.reject(e);
}
ready.catch(() => {});  // awaited by the conversion, not an unhandled rejection before it
const kBlock = 1 << 20;

let lastReport = 0;
function report(done, size) {
  const now = Date.now();
  if (now - lastReport > 100) {
    // An empty file is done at once, not 0 / 0, which the progress bar refuses.
    postMessage({ progress: size > 0 ? Math.min(done, size) / size : 1 });
    lastReport = now;
  }
}

async function convertLines(module, options, input) {
  const batch = new module.Batch(options);
  const chunks = [batch.begin()];
  const read = (start) => input.slice(start, start + kBlock).arrayBuffer();
  let next = read(0);
  for (let start = 0; start < input.size; start += kBlock) {
    const block = new Uint8Array(await next);
    next = read(start + kBlock);
    batch.block(block.length).set(block);
    chunks.push(batch.feedBlock());
    report(start + kBlock, input.size);
  }
  chunks.push(batch.finish());
  const result = { chunks, ok: batch.ok(), lines: batch.lines() };
  batch.delete();
  return result;
}

// A FeatureCollection is read by the module as a stream, pulled from the file as it goes.
function convertCollection(module, options, input) {
  const reader = new FileReaderSync();
  const chunks = [];
  let at = 0;
  // A file that cannot be read (gone, changed) is a read error of the stream: -1.
  let readError = null;
  const read = (view) => {
    try {
      const bytes = new Uint8Array(reader.readAsArrayBuffer(input.slice(at, at + view.length)));
      view.set(bytes);
      at += bytes.length;
      report(at, input.size);
      return bytes.length;
    } catch (e) {
      readError = e.message;
      return -1;
    }
  };
  const write = (view) => { chunks.push(view.slice()); };
  const { ok, error } = module.convertGeoJson(options, read, write);
  return { chunks, ok, error: readError || error, lines: null };
}

onmessage = async ({ data: { options, input } }) => {
  let module;
  try {
    module = await ready;
  } catch (e) {
    postMessage({ unavailable: true });
    return;
  }
  lastReport = 0;
  let result;
  try {
    result = options.from === 'geojson' ? convertCollection(module, options, input)
                                        : await convertLines(module, options, input);
  } catch (e) {
    // The file could not be read, or the module ran out of memory: the page tells why instead of
    // waiting for ever or offering what was converted before as the whole.
    result = { chunks: [], ok: false, error: e instanceof Error ? e.message : String(e), lines: 0 };
  }
  postMessage(result, result.chunks.map((c) => c.buffer));
};
