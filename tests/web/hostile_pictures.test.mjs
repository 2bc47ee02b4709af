// The teacher's page given pictures no one should send, chosen and
// dropped: a PNG whose header claims 20,000 × 20,000 pixels, a JPEG cut in
// half, text named .png, an SVG with a script and outside references, an
// empty file, forty QR codes in one picture (cards, game links, markup) and
// a hundred files at once. It reads what it can and names the rest, fetches
// nothing, runs nothing and adds no markup of what it read, keeps its main
// thread free (no task over 200 ms) and its memory bounded.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { crc32, deflateSync } from 'node:zlib';

import { SITE, advance, closeAll, handOver, launch, openSite, serve } from './support.mjs';
import { CARD_TEXT, cardPictures, cardTexts } from './card_pictures.mjs';

const LONGEST_TASK_MS = 200;
// Generous: the page's JavaScript heap may grow by this over the whole run,
// and no renderer's resident memory may ever pass the other (a 20,000 ×
// 20,000 picture decoded whole would take 1.6 GB).
const HEAP_GROWTH = 48 * 1024 * 1024;
const RENDERER_PEAK = 900 * 1024 * 1024;
const NOT_A_CARD = 'このゲームの けっかカードでは ありません';
const MARKUP = '<img src=x onerror="window.ran=1">';

// A PNG's chunk: length, type, data, CRC of type and data.
function chunk(type, data) {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const sum = Buffer.alloc(4);
    sum.writeUInt32BE(crc32(Buffer.concat([Buffer.from(type), data])));
    return Buffer.concat([length, Buffer.from(type), data, sum]);
}
// A valid header saying 20,000 × 20,000 RGB, and the first rows' pixels.
function claimedHuge() {
    const header = Buffer.alloc(13);
    header.writeUInt32BE(20_000, 0);
    header.writeUInt32BE(20_000, 4);
    header.set([8, 2, 0, 0, 0], 8);
    const rows = deflateSync(Buffer.alloc(16 * (1 + 3 * 20_000)));
    return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
        chunk('IHDR', header), chunk('IDAT', rows), chunk('IEND', Buffer.alloc(0))]);
}

// A screenshot of a game's card after a game of the 7 times table.
async function gameScreenshot(browser) {
    const game = await openSite(browser, { query: '?course=times:7&time=30&clock=manual&seed=9' });
    await handOver(game.page);
    await game.page.keyboard.press('1');
    await advance(game.page, 31_000);
    await game.page.getByRole('button', { name: 'けっか', exact: true }).click();
    for (let k = 0; k < 3; ++k) await game.page.keyboard.press('+');
    const screenshot = await game.page.screenshot();
    await game.close();
    return screenshot;
}

// The files given, written to disk and chosen as a teacher chooses them:
// handed over as data, they would be made into files by the page's own
// main thread.
const folder = mkdtempSync(join(tmpdir(), 'permoro-hostile-'));
let written = 0;
function onDisk(name, buffer) {
    const path = join(folder, String(++written));
    mkdirSync(path);
    writeFileSync(join(path, name), buffer);
    return join(path, name);
}
// The texts zbar reads in a picture.
const zbarTexts = (picture) => execFileSync('zbarimg', ['--quiet', '--raw', onDisk('zbar.png', picture)],
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).split('\n').filter(Boolean);

// A picture made another kind by ImageMagick.
function converted(picture, options, name) {
    const from = onDisk('from.png', picture);
    const to = join(from, '..', name);
    execFileSync('convert', [from, ...options, to]);
    return readFileSync(to);
}

let browser, server, page, cdp, given;
const problems = [];
const requested = [];
const heap = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'JSHeapUsedSize').value;
// The largest resident memory any renderer of the browser has had.
async function rendererPeak() {
    const session = await browser.newBrowserCDPSession();
    const { processInfo } = await session.send('SystemInfo.getProcessInfo');
    await session.detach();
    return Math.max(...processInfo.filter((p) => p.type === 'renderer').map((p) =>
        1024 * Number(readFileSync(`/proc/${p.id}/status`, 'utf8').match(/^VmHWM:\s+(\d+) kB/m)[1])));
}
const figures = {};

