// Keeps a copy of the game's files for playing offline (sw.js). Nothing
// else of the page is written in JavaScript: the game is the C++ program.
// It is registered once the page has loaded, so that its copying never
// slows the first picture.
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch(() => {}));
}
