// Keeps a copy of the game's files for playing offline (sw.js). Nothing
// else of the page is written in JavaScript: the game is the C++ program.
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').catch(() => {});
}
