// The offline copy of the game: every file of one build, cached on the
// first visit and served from the cache from then on; the teacher's page is
// kept too, once it has been opened, so that a child's first visit fetches
// nothing of it. A new build has a new version, installs its own cache and
// deletes the older ones.
const VERSION = '@VERSION@';
const FILES = @FILES@;
const ON_DEMAND = @ON_DEMAND@;
const CACHE = 'permoroplus-' + VERSION;

self.addEventListener('install', (event) => {
    // 'no-cache': the files of this build, never older ones from the
    // browser's HTTP cache.
    event.waitUntil(caches.open(CACHE)
        .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'no-cache' }))))
        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys()
        .then((keys) => Promise.all(keys
            .filter((key) => key.startsWith('permoroplus-') && key !== CACHE)
            .map((key) => caches.delete(key))))
        .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) {
        return;
    }
    // The page's address may carry parameters (?clock=manual): the file is
    // the same.
    const file = new URL(request.url).pathname.split('/').pop();
    event.respondWith(caches.open(CACHE).then((cache) => cache.match(request, { ignoreSearch: true })
        .then((hit) => hit || fetch(request).then((response) => {
            if (response.ok && ON_DEMAND.includes(file)) cache.put(request.url.split('?')[0], response.clone());
            return response;
        }))));
});
