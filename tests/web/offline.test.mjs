// Offline play: the first visit keeps every file of the game; with the
// server gone the page reloads and plays; the teacher's page, once opened,
// opens offline too; a new build replaces the copy. And the single file,
// opened from the disk.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { cp, mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join, relative } from 'node:path';
import { pathToFileURL } from 'node:url';

import {
    GAME, OPENING, SINGLE_FILE, SITE, advance, answerButton, clean, closeAll, course, handOver, launch, open, score, serve,
} from './support.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

async function filesOf(folder) {
    const entries = await readdir(folder, { recursive: true, withFileTypes: true });
    return entries.filter((e) => e.isFile()).map((e) => relative(folder, join(e.parentPath ?? e.path, e.name))).sort();
}

// The caches of the page and the files each one holds.
// The card reader comes only when the teacher reads the first card, the
// QR code reader when the first picture or the camera is read, and the
// sheets' maker when the first sheet is asked for.
const CARD_READER = ['teacher_cards.js', 'teacher_class.js', 'teacher_class.wasm', 'teacher_read.js', 'teacher_read_worker.js', 'zxing_reader.js',
    'zxing_reader.wasm'];
const SHEETS = ['teacher_sheet.js', 'teacher_sheet.wasm', 'teacher_sheet_page.js', 'teacher_sheet.css'];
const TEACHER = ['teacher.html', 'teacher.css', 'teacher.js', 'teacher_local.js', 'link.js', 'loader.js', 'qr.js', 'qrcode_module.js', 'teacher_core.js', 'teacher_core.wasm',
    ...CARD_READER, ...SHEETS];

const caches = (page) => page.evaluate(async () => {
    const all = {};
    for (const key of await self.caches.keys()) {
        const cache = await self.caches.open(key);
        all[key] = (await cache.keys()).map((r) => new URL(r.url).pathname.slice(1)).sort();
    }
    return all;
});

async function playARound(page, points) {
    await handOver(page);
    await course(page, 'ぞ う').click();
    await (await answerButton(page, 2)).button.click();
    assert.equal(await score(page), String(points));
}

// The game to its end, and its result card's QR code drawn.
async function cardDrawn(page) {
    await advance(page, 61_000);
    await course(page, 'けっか').click();
    await page.waitForFunction(() => document.querySelector('canvas[aria-label="けっかの QR コード"]').width > 2);
}

describe('offline', () => {
    test('the first visit keeps every file of the game; it reloads and plays with the server gone, and so does the teacher\'s page once opened', async () => {
        const server = await serve(SITE);
        const game = await open(browser, server.address + '?clock=manual', { origin: server.address });
        const { page } = game;
        await page.evaluate(() => navigator.serviceWorker.ready);
        await page.waitForFunction(() => navigator.serviceWorker.controller !== null);

        const kept = await caches(page);
        const names = Object.keys(kept);
        assert.equal(names.length, 1);
        assert.match(names[0], /^permoroplus-[0-9a-f]{16}$/);
        const site = (await filesOf(SITE)).filter((f) => f !== 'sw.js');
        const gameFiles = site.filter((f) => !TEACHER.includes(f));
        assert.deepEqual(kept[names[0]], ['', ...gameFiles].sort(), 'the game\'s first visit fetches nothing of the teacher\'s page');
        await page.goto(server.address + 'teacher.html');
        await page.waitForFunction(() => document.getElementById('link').value !== '');
        await page.waitForFunction(async (count) => (await (await self.caches.open((await self.caches.keys())[0])).keys()).length === count,
            site.length + 1 - CARD_READER.length - SHEETS.length);
        // The game started before the server goes: a reload must not cut
        // its WebAssembly short.
        await page.goto(server.address + '?clock=manual');
        await page.waitForFunction((title) => document.title === title, OPENING);

        const port = new URL(server.address).port;
        await server.close();
        await page.reload();
        await page.waitForFunction((title) => document.title === title, OPENING);
        await playARound(page, 6);
        await cardDrawn(page);
        await page.goto(`http://127.0.0.1:${port}/teacher.html?course=times:7`);
        await page.waitForFunction(() => document.getElementById('link').value.endsWith('?course=times:7'));
        assert.equal(await page.locator('#names b').innerText(), '7のだん');
        await page.goto(`http://127.0.0.1:${port}/?clock=manual`);

        // A new build (here: the same files with another version) brings a
        // new service worker, which leaves its own copy only.
        const next = await mkdtemp(join(tmpdir(), 'permoro-site-'));
        await cp(SITE, next, { recursive: true });
        const worker = await readFile(join(next, 'sw.js'), 'utf8');
        await writeFile(join(next, 'sw.js'), worker.replace(/const VERSION = '([0-9a-f]+)'/, "const VERSION = '0123456789abcdef'"));
        const second = await serve(next, Number(port));
        await page.reload();
        await page.waitForFunction(async () => (await self.caches.keys()).includes('permoroplus-0123456789abcdef'));
        await page.waitForFunction(async () => (await self.caches.keys()).length === 1);
        await second.close();
        await rm(next, { recursive: true });

        clean(game);
        await game.context.close();
    });
});

describe('single file', () => {
    test('permoroplus.html plays from file:// with nothing but itself', async () => {
        const url = pathToFileURL(SINGLE_FILE).href;
        const game = await open(browser, url + '?clock=manual', { origin: url });
        const { page, requests } = game;
        await playARound(page, 6);
        await cardDrawn(page);
        assert.equal(await page.title(), GAME);
        assert.deepEqual(requests.filter((r) => !r.startsWith('data:')), [url + '?clock=manual']);
        clean(game);
        await game.context.close();
    });
});
