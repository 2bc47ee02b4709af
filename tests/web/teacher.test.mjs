// The teacher's page: every option it offers reaches the link, the link's QR
// code reads back as the link (Debian's zbarimg), the link opens the game
// with those courses, and a link opened in the page fills its form again.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { SITE, clean, closeAll, handOver, launch, open, serve } from './support.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

const row = (page, k) => page.locator(`#courses li:nth-child(${k})`);

async function teacherPage(query = '') {
    const server = await serve(SITE);
    const context = await browser.newContext({ viewport: { width: 900, height: 1000 } });
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (e) => problems.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    await page.goto(`${server.address}teacher.html${query}`);
    await page.waitForFunction(() => document.getElementById('link').value !== '');
    return { server, context, page, problems };
}

describe('the teacher\'s page', () => {
    test('every option reaches the link, the QR code reads back as it, and it opens the game with those courses', async () => {
        const { server, context, page, problems } = await teacherPage();
        assert.equal(await page.inputValue('#link'), server.address, 'no option: the animals\' game');
        const set = async (k, kind) => {
            if (await page.locator('#courses li').count() < k) await page.click('#add-course');
            await row(page, k).locator('.kind').selectOption(kind);
        };
        await set(1, 'times');
        for (const d of ['2', '5']) await row(page, 1).locator(`.dans input[value="${d}"]`).check();
        await set(2, 'div');
        await row(page, 2).locator('.dans input[value="7"]').check();
        await set(3, 'add');
        await row(page, 3).locator('.from').fill('10');
        await row(page, 3).locator('.to').fill('99');
        await row(page, 3).locator('.carry').selectOption('only');
        await set(4, 'sub');
        await row(page, 4).locator('.from').fill('10');
        await row(page, 4).locator('.to').fill('99');
        await row(page, 4).locator('.carry').selectOption('only');
        await set(5, 'add');
        await row(page, 5).locator('.carry').selectOption('never');
        await set(6, 'sub');
        await row(page, 6).locator('.carry').selectOption('never');
        assert.ok(await page.locator('#add-course').isDisabled(), 'six courses at most');
        await page.fill('#time', '120');
        await page.selectOption('#pace', '0.5');
        await page.check('#sound');
        const query = 'course=times:2,5&course=div:7&course=add:10-99:carry&course=sub:10-99:borrow'
            + '&course=add:1-9:nocarry&course=sub:1-9:noborrow&time=120&pace=0.5&sound=off';
        const link = `${server.address}?${query}`;
        assert.equal(await page.inputValue('#link'), link);
        assert.equal(await page.getAttribute('#try', 'href'), link);
        assert.deepEqual(await page.locator('#names b').allInnerTexts(),
            ['2と5のだん', 'わりざん7', 'くりあがり', 'くりさがり', 'あがりなし', 'さがりなし']);
        assert.ok(await page.locator('#notice').isHidden());

        // The QR code, as a camera sees the screen.
        const folder = mkdtempSync(join(tmpdir(), 'permoro-qr-'));
        try {
            writeFileSync(join(folder, 'qr.png'), await page.locator('#qr').screenshot());
            assert.equal(execFileSync('zbarimg', ['--raw', '-q', join(folder, 'qr.png')], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).trim(), link);
        } finally {
            rmSync(folder, { recursive: true, force: true });
        }

        // The link opens the game with the teacher's courses.
        const game = await open(browser, `${link}&clock=manual`, { origin: server.address });
        await handOver(game.page);
        assert.deepEqual(await game.page.locator('button[aria-label]').evaluateAll((all) => all
            .filter((b) => b.dataset.control && b.textContent !== '♪' && b.textContent !== '‖').map((b) => b.textContent)),
        ['2と5のだん', 'わりざん7', 'くりあがり', 'くりさがり', 'あがりなし', 'さがりなし']);
        assert.equal(await game.page.getByRole('timer').innerText(), '120');
        assert.equal(await game.page.getByRole('button', { name: 'おと' }).getAttribute('aria-pressed'), 'false');
        clean(game);
        await game.context.close();

        // The same link opened in the teacher's page fills the form again.
        const again = await teacherPage(`?${query}`);
        assert.equal(await again.page.inputValue('#link'), `${again.server.address}?${query}`);
        assert.equal(await again.page.locator('#courses li').count(), 6);
        assert.equal(await row(again.page, 3).locator('.from').inputValue(), '10');
        await again.context.close();
        await again.server.close();

        assert.deepEqual(problems, []);
        await context.close();
        await server.close();
    });

    test('a course that cannot be made is named for the teacher, and the page stays small', async () => {
        const { server, context, page, problems } = await teacherPage();
        await row(page, 1).locator('.kind').selectOption('times');  // no table chosen
        assert.ok(await page.locator('#notice').isVisible());
        assert.match(await page.locator('#notice').innerText(), /course=times:/);
        assert.equal(await page.inputValue('#link'), server.address);
        let gzipped = 0;
        for (const file of ['teacher.html', 'teacher.css', 'teacher.js', 'teacher_core.js', 'teacher_core.wasm', 'qrcode.js'])
            gzipped += gzipSync(readFileSync(join(SITE, file)), { level: 9 }).length;
        assert.ok(gzipped <= 40 * 1024, `the teacher's page is ${gzipped} bytes gzipped`);
        assert.deepEqual(problems, []);
        await context.close();
        await server.close();
    });
});
