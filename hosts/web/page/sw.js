// Keeps the whole page for playing offline. Each build names its cache after
// its files (the build writes the name in), so a new build replaces the old
// one on the next visit, and the old cache is dropped.
"use strict";
const CACHE = "parlour-@BUILD@";
const FILES = ["./", "index.html", "parlour.css", "parlour_page.js", "parlour.js", "parlour.wasm",
  "parlour_search.js", "manifest.webmanifest", "icons/parlour-192.png", "icons/parlour-512.png", "icons/parlour.svg"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith("parlour-") && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The cache first: the page is the same files until the next build. The
// query (a test's tick) does not make another page.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE).then((cache) =>
    cache.match(event.request, { ignoreSearch: true }).then((hit) => hit || fetch(event.request))));
});
