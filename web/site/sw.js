// The service worker: keeps every file of this build in a cache of its own
// and answers from it first, so the page starts with no network after the
// first visit. The build writes the list and the cache name, which changes
// with any file; a new build replaces the old cache when it takes over. Its
// files are fetched past the browser's HTTP cache, so a host that tells
// browsers to keep files for a while cannot hand a new build old ones.
const BUILD = "@BUILD@";
const CACHE = `tm650e-${BUILD}`;
const FILES = [
  "@FILES@",
];

self.addEventListener("install", (event) => {
  const fresh = FILES.map((file) => new Request(file, { cache: "reload" }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(fresh)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  const old = (name) => name.startsWith("tm650e-") && name !== CACHE;
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter(old).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((hit) => hit || fetch(event.request)));
});
