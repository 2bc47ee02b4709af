// Benchmarks of the browser edition in Debian's headless Chromium, the site
// served from 127.0.0.1. Prints every figure; run by bench/web.sh.
//
//   page weight         every file the page downloads, raw and gzipped
//   first paint         navigation start to the first paint of the opening, cold cache
//   main-thread time    per second of play, landscape and upright, each beside
//                       a bare page that moves three labelled boxes of the
//                       sums' size at the sums' paces in the same places
//   heap                JavaScript heap in use at the end of a game
//   game length         a 60-second game in real time, click to verdict
//   falling paces       pixels a second of the sums at scale 1
import { readFile } from 'node:fs/promises';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { GAME, SITE, answerButton, course, launch, serve } from '../tests/web/support.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const RUNS = 9;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const fixed = (value, digits = 1) => value.toFixed(digits);

async function metrics(cdp) {
    const { metrics: list } = await cdp.send('Performance.getMetrics');
    return Object.fromEntries(list.map((m) => [m.name, m.value]));
}

async function newPage(browser, viewport = { width: 612, height: 491 }) {
    const context = await browser.newContext({ viewport, deviceScaleFactor: 1 });
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    return { context, page, cdp };
}

async function pageWeight(browser, site) {
    // A first visit, until the offline copy is complete.
    const { context, page } = await newPage(browser);
    site.requests.length = 0;
    await page.goto(site.address);
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(async () => (await caches.keys()).length === 1 && navigator.serviceWorker.controller);
    await context.close();
    const files = [...new Set(site.requests.map((p) => (p.endsWith('/') ? p + 'index.html' : p)))];
    let raw = 0, gzip = 0;
    for (const file of files) {
        const body = await readFile(join(SITE, file));
        raw += body.length;
        gzip += gzipSync(body, { level: 9 }).length;
    }
    console.log(`page weight: ${files.length} files, ${fixed(raw / 1024)} KB raw, ${fixed(gzip / 1024)} KB gzipped` +
        ` (${site.requests.length} requests on the first visit, the offline copy included)`);
}

async function firstPaint(browser, site) {
    const paints = [];
    for (let run = 0; run < RUNS; ++run) {
        const { context, page } = await newPage(browser);  // a new context: nothing cached
        await page.addInitScript(() => {
            new MutationObserver(() => {
                if (document.title === 'オープニング' && !window.openingAt) window.openingAt = performance.now();
            }).observe(document, { subtree: true, childList: true, characterData: true });
        });
        await page.goto(site.address);
        // Waits without looking: a script polling the page would compete
        // with the picture it waits for.
        await page.waitForTimeout(1500);
        const [paint, opening] = await page.evaluate(() => [
            performance.getEntriesByName('first-contentful-paint')[0].startTime, window.openingAt]);
        if (!(opening <= paint)) throw new Error(`the first paint at ${paint} ms came before the opening at ${opening} ms`);
        paints.push(paint);
        await context.close();
    }
    console.log(`first paint of the opening: median ${fixed(median(paints))} ms, runs ${paints.map((p) => fixed(p)).join(', ')} ms`);
}

// The main thread's busy time over `seconds` of the page as it stands.
async function busy(page, cdp, seconds) {
    const before = await metrics(cdp);
    await page.waitForTimeout(seconds * 1000);
    const after = await metrics(cdp);
    return (after.TaskDuration - before.TaskDuration) * 1000 / seconds;
}

// A whole game on the real clock, no answers, in the geometry the viewport
// gives: its main thread, beside the bare page of three labelled boxes laid
// out and moving the same way, measured in turn; its length and its heap at
// the end.
async function playAndBoxes(browser, site, boxes, { name, viewport, seconds = 58 }) {
    const game = await newPage(browser, viewport);
    await game.page.goto(site.address);
    await game.page.waitForFunction((title) => document.title === title, GAME, { timeout: 10000 });
    await game.page.evaluate(() => {
        document.addEventListener('click', () => { window.clickAt = performance.now(); }, true);
        new MutationObserver(() => {
            if (!window.verdictAt && document.querySelector('[aria-description="ひょうか"]').textContent) window.verdictAt = performance.now();
        }).observe(document.querySelector('[aria-description="ひょうか"]'), { subtree: true, childList: true, characterData: true });
    });
    await course(game.page, 'ぞ う').click();
    const gameBusy = await busy(game.page, game.cdp, seconds);
    await game.page.waitForFunction(() => window.verdictAt, null, { timeout: 70000 });
    const length = await game.page.evaluate(() => window.verdictAt - window.clickAt);
    const heap = (await metrics(game.cdp)).JSHeapUsedSize;
    await game.context.close();

    const bare = await newPage(browser, viewport);
    await bare.page.goto(`${boxes.address}web_boxes.html?layout=${name}`);
    await bare.page.waitForTimeout(1000);
    const bareBusy = await busy(bare.page, bare.cdp, seconds);
    await bare.context.close();

    console.log(`main-thread time, ${name} ${viewport.width} x ${viewport.height}: game ${fixed(gameBusy)} ms a second of play, ` +
        `bare page of three labelled boxes ${fixed(bareBusy)} ms a second: ${fixed(gameBusy / bareBusy, 2)} x`);
    console.log(`JavaScript heap at the end of a game (${name}): ${fixed(heap / 1024 / 1024, 2)} MB`);
    console.log(`a 60-second game (${name}) lasted ${fixed(length / 1000, 3)} s, course click to verdict`);
}

