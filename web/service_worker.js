// Keeps the page's files for use without a network: cached on installation and refreshed from
// the server whenever it answers, so a new build shows at once; the cache answers when it does
// not. Nothing is fetched from another origin.
'use strict';

const cacheName = 'miralto-v1';
const files = ['./', 'index.html', 'page.css', 'window.js', 'batch.js', 'batch_worker.js',
               'miralto.js', 'miralto.wasm', 'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(files)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) =>
    Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name)))));
});

self.addEventListener('fetch', (event) => {
  if (new URL(event.request.url).origin !== location.origin) return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(cacheName).then((cache) => cache.put(event.request, copy));
    }
    return response;
  }).catch(() => caches.match(event.request, { ignoreSearch: true })));
});
