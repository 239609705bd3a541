// Keeps the page's files for play with no network. Each build names its own
// cache, so a new build's worker fetches its files and drops the old ones.
// Files come from the network while there is one, else from the cache.
"use strict";
const CACHE = "quenmar-@VERSION@";
const FILES = ["./", ..."@FILES@".split(" ")];

self.addEventListener("install", (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(FILES))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names
            .filter((name) => name.startsWith("quenmar-") && name !== CACHE)
            .map((name) => caches.delete(name)),
        ),
      )
      .then(() => self.clients.claim()),
  );
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(
    fetch(event.request)
      .then((response) => {
        if (response.ok && new URL(event.request.url).origin === location.origin) {
          const copy = response.clone();
          caches.open(CACHE).then((cache) => cache.put(event.request, copy));
        }
        return response;
      })
      .catch(() =>
        caches
          .open(CACHE)
          .then((cache) => cache.match(event.request, { ignoreSearch: true }))
          .then((kept) => kept || Response.error()),
      ),
  );
});
