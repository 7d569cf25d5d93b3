// Converts a batch off the page's thread: the input read a block at a time, the output kept as
// blocks of bytes for the page to download.
'use strict';

importScripts('miralto.js');
const ready = Miralto();
const kBlock = 1 << 20;

onmessage = async ({ data: { options, input } }) => {
  const module = await ready;
  const batch = new module.Batch(options);
  const chunks = [batch.begin()];
  let lines = 0;
  let lastReport = 0;
  for (let start = 0; start < input.size; start += kBlock) {
    const block = new Uint8Array(await input.slice(start, start + kBlock).arrayBuffer());
    for (const byte of block) if (byte === 10) ++lines;
    chunks.push(batch.feed(block));
    const now = Date.now();
    if (now - lastReport > 100) {
      postMessage({ progress: Math.min(start + kBlock, input.size) / input.size });
      lastReport = now;
    }
  }
  chunks.push(batch.finish());
  const ok = batch.ok();
  batch.delete();
  postMessage({ chunks, ok, lines }, chunks.map((c) => c.buffer));
};