before(async () => {
    browser = await launch();
    const [text, empty] = [Buffer.from('これは 画像では ありません\n'), Buffer.alloc(0)];
    const links = (count) => Array.from({ length: count }, (_, k) => `http://127.0.0.1/?course=times:${1 + (k % 9)}&time=${30 + k}`);
    const [card, forty, many] = await cardPictures(browser, [
        { text: CARD_TEXT.replace('/202612091030/', '/202612091130/'), type: 'image/jpeg' },
        { text: [...cardTexts(19), ...links(20), MARKUP], width: 1700, height: 1100, columns: 8 },
        { text: cardTexts(64).map((text) => text.replace('/20261209', '/20261210')), width: 1300, height: 1300, module: 3, columns: 8 },
    ]);
    given = { huge: claimedHuge(), cut: card.subarray(0, card.length >> 1), text, empty, forty, many, screenshot: await gameScreenshot(browser) };
    server = await serve(SITE);
    given.svg = Buffer.from(`<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="800" height="600">
<script>top.ran = 1; fetch('${server.address}svg-script')</script>
<image href="${server.address}svg-image.png" width="800" height="600"/>
<image xlink:href="http://203.0.113.9/outside.png" width="10" height="10"/>
<foreignObject width="800" height="600"><img xmlns="http://www.w3.org/1999/xhtml" src="x" onerror="top.ran = 1"/></foreignObject>
</svg>`);
    const context = await browser.newContext({ viewport: { width: 900, height: 1000 } });
    // Every task of the main thread of 50 ms or more, and every element
    // added to the page, with where it went.
    await context.addInitScript(() => {
        window.longest = 0;
        new PerformanceObserver((list) => {
            for (const entry of list.getEntries()) window.longest = Math.max(window.longest, entry.duration);
        }).observe({ type: 'longtask' });
        window.added = [];
        new MutationObserver((changes) => {
            for (const change of changes) {
                const where = change.target.closest?.('[id]')?.id;
                for (const node of change.addedNodes) if (node.nodeType === Node.ELEMENT_NODE) window.added.push(`${node.tagName} in #${where}`);
            }
        }).observe(document, { childList: true, subtree: true });
    });
    page = await context.newPage();
    page.on('request', (r) => requested.push(r.url()));
    page.on('pageerror', (e) => problems.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    page.on('request', (r) => { if (!r.url().startsWith(server.address)) problems.push(`request to ${r.url()}`); });
    cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    await page.goto(`${server.address}teacher.html`);
    await page.waitForFunction(() => document.getElementById('link').value !== '');
    await page.evaluate(() => { window.added = []; });
    figures.heapBefore = await heap();
    figures.start = performance.now();
});
after(async () => {
    await closeAll();
    await server?.close();
    await browser?.close();
    rmSync(folder, { recursive: true, force: true });
});

const rows = () => page.locator('#class-table tbody tr').count();
// Files chosen or dropped, and the summary that ends their batch.
async function batch(give) {
    const before = await page.locator('#card-said').textContent();
    await give();
    return (await page.waitForFunction((old) => {
        const text = document.getElementById('card-said').textContent;
        return text !== old && /画像 \d+まいから/.test(text) && text;
    }, before, { timeout: 120_000, polling: 100 })).jsonValue();
}
const choose = (files) => batch(() => page.setInputFiles('#card-files', files.map(([name, buffer]) => onDisk(name, buffer))));
const drop = (files) => batch(() => page.evaluate((list) => {
    const data = new DataTransfer();
    for (const [name, base64, type = 'image/png'] of list) {
        data.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name, { type }));
    }
    document.getElementById('class').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
}, files.map(([name, buffer, type]) => [name, buffer.toString('base64'), type])));

