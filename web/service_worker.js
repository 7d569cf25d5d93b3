// Keeps the page's files for use without a network. The server answers first whenever it can, so
// a new build shows at once; without it the cache answers, and the cache holds one build whole:
// it is filled once, when this worker is installed, and never file by file from what the page
// happened to load. Every build stamps its own version below, so a new build installs a new
// worker with a cache of its own, which replaces the old one only once no page of the old build is
// open. Nothing is fetched from another origin.
'use strict';

const cacheName = 'miralto-@PAGE_VERSION@';
const files = ['./', 'index.html', 'page.css', 'window.js', 'batch.js', 'batch_worker.js',
               'miralto.js', 'miralto.wasm', 'manifest.webmanifest', 'icon.svg'];

self.addEventListener('install', (event) => {
  // Past the browser's own cache, which may still hold files of the build before.
  const requests = files.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(requests)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) =>
    Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name)))));
});

self.addEventListener('fetch', (event) => {
  if (new URL(event.request.url).origin !== location.origin) return;
  // Asked of the server even where the browser's cache holds the file and deems it fresh by its
  // age alone (a server that sends no Cache-Control): else a new page could come with an old file.
  event.respondWith(fetch(event.request, { cache: 'no-cache' }).catch(() =>
    caches.open(cacheName).then((cache) => cache.match(event.request, { ignoreSearch: true }))));
});
