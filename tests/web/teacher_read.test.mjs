// The teacher's page reads result cards off pictures and the camera: a
// screenshot of a game's card, the page's or the desktop window's, chosen
// as a file joins the class's table with the card's values, a picture of another QR code or of none is
// counted with its reason and adds nothing;
// a long batch stops when told; Chromium's camera, fed with a card, lists
// it once however long it stays in sight.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

import { SITE, advance, chromiumPath, closeAll, handOver, launch, openSite, serve } from './support.mjs';
import { CARD_TEXT, cardPictures, cardTexts } from './card_pictures.mjs';

const READING = ['teacher_read.js', 'teacher_read_worker.js', 'zxing_reader.js', 'zxing_reader.wasm'];

let browser;
const opened = new Set();
before(async () => { browser = await launch(); });
after(async () => {
    for (const close of opened) await close();
    await closeAll();
    await browser.close();
});

async function teacherPage(using = browser, init) {
    const server = await serve(SITE);
    const context = await using.newContext({ viewport: { width: 900, height: 1000 } });
    if (init) await context.addInitScript(init);
    const page = await context.newPage();
    const problems = [];
    const requested = [];
    page.on('request', (r) => requested.push(new URL(r.url()).pathname.slice(1)));
    page.on('pageerror', (e) => problems.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    page.on('request', (r) => { if (!r.url().startsWith(server.address)) problems.push(`request to ${r.url()}`); });
    const close = async () => {
        opened.delete(close);
        await context.close();
        await server.close();
    };
    opened.add(close);
    await page.goto(`${server.address}teacher.html`);
    await page.waitForFunction(() => document.getElementById('link').value !== '');
    return { page, problems, requested, close };
}

const rows = (page) => page.locator('#class-table tbody tr').evaluateAll((all) => all.map((r) => [...r.cells].map((c) => c.textContent)));
const said = (page) => page.locator('#card-said').textContent();
// Pictures chosen or dropped, and the summary that ends their batch.
const choose = (page, pictures, names) => batch(page, () =>
    page.setInputFiles('#card-files', pictures.map((buffer, i) => ({ name: names[i], mimeType: 'image/png', buffer }))));
const drop = (page, picture, name) => batch(page, () => page.evaluate(([base64, name]) => {
    const data = new DataTransfer();
    data.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name, { type: 'image/png' }));
    document.getElementById('class').dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
}, [picture.toString('base64'), name]));
async function batch(page, give) {
    const before = await said(page);
    await give();
    return page.waitForFunction((old) => {
        const text = document.getElementById('card-said').textContent;
        return text !== old && /画像 \d+まいから/.test(text) && text;
    }, before).then((handle) => handle.jsonValue());
}

