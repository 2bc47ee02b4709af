// Every screen, from a phone held upright to a 4K monitor: the geometry for
// its shape, the whole game in view filling the screen's shorter side, no
// scroll bars, buttons a finger can hit, the same falling pace in the
// window's own units, and text drawn afresh at the size shown. Phones and
// tablets are emulated with touch and mobile viewports.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    advance, answerButton, clean, closeAll, course, described, handOver, launch, openSite, problem, score, unitTop,
    withPictures,
} from './support.mjs';

const SECOND = 1000;
// Width, height, the geometry the page takes, whether it is a phone or tablet.
const VIEWPORTS = [
    [360, 640, 'portrait', true], [375, 667, 'portrait', true], [390, 844, 'portrait', true],
    [412, 915, 'portrait', true], [768, 1024, 'tablet', true], [1024, 768, 'design', true],
    [640, 360, 'low', true], [844, 390, 'low', true], [915, 412, 'low', true],
    [612, 491, 'design', false], [3840, 2160, 'design', false],
];

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

// The buttons in view, with the size of the area where a finger at a point
// meets each (scanned through its middle, across and down, a quarter pixel
// at a time) and whether that area reaches into another button's box.
const hitAreas = (page) => page.evaluate(() => {
    const buttons = [...document.querySelectorAll('.window button')].filter((b) => b.checkVisibility({ visibilityProperty: true }));
    const boxes = buttons.map((b) => b.getBoundingClientRect());
    return buttons.map((b, i) => {
        const r = boxes[i];
        const cx = r.left + r.width / 2, cy = r.top + r.height / 2;
        const span = (along) => {
            let n = 0;
            for (let d = -100; d <= 100; d += 0.25) {
                const [x, y] = along ? [cx + d, cy] : [cx, cy + d];
                if (document.elementFromPoint(x, y) === b) ++n;
            }
            return n / 4;
        };
        const overlaps = boxes.some((o, j) => j !== i &&
            o.left < r.right && r.left < o.right && o.top < r.bottom && r.top < o.bottom);
        return { name: b.getAttribute('aria-label') ?? b.textContent, width: span(true), height: span(false), overlaps };
    });
});

// How far each sum falls in one second of play, in the logic's units.
async function fall(page) {
    await course(page, 'ね こ').click();
    const tops = () => Promise.all([1, 2, 3].map((n) => unitTop(page, n)));
    const from = await tops();
    await advance(page, SECOND);
    const to = await tops();
    return to.map((t, i) => t - from[i]);
}

// The share of a glyph's pixels that are neither ink nor background: about
// one pixel of edge at any size when text is drawn for the screen, several
// when a small picture of it is enlarged.
const edgeShare = async (locator) => withPictures(browser, [await locator.screenshot()], ([{ data }]) => {
    let ink = 0, edge = 0;
    for (let i = 0; i < data.length; i += 4) {
        const g = data[i + 1];  // the countdown is pink on white: green tells them apart
        if (g < 0xC8) ++ink; else if (g < 0xF8) ++edge;
    }
    return edge / (ink + edge);
});

describe('viewports', () => {
    for (const [width, height, geometry, handheld] of VIEWPORTS) {
        test(`${width} x ${height}: the ${geometry} geometry, in view, buttons to hit, the same pace`, async () => {
            const game = await openSite(browser, { viewport: { width, height }, hasTouch: handheld });
            const { page } = game;
            await handOver(page);
            const window = page.locator('section.window');
            assert.equal(await window.getAttribute('data-geometry') ?? 'design', geometry);
            const box = await window.boundingBox();
            assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= width + 0.5 && box.y + box.height <= height + 0.5,
                `window ${JSON.stringify(box)} leaves the viewport`);
            const [shorter, extent] = width < height ? [width, box.width] : [height, box.height];
            assert.ok(Math.abs(extent - shorter) < 1, `the window is ${extent} of the screen's ${shorter}`);
            const overflow = await page.evaluate(() => [document.documentElement.scrollWidth - innerWidth,
                document.documentElement.scrollHeight - innerHeight]);
            assert.deepEqual(overflow, [0, 0], 'no scroll bars');

            // At rest every course, answer and toggle is in view.
            const least = geometry === 'portrait' || geometry === 'tablet' ? 44 : 24;
            const areas = await hitAreas(page);
            assert.equal(areas.length, 6 + 9 + 2);
            for (const a of areas) {
                assert.ok(a.width >= least && a.height >= least, `${a.name}: ${a.width} x ${a.height} CSS pixels`);
                assert.ok(!a.overlaps, `${a.name} overlaps another button`);
            }

            if (width === 3840) {
                const share = await edgeShare(page.getByRole('timer'));
                assert.ok(share < 0.08, `countdown edges are ${(share * 100).toFixed(1)} % of its pixels: enlarged, not redrawn`);
            }

            // A sum falls 100, 50 or 33.3 units a second (a tick of 10, 20 or
            // 30 ms), give or take a tick and a screen pixel of rounding.
            const pixel = await unitTop.pixel(page);
            for (const units of await fall(page)) {
                assert.ok([100, 50, 100 / 3].some((pace) => Math.abs(units - pace) <= 1 + 2 * pixel),
                    `a pace of ${units} units a second at ${width} x ${height}`);
            }
            clean(game);
            await game.close();
        });
    }
});