describe('the teacher\'s page given pictures no one should send', () => {
    test('a header claiming 20,000 × 20,000 pixels, a JPEG cut in half and text named .png are each named', async () => {
        assert.equal(await choose([['huge.png', given.huge], ['cut.jpg', given.cut], ['text.png', given.text]]),
            '画像 3まいから カードを 0まい 読みました。読めなかった もの 3つ：huge.png（画像が 大きすぎます）、'
            + 'cut.jpg（画像として 読めません）、text.png（画像として 読めません）。');
        assert.equal(await rows(), 0);
    });

    test('an SVG is refused unread: its script runs not, nothing it names is fetched; an empty file and a name of markup are named as text', async () => {
        assert.equal(await drop([['card.svg', given.svg, 'image/svg+xml'], ['empty.png', given.empty], ['<b>x</b>.png', given.text]]),
            '画像 3まいから カードを 0まい 読みました。読めなかった もの 3つ：card.svg（画像として 読めません）、empty.png（画像として 読めません）、'
            + '<b>x</b>.png（画像として 読めません）。');
        assert.equal(await page.locator('#card-said').evaluate((said) => said.childElementCount), 0);
        assert.equal(await page.evaluate(() => window.ran), undefined);
        assert.deepEqual(requested.filter((url) => /svg-|outside/.test(url)), []);
    });

    test('every kind of picture read before is read still: a JPEG with a comment, WebP of its three kinds, GIF, BMP, AVIF', async () => {
        const kinds = [['card.jpg', ['-set', 'comment', 'けっか']], ['lossy.webp', []], ['lossless.webp', ['-define', 'webp:lossless=true']],
            ['alpha.webp', ['-alpha', 'set', '-channel', 'A', '-evaluate', 'set', '99%', '+channel']], ['card.gif', []], ['card.bmp', []], ['card.avif', []]];
        const pictures = await cardPictures(browser, kinds.map((_, k) => ({ text: CARD_TEXT.replace('/202612091030/', `/20261209120${k}/`) })));
        assert.equal(await choose(kinds.map(([name, options], k) => [name, converted(pictures[k], [...options, '-quality', '90'], name)])),
            '画像 7まいから カードを 7まい 読みました。');
    });

    test('forty codes in one picture: the nineteen cards are listed, the game links and the markup refused, nothing of it made markup', async () => {
        assert.equal(zbarTexts(given.forty).length, 40, 'zbar reads the picture\'s forty codes');
        const listed = await rows();
        const summary = await drop([['forty.png', given.forty]]);
        assert.equal(summary, '画像 1まいから カードを 19まい 読みました。読めなかった もの 21つ：'
            + `${Array(3).fill(`forty.png（${NOT_A_CARD}）`).join('、')} ほか 18。`);
        assert.equal(await rows(), listed + 19);
        assert.equal(await page.evaluate(() => window.ran), undefined);
    });

    test('more cards than a picture may hold: sixty are listed, the picture is named with how many were read', async () => {
        assert.equal(zbarTexts(given.many).length, 64, 'zbar reads the picture\'s 64 codes');
        const listed = await rows();
        assert.equal(await choose([['many.png', given.many]]), '画像 1まいから カードを 60まい 読みました。'
            + '読めなかった もの 1つ：many.png（QR コードが 多すぎて、60こまでしか 読んでいません）。');
        assert.equal(await rows(), listed + 60);
    });

    test('a hundred files at once: one card read, its copies named as read, the non-pictures named by their names as text', async () => {
        const files = [[`${MARKUP}.png`, given.empty], ['c.svg', given.svg], ['d.png', given.huge], ['e.jpg', given.cut],
            ['f.png', given.text], ...Array.from({ length: 95 }, (_, k) => [`shot${k}.png`, given.screenshot])];
        const listed = await rows();
        const start = performance.now();
        const summary = await choose(files);
        figures.hundred = (performance.now() - start) / 1000;
        assert.equal(summary, '画像 100まいから カードを 1まい 読みました。もう 読んだ カード 94まい。読めなかった もの 5つ：'
            + `${MARKUP}.png（画像として 読めません）、c.svg（画像として 読めません）、d.png（画像が 大きすぎます） ほか 2。`);
        assert.equal(await page.locator('#card-said').evaluate((said) => said.childElementCount), 0);
        assert.equal(await rows(), listed + 1);
    });

    test('all the while no markup of what was read, no request beyond the page\'s own, the main thread free and the memory bounded', async () => {
        figures.seconds = (performance.now() - figures.start) / 1000;
        figures.heapAfter = await heap();
        figures.longest = await page.evaluate(() => window.longest);
        figures.rendererPeak = await rendererPeak();
        console.log(`${figures.seconds.toFixed(1)} s in all, ${figures.hundred.toFixed(1)} s for the hundred files; `
            + `longest main-thread task ${figures.longest.toFixed(0)} ms (0: none of 50 ms or more); `
            + `JS heap ${(figures.heapBefore / 2 ** 20).toFixed(1)} MB before, ${(figures.heapAfter / 2 ** 20).toFixed(1)} MB after; `
            + `renderer peak ${(figures.rendererPeak / 2 ** 20).toFixed(0)} MB`);
        const added = await page.evaluate(() => window.added);
        assert.deepEqual(added.filter((element) => !/^(TR|TD|TH|LI) in #(class-table|missed-times|missed-others)$/.test(element)), []);
        assert.equal(await page.evaluate(() => window.ran), undefined);
        assert.deepEqual(problems, []);
        assert.ok(figures.longest <= LONGEST_TASK_MS, `${figures.longest} ms`);
        assert.ok(figures.heapAfter - figures.heapBefore < HEAP_GROWTH, `${figures.heapBefore} → ${figures.heapAfter}`);
        assert.ok(figures.rendererPeak < RENDERER_PEAK, `${figures.rendererPeak}`);
    });
});
