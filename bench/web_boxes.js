// Moves the three boxes down at 80.1, 40.05 and 26.7 pixels a second, back
// to the top after 384 pixels, as the sums fall at their three paces.
const boxes = [...document.querySelectorAll('.box')];
const paces = [80.1, 40.05, 26.7];
const start = performance.now();
function frame(now) {
    const seconds = (now - start) / 1000;
    boxes.forEach((box, i) => {
        box.style.transform = `translateY(${Math.round((seconds * paces[i]) % 384)}px)`;
    });
    requestAnimationFrame(frame);
}
requestAnimationFrame(frame);