describe('phones', () => {
    test('a notched phone held sideways: the game keeps clear of the notch and the home bar', async () => {
        const insets = { top: 0, right: 47, bottom: 21, left: 47 };
        const game = await openSite(browser, { viewport: { width: 844, height: 390 }, hasTouch: true, safeArea: insets });
        const { page } = game;
        await handOver(page);
        const box = await page.locator('section.window').boundingBox();
        assert.ok(box.x >= insets.left - 0.5 && box.x + box.width <= 844 - insets.right + 0.5, `${JSON.stringify(box)}`);
        assert.ok(box.y >= 0 && Math.abs(box.y + box.height - (390 - insets.bottom)) < 1, `${JSON.stringify(box)}`);
        clean(game);
        await game.close();
    });

    test('a whole game by taps, upright', async () => {
        const game = await openSite(browser, { viewport: { width: 360, height: 640 }, hasTouch: true });
        const { page } = game;
        await handOver(page);
        await course(page, 'うさぎ').tap();
        for (let second = 0; second < 59; ++second) {
            await advance(page, second === 0 ? 500 : 1000);
            await (await answerButton(page, 1 + second % 3)).button.tap();
        }
        await advance(page, 1500);  // to the 60th second
        assert.equal(await score(page), String(59 * 2));
        assert.equal(await described(page, 'ひょうか').innerText(), '先生も　まいった!!');
        assert.equal(await described(page, 'きろく').innerText(), String(59 * 2));
        assert.equal(await page.evaluate(() => visualViewport.scale), 1, 'no tap zoomed');
        clean(game);
        await game.close();
    });

    test('turning the phone mid-game keeps everything, both ways', async () => {
        const game = await openSite(browser, { viewport: { width: 360, height: 640 }, hasTouch: true });
        const { page } = game;
        await handOver(page);
        await course(page, 'らいおん').tap();
        await advance(page, 1500);
        await (await answerButton(page, 2)).button.tap();
        await advance(page, 1234);
        await page.keyboard.press('m');
        await page.keyboard.press('Tab');  // the focus on the first answer, ring shown
        const state = () => page.evaluate(() => ({
            texts: [...document.querySelectorAll('.window [aria-description]')].map((e) => e.textContent),
            focus: document.activeElement.textContent + document.activeElement.getAttribute('aria-description'),
            ring: document.activeElement.matches(':focus-visible'),
            pressed: [...document.querySelectorAll('[aria-pressed]')].map((e) => e.getAttribute('aria-pressed')),
        }));
        const tops = () => Promise.all([1, 2, 3].map((n) => unitTop(page, n)));
        const before = { ...await state(), tops: await tops() };
        assert.equal(before.ring, true);
        for (const [width, height, geometry] of [[640, 360, 'low'], [360, 640, 'portrait']]) {
            await page.setViewportSize({ width, height });
            await page.waitForFunction((g) => document.querySelector('section.window').dataset.geometry === g, geometry);
            assert.deepEqual({ ...await state(), tops: (await tops()).map((t, i) => Math.abs(t - before.tops[i]) < 2.6 ? before.tops[i] : t) },
                before, `turned to ${geometry}`);
        }
        // The game goes on as it would have: paused and resumed in the low
        // geometry, the sum tapped there counts.
        await page.setViewportSize({ width: 640, height: 360 });
        await page.keyboard.press('p');
        await page.setViewportSize({ width: 360, height: 640 });
        assert.equal(await page.getByRole('button', { name: 'ひとやすみ' }).getAttribute('aria-pressed'), 'true');
        await page.getByRole('button', { name: 'つづける' }).tap();
        await (await answerButton(page, 3)).button.tap();
        assert.equal(await score(page), '10');
        assert.ok(await problem(page, 1).isVisible());
        clean(game);
        await game.close();
    });
});