// Falling paces at scale 1: the sums' positions at every frame, and the
// slope of each stretch of a steady fall (each right answer draws a new pace).
async function paces(browser, site) {
    const { context, page } = await newPage(browser);
    await page.goto(site.address);
    await page.waitForFunction((title) => document.title === title, GAME, { timeout: 10000 });
    await course(page, 'か め').click();
    await page.evaluate(() => {
        window.samples = [];
        const labels = [1, 2, 3].map((n) => document.querySelector(`[aria-description="もんだい${'０１２３'[n]}"]`));
        const record = (now) => {
            window.samples.push([now, ...labels.map((l) => l.getBoundingClientRect().top)]);
            requestAnimationFrame(record);
        };
        requestAnimationFrame(record);
    });
    for (let round = 0; round < 12; ++round) {
        await page.waitForTimeout(2500);
        await (await answerButton(page, 1 + round % 3)).button.click();
    }
    const samples = await page.evaluate(() => window.samples);
    await context.close();

    const found = { 80.1: [], 40.05: [], 26.7: [] };
    for (let n = 1; n <= 3; ++n) {
        // Stretches between a return to the top and the fast drop (240 px).
        let stretch = [];
        const finish = () => {
            if (stretch.length > 30) {
                const t = stretch.map((s) => s[0] / 1000), y = stretch.map((s) => s[1]);
                const mt = t.reduce((a, b) => a + b) / t.length, my = y.reduce((a, b) => a + b) / y.length;
                let sxy = 0, sxx = 0;
                t.forEach((ti, i) => { sxy += (ti - mt) * (y[i] - my); sxx += (ti - mt) ** 2; });
                const slope = sxy / sxx;
                const nearest = Object.keys(found).reduce((a, b) => (Math.abs(b - slope) < Math.abs(a - slope) ? b : a));
                found[nearest].push(slope);
            }
            stretch = [];
        };
        for (let i = 1; i < samples.length; ++i) {
            const y = samples[i][n], previous = samples[i - 1][n];
            if (y < previous || y > 15.2 + 240) finish();
            else stretch.push([samples[i][0], y]);
        }
        finish();
    }
    for (const [pace, slopes] of Object.entries(found)) {
        const worst = slopes.length ? Math.max(...slopes.map((s) => Math.abs(s / pace - 1))) : NaN;
        console.log(`falling pace ${pace} px/s: measured ${slopes.map((s) => fixed(s, 2)).join(', ') || 'none'}` +
            (slopes.length ? ` (worst ${fixed(worst * 100, 2)} % off)` : ''));
    }
}

const browser = await launch();
const site = await serve(SITE);
const boxes = await serve(here);
// PERMORO_BENCH_ONLY=main runs the main-thread figures alone, for
// PERMORO_BENCH_SECONDS seconds each (58 by default).
const only = process.env.PERMORO_BENCH_ONLY;
try {
    if (!only) {
        await pageWeight(browser, site);
        await firstPaint(browser, site);
    }
    const seconds = Number(process.env.PERMORO_BENCH_SECONDS ?? 58);
    await playAndBoxes(browser, site, boxes, { name: 'landscape', viewport: { width: 612, height: 491 }, seconds });
    await playAndBoxes(browser, site, boxes, { name: 'portrait', viewport: { width: 360, height: 640 }, seconds });
    if (!only) await paces(browser, site);
} finally {
    await browser.close();
    await site.close();
    await boxes.close();
}
