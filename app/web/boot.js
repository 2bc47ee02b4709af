// Keeps a copy of the game's files for playing offline (sw.js). Nothing
// else of the page is written in JavaScript: the game is the C++ program.
// The copy is made once the opening's first picture is on the screen, so
// that fetching every file never slows that picture.
if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    const register = () => navigator.serviceWorker.register('sw.js').catch(() => {});
    new PerformanceObserver((list, observer) => {
        if (list.getEntriesByName('first-contentful-paint').length) {
            observer.disconnect();
            register();
        }
    }).observe({ type: 'paint', buffered: true });
}
