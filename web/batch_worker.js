// Converts a batch off the page's thread: the input read a block at a time, the next block read
// while this one converts, the output kept as blocks of bytes for the page to download.
'use strict';

importScripts('miralto.js');
const ready = Miralto();
const kBlock = 1 << 20;

onmessage = async ({ data: { options, input } }) => {
  const module = await ready;
  const batch = new module.Batch(options);
  const chunks = [batch.begin()];
  const read = (start) => input.slice(start, start + kBlock).arrayBuffer();
  let lastReport = 0;
  let next = read(0);
  for (let start = 0; start < input.size; start += kBlock) {
    const block = new Uint8Array(await next);
    next = read(start + kBlock);
    batch.block(block.length).set(block);
    chunks.push(batch.feedBlock());
    const now = Date.now();
    if (now - lastReport > 100) {
      postMessage({ progress: Math.min(start + kBlock, input.size) / input.size });
      lastReport = now;
    }
  }
  chunks.push(batch.finish());
  const ok = batch.ok();
  const lines = batch.lines();
  batch.delete();
  postMessage({ chunks, ok, lines }, chunks.map((c) => c.buffer));
};
