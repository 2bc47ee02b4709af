// Every screen, from a phone held upright to a 4K monitor: the whole game
// in view with its aspect kept, no scroll bars, the same falling pace in the
// window's own units, and text drawn afresh at the size shown.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    VERTICAL_UNIT, advance, clean, closeAll, course, handOver, launch, openSite, problem, withPictures,
} from './support.mjs';

const VIEWPORTS = [[612, 491], [360, 640], [1280, 800], [3840, 2160]];
const SECOND = 1000;

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

// How far each sum falls in one second of play, in vertical units, and
// how many vertical units one screen pixel is.
async function fall(page, scale) {
    await course(page, 'ね こ').click();
    const tops = () => Promise.all([1, 2, 3].map((n) => problem(page, n).evaluate((e) => e.getBoundingClientRect().top)));
    const from = await tops();
    await advance(page, SECOND);
    const to = await tops();
    return to.map((t, i) => (t - from[i]) / scale / VERTICAL_UNIT);
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
    const falls = {};
    for (const [width, height] of VIEWPORTS) {
        test(`${width} x ${height}: the whole game in view, no scroll bars, the same pace`, async () => {
            const game = await openSite(browser, { viewport: { width, height } });
            const { page } = game;
            await handOver(page);
            const box = await page.locator('section.window').boundingBox();
            const scale = Math.min(width / 612, height / 491);
            assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= width + 0.5 && box.y + box.height <= height + 0.5,
                `window ${JSON.stringify(box)} leaves the viewport`);
            assert.ok(Math.abs(box.width - 612 * scale) < 1 && Math.abs(box.height - 491 * scale) < 1, 'aspect and fit');
            const overflow = await page.evaluate(() => [document.documentElement.scrollWidth - innerWidth,
                document.documentElement.scrollHeight - innerHeight]);
            assert.deepEqual(overflow, [0, 0], 'no scroll bars');

            if (width === 3840) {
                const share = await edgeShare(page.getByRole('timer'));
                console.log(`countdown at 3840 x 2160: ${(share * 100).toFixed(1)} % edge pixels`);
                assert.ok(share < 0.08, `countdown edges are ${(share * 100).toFixed(1)} % of its pixels: enlarged, not redrawn`);
            }

            falls[width] = { units: await fall(page, scale), pixel: 1 / scale / VERTICAL_UNIT };
            // A sum falls 100, 50 or 33.3 units a second (a tick of 10, 20 or
            // 30 ms), give or take a tick and a screen pixel of rounding.
            for (const units of falls[width].units) {
                assert.ok([100, 50, 100 / 3].some((pace) => Math.abs(units - pace) <= 1 + falls[width].pixel),
                    `a pace of ${units} units a second at ${width} x ${height}`);
            }
            const base = falls[612];
            falls[width].units.forEach((units, i) => assert.ok(
                Math.abs(units - base.units[i]) <= falls[width].pixel + base.pixel + 0.01,
                `sum ${i + 1}: ${units} units a second at ${width} x ${height}, ${base.units[i]} at 612 x 491`));
            clean(game);
            await game.close();
        });
    }
});
