// The page as a whole: nothing leaves it and nothing stays behind, and on
// the real clock the opening, the fall and a stalled tab keep their time.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    GAME, advance, answerButton, clean, closeAll, course, handOver, launch, openSite, problem,
} from './support.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

describe('nothing leaves the page', () => {
    test('only the site\'s own files are asked for; no cookies, no storage; other origins are refused', async () => {
        const game = await openSite(browser);
        const { page, context, requests, server } = game;
        await handOver(page);
        await course(page, 'か め').click();
        await (await answerButton(page, 1)).button.click();
        await advance(page, 60000);

        // The service worker keeps the result card's QR library too.
        const own = new Set(['', 'index.html', 'permoroplus.wasm',
            'manifest.webmanifest', 'sw.js', 'qrcode.js']);
        for (const url of requests) {
            const path = url.slice(server.address.length).split('?')[0];
            assert.ok(url.startsWith(server.address) && (own.has(path) || /^(fonts|opening|icons)\//.test(path)), url);
        }
        assert.deepEqual(await context.cookies(), []);
        assert.deepEqual(await page.evaluate(async () => [localStorage.length, sessionStorage.length,
            (await indexedDB.databases()).length]), [0, 0, 0]);

        // The page's policy refuses any other origin, even a port of this
        // machine, before a request is made.
        const other = server.address.replace(/:\d+\/$/, ':1/');
        const refused = await page.evaluate(async (url) => {
            const events = [];
            document.addEventListener('securitypolicyviolation', (e) => events.push(e.violatedDirective));
            const fetched = await fetch(url).then(() => 'fetched', () => 'refused');
            const picture = new Image();
            await new Promise((done) => { picture.onerror = done; picture.onload = done; picture.src = url + 'x.png'; });
            await new Promise((done) => setTimeout(done, 50));
            return { fetched, events };
        }, other);
        assert.equal(refused.fetched, 'refused');
        assert.deepEqual(refused.events.sort(), ['connect-src', 'img-src']);
        assert.ok(game.problems.includes(`failed: ${other}x.png csp`));
        game.problems = game.problems.filter((p) => !p.includes(other) && !p.includes('Content Security Policy'));
        clean(game);
        await game.close();
    });
});

describe('real time', () => {
    test('the opening hands over after about two seconds and the sums fall', async () => {
        const game = await openSite(browser, { query: '' });
        const { page } = game;
        await page.waitForFunction((title) => document.title === title, GAME, { timeout: 10000, polling: 'raf' });
        const handedOver = await page.evaluate(() => performance.now());
        // 1986 ms of timer waits from the opening's load, which comes after
        // the navigation; a loaded machine adds late frames.
        assert.ok(handedOver > 1986 && handedOver < 4000, `hand-over ${handedOver} ms after navigation`);

        await course(page, 'うさぎ').click();
        const top = () => problem(page, 2).evaluate((e) => e.getBoundingClientRect().top);
        const from = await top();
        await page.waitForTimeout(1000);
        const fallen = (await top()) - from;
        // 26.7 to 80.1 pixels a second, before the fast drop.
        assert.ok(fallen > 20 && fallen < 120, `fell ${fallen} pixels in a second`);
        clean(game);
        await game.close();
    });

    test('a stopped page stalls the game: it goes on from where it stood, without a jump', async () => {
        const game = await openSite(browser, { query: '' });
        const { page } = game;
        await page.waitForFunction((title) => document.title === title, GAME, { timeout: 10000 });
        await course(page, 'ね こ').click();
        await page.waitForTimeout(1200);
        const cdp = await page.context().newCDPSession(page);
        const countdown = () => page.getByRole('timer').innerText().then(Number);
        const before = await countdown();
        // Held in the debugger, as a hidden tab holds back its animation
        // frames: the page runs nothing for three seconds.
        await cdp.send('Debugger.enable');
        const paused = new Promise((done) => cdp.once('Debugger.paused', done));
        await cdp.send('Debugger.pause');
        await paused;
        await new Promise((done) => setTimeout(done, 3000));
        await cdp.send('Debugger.resume');
        await page.waitForTimeout(300);
        const afterwards = await countdown();
        assert.ok(before - afterwards <= 1, `the countdown went from ${before} to ${afterwards} over a 3 s stall`);
        clean(game);
        await game.close();
    });
});
