// The teacher's page reading result cards off pictures, in Debian's
// headless Chromium, the site served from 127.0.0.1. Prints:
//
//   35 screenshots   a class's cards (800 × 600 PNG, a QR code each) chosen
//                    at once in a fresh page: the time from choosing to the
//                    summary, the cards listed, the longest task of the
//                    page's main thread meanwhile, and its JavaScript heap
//                    before and after (CDP Performance.getMetrics)
//   one 20 MB photo  a card in a 6000 × 4500 JPEG of noise: the same figures
//
// Run by bench/web.sh, or alone: node bench/teacher_read.mjs
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { SITE, launch, serve } from '../tests/web/support.mjs';
import { cardPictures, cardTexts } from '../tests/web/card_pictures.mjs';

const RUNS = 3;
const CARDS = 35;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const megabytes = (bytes) => (bytes / 1024 / 1024).toFixed(1);
// The longtask observer sees tasks of 50 ms or more only.
const longest = (ms) => (ms ? `longest main-thread task ${ms.toFixed(0)} ms` : 'no main-thread task of 50 ms or more');

async function heapUsed(cdp) {
    const { metrics } = await cdp.send('Performance.getMetrics');
    return metrics.find((m) => m.name === 'JSHeapUsedSize').value;
}

// One batch in a fresh page: the reader and its WebAssembly are fetched
// and started as a teacher's first batch would have them.
async function readBatch(browser, server, files) {
    const context = await browser.newContext({ viewport: { width: 900, height: 1000 } });
    const page = await context.newPage();
    await page.addInitScript(() => {
        window.longest = 0;
        new PerformanceObserver((list) => {
            for (const entry of list.getEntries()) window.longest = Math.max(window.longest, entry.duration);
        }).observe({ type: 'longtask' });
    });
    const cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    await page.goto(`${server.address}teacher.html`);
    await page.waitForFunction(() => document.getElementById('link').value !== '');
    await page.evaluate(() => { window.longest = 0; });
    const before = await heapUsed(cdp);
    // The summary is looked for ten times a second, not at every frame,
    // which would cost the page more than its reading does.
    const start = performance.now();
    await page.setInputFiles('#card-files', files);
    await page.waitForFunction(() => /画像 \d+まいから/.test(document.getElementById('card-said').textContent), null, { timeout: 120_000, polling: 100 });
    const seconds = (performance.now() - start) / 1000;
    const result = {
        seconds,
        cards: await page.locator('#class-table tbody tr').count(),
        longest: await page.evaluate(() => window.longest),
        before,
        after: await heapUsed(cdp),
        said: await page.locator('#card-said').textContent(),
    };
    await context.close();
    return result;
}

async function report(browser, server, label, files) {
    const runs = [];
    for (let run = 0; run < RUNS; ++run) runs.push(await readBatch(browser, server, files));
    const times = runs.map((r) => r.seconds);
    console.log(`${label}: ${median(times).toFixed(2)} s median (${Math.min(...times).toFixed(2)}–${Math.max(...times).toFixed(2)}, ${RUNS} runs), `
        + `${runs[0].cards} cards listed, ${longest(Math.max(...runs.map((r) => r.longest)))}, `
        + `JS heap ${megabytes(median(runs.map((r) => r.before)))} MB before, ${megabytes(median(runs.map((r) => r.after)))} MB after`);
    console.log(`  the page said: ${runs[0].said}`);
}

// The pictures as files on disk, chosen as a teacher chooses them.
const folder = mkdtempSync(join(tmpdir(), 'permoro-bench-cards-'));
const written = (buffers, name) => buffers.map((buffer, k) => {
    const path = join(folder, name(k));
    writeFileSync(path, buffer);
    return path;
});
const browser = await launch();
const server = await serve(SITE);
try {
    const texts = cardTexts(CARDS);
    const shots = await cardPictures(browser, texts.map((text) => ({ text })));
    await report(browser, server, `${CARDS} screenshots (800 × 600 PNG)`, written(shots, (k) => `card${k + 1}.png`));

    const [photo] = await cardPictures(browser, [{ text: texts[0], width: 6000, height: 4500, type: 'image/jpeg', module: 12, noise: true }]);
    await report(browser, server, `one ${megabytes(photo.length)} MB photo (6000 × 4500 JPEG)`, written([photo], () => 'photo.jpg'));
} finally {
    await server.close();
    await browser.close();
    rmSync(folder, { recursive: true, force: true });
}