// A screenshot of the desktop window's card after a game of かめ with one
// right answer, drawn offscreen.
function desktopCard() {
    const folder = mkdtempSync(join(tmpdir(), 'desktop-card-'));
    const file = join(folder, 'card.png');
    execFileSync(process.env.PERMORO_REFERENCE_RENDERER, [file, 'advance:2500', 'course:1', 'right:1', 'advance:61000', 'card'],
        { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen', XDG_RUNTIME_DIR: folder }, stdio: 'ignore' });
    const picture = readFileSync(file);
    rmSync(folder, { recursive: true, force: true });
    return picture;
}

describe('the teacher\'s page reads cards off pictures and the camera', () => {
    test('a game\'s card screenshot and the desktop\'s join the table; another code and a picture with none are named; a photo dropped is read once', async () => {
        // A child's screen at the game's own size, where the card's code has
        // the fewest pixels a module.
        const game = await openSite(browser, { query: '?course=times:7&time=30&clock=manual&seed=5' });
        await handOver(game.page);
        const name = await game.page.locator('button[aria-description="コース"]').first().textContent();
        await game.page.keyboard.press('1');
        await advance(game.page, 31_000);
        await game.page.getByRole('button', { name: 'けっか', exact: true }).click();
        for (let k = 0; k < 3; ++k) await game.page.keyboard.press('+');
        const shown = await game.page.locator('[aria-description="けっか"]').allTextContents();
        const [, right, rightPerMinute] = shown.find((line) => line.startsWith('できた')).match(/^できた (\d+)もん.*ぷんで (\d+)もん/);
        const [, wrong, fell, points] = shown.find((line) => line.startsWith('まちがい')).match(/^まちがい (\d+)\D+(\d+)\D+得点 (\d+)点/);
        const screenshot = await game.page.screenshot();
        await game.close();

        const { page, problems, requested, close } = await teacherPage();
        assert.deepEqual(READING.filter((file) => requested.includes(file)), [], 'nothing of reading before it starts');
        const [web, plain, photo] = await cardPictures(browser, [{ text: 'https://example.com/' }, { text: null },
            { text: CARD_TEXT, width: 4000, height: 3000, module: 6 }]);
        const summary = await choose(page, [screenshot, desktopCard(), web, plain], ['card.png', 'desktop.png', 'web.png', 'plain.png']);
        const [played, desk] = (await rows(page)).map((row) => row.slice(0, 8));
        assert.deepEqual([...played.slice(0, 5), ...played.slice(6)], ['3', name, right, rightPerMinute, points, wrong, fell]);
        assert.deepEqual([desk[0], ...desk.slice(2, 7)], ['—', '1', '1', '1', '1', '0']);
        assert.match(summary, /^画像 4まいから カードを 2まい 読みました。/);
        assert.match(summary, /カードの ない 画像 1まい（plain\.png）/);
        assert.match(summary, /読めなかった もの 1つ：web\.png（.+）。$/);
        assert.ok(READING.every((file) => requested.includes(file)), requested.join());
        assert.ok(await page.locator('#read-going').isHidden());

        // A photo five times a screenshot's size, dropped on the section,
        // then chosen again: listed once.
        assert.equal(await drop(page, photo, 'photo.png'), '画像 1まいから カードを 1まい 読みました。');
        const photoRow = (await rows(page))[2];
        assert.deepEqual([photoRow[2], ...photoRow.slice(5)], ['40', '46', '2', '3', '0', '', 'えらぶ', '2026-12-09 10:30']);
        assert.equal(await choose(page, [photo], ['photo.png']), '画像 1まいから カードを 0まい 読みました。もう 読んだ カード 1まい。');
        assert.equal((await rows(page)).length, 3);
        assert.deepEqual(problems, []);
        await close();
    });

    test('やめる stops a long batch: the table keeps what was read, the bar goes, and the page reads on', async () => {
        const { page, problems, close } = await teacherPage();
        const texts = cardTexts(41);
        const pictures = await cardPictures(browser, texts.map((text) => ({ text, width: 1600, height: 1200, module: 8 })));
        const batch = choose(page, pictures.slice(0, 40), texts.map((_, k) => `card${k}.png`));
        await page.waitForFunction(() => document.querySelectorAll('#class-table tbody tr').length > 0);
        await page.getByRole('button', { name: 'やめる' }).click();
        assert.ok(await page.locator('#read-going').isHidden());
        const summary = await batch;
        const stopped = (await rows(page)).length;
        assert.ok(stopped < 40, `${stopped} rows`);
        assert.match(summary, new RegExp(`^とちゅうで やめました（のこり ${40 - stopped}まい）。画像 ${stopped}まいから カードを ${stopped}まい`));
        assert.equal(await page.evaluate(() => document.activeElement.id), 'card-files');

        // Nothing of the batch comes after: a new picture is the next row.
        assert.match(await choose(page, pictures.slice(40), ['last.png']), /^画像 1まいから カードを 1まい/);
        assert.equal((await rows(page)).length, stopped + 1);
        assert.deepEqual(problems, []);
        await close();
    });

    test('the camera lists a card it keeps seeing once, beeps once, refuses another code once, says when shown a card again, and stops its tracks', async () => {
        const folder = mkdtempSync(join(tmpdir(), 'permoro-camera-'));
        // The camera's film: JPEG frames one after another, of the desktop
        // card's screenshot beside a web address's code.
        const [frame] = await cardPictures(browser, [{ screen: desktopCard(), text: 'https://example.com/', width: 800, height: 500,
            module: 3, type: 'image/jpeg' }]);
        writeFileSync(join(folder, 'card.mjpeg'), Buffer.concat(Array(10).fill(frame)));
        const camera = await chromium.launch({
            executablePath: chromiumPath(),
            args: ['--no-sandbox', '--disable-gpu', '--use-fake-device-for-media-stream', '--use-fake-ui-for-media-stream',
                `--use-file-for-fake-video-capture=${join(folder, 'card.mjpeg')}`, '--autoplay-policy=no-user-gesture-required'],
        });
        try {
            // The streams the page opens, the tones it plays and all it says.
            const { page, problems, close } = await teacherPage(camera, () => {
                window.streams = [];
                window.beeps = 0;
                window.said = [];
                addEventListener('DOMContentLoaded', () => new MutationObserver(() =>
                    window.said.push(document.getElementById('card-said').textContent))
                    .observe(document.getElementById('card-said'), { childList: true, characterData: true, subtree: true }));
                const open = navigator.mediaDevices.getUserMedia.bind(navigator.mediaDevices);
                navigator.mediaDevices.getUserMedia = async (asked) => {
                    const stream = await open(asked);
                    window.streams.push(stream);
                    return stream;
                };
                const start = OscillatorNode.prototype.start;
                OscillatorNode.prototype.start = function (...args) {
                    window.beeps += 1;
                    return start.apply(this, args);
                };
            });
            const button = page.locator('#camera');
            await button.focus();
            await page.keyboard.press('Enter');
            await page.waitForFunction(() => document.querySelectorAll('#class-table tbody tr').length === 1);
            assert.deepEqual((await rows(page))[0].slice(2, 7), ['1', '1', '1', '1', '0'], 'the desktop card\'s counts and points');
            assert.equal(await button.textContent(), 'カメラを とめる');
            // Two seconds more of the codes in sight: still one row, one
            // beep, the other code refused once.
            const seen = await page.evaluate(() => document.getElementById('camera-view').currentTime);
            await page.waitForFunction((t) => document.getElementById('camera-view').currentTime > t + 2, seen);
            assert.equal((await rows(page)).length, 1);
            assert.equal(await page.evaluate(() => window.beeps), 1);
            const lines = await page.evaluate(() => window.said);
            assert.equal(lines.filter((line) => /カードを 読みました/.test(line)).length, 1, lines.join('\n'));
            assert.equal(lines.filter((line) => line.startsWith('！')).length, 1, lines.join('\n'));

            await page.keyboard.press('Enter');
            assert.equal(await button.textContent(), 'カメラで 読む');
            assert.ok(await page.locator('#camera-view').isHidden());
            assert.deepEqual(await page.evaluate(() => window.streams.flatMap((s) => s.getTracks().map((t) => t.readyState))), ['ended']);

            // Shown again: named as read already, not listed.
            await page.keyboard.press('Enter');
            await page.waitForFunction(() => window.said.includes('この カードは もう 読みました'));
            assert.equal((await rows(page)).length, 1);
            await page.keyboard.press('Enter');
            assert.deepEqual(problems, []);
            await close();
        } finally {
            await camera.close();
            rmSync(folder, { recursive: true, force: true });
        }
    });
});
