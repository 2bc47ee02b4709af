// Moves three labelled boxes down as the sums fall at their three paces
// (100, 50 and 33.3 of the window's units a second) and back to the top at
// the bottom of their path, in the places of the landscape window or, with
// ?layout=portrait, of the upright one; a countdown beside them changes once
// a second. Scaled to the viewport as the game is.
const portrait = new URLSearchParams(location.search).get('layout') === 'portrait';
const layout = portrait
    ? { width: 360, height: 640, lefts: [4, 122, 240], top: 206, size: [114, 32], unit: 0.55499, font: 24 }
    : { width: 612, height: 491, lefts: [136, 304, 464], top: 16, size: [113, 33], unit: 0.801, font: 27 };
const stage = document.querySelector('.stage');
Object.assign(stage.style, { width: `${layout.width}px`, height: `${layout.height}px` });
stage.style.zoom = Math.min(innerWidth / layout.width, innerHeight / layout.height);
const colours = ['#FFE0C0', '#FFFFC0', '#C0FFFF'];
const boxes = layout.lefts.map((left, i) => {
    const box = document.createElement('div');
    box.className = 'box';
    Object.assign(box.style, {
        left: `${left}px`, top: `${layout.top}px`, width: `${layout.size[0]}px`, height: `${layout.size[1]}px`,
        background: colours[i], fontSize: `${layout.font}px`,
    });
    box.textContent = ['12 + 34', '56 - 7', '89 + 10'][i];
    stage.append(box);
    return box;
});
const countdown = document.querySelector('.countdown');
const paces = [100, 50, 100 / 3];
const travel = 482;  // units from the top to the bottom of the path
const start = performance.now();
let shown = -1;
function frame(now) {
    const seconds = (now - start) / 1000;
    boxes.forEach((box, i) => {
        box.style.transform = `translateY(${Math.round(((seconds * paces[i]) % travel) * layout.unit)}px)`;
    });
    const left = 60 - Math.floor(seconds) % 60;
    if (left !== shown) {
        countdown.textContent = String(left);
        shown = left;
    }
    requestAnimationFrame(frame);
}
requestAnimationFrame(frame);
