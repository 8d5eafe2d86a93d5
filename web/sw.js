// The page's service worker: it keeps every file of the page in a cache, so
// that the page opens and plays offline once it has been loaded. The build
// writes the list of files and a name that changes with their contents
// (stamp-cache.cmake); paths are relative, so the page works under any path.
"use strict";

const CACHE = "karvosel-@CACHE_STAMP@";
const FILES = [@CACHE_FILES@];

self.addEventListener("install", (event) => {
  event.waitUntil(
    caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()),
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) => Promise.all(names.filter((n) => n.startsWith("karvosel-") && n !== CACHE)
                                         .map((n) => caches.delete(n))))
      .then(() => self.clients.claim()),
  );
});

// The cached file first (the page's files change only with a new build, and
// then the cache's name changes too), the network for anything else.
self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(
    caches.match(event.request, { ignoreSearch: true }).then((hit) => hit || fetch(event.request)),
  );
});
