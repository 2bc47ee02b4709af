// The pages hold still as they open: what comes after the first paint (the
// teacher's module, its form and link, the game's program) goes into space
// that was there from the start. Chromium reports layout shifts; a shift
// that follows no input within the first 3 s counts.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import { SITE, launch, serve } from './support.mjs';

let browser;
let server;
before(async () => { browser = await launch(); server = await serve(SITE); });
after(async () => { await server.close(); await browser.close(); });

const SIZES = { phone: { width: 412, height: 823 }, 'iPad upright': { width: 820, height: 1180 }, desktop: { width: 1280, height: 900 } };

async function shiftOf(file, viewport) {
    const context = await browser.newContext({ viewport, hasTouch: viewport.width < 900 });
    const page = await context.newPage();
    await page.addInitScript(() => {
        window.shifts = [];
        new PerformanceObserver((list) => {
            for (const entry of list.getEntries()) {
                if (!entry.hadRecentInput) window.shifts.push({ value: entry.value, at: Math.round(entry.startTime) });
            }
        }).observe({ type: 'layout-shift', buffered: true });
    });
    await page.goto(server.address + file);
    await page.waitForTimeout(3000);
    const shifts = await page.evaluate(() => window.shifts);
    await context.close();
    return { total: shifts.reduce((sum, s) => sum + s.value, 0), shifts };
}

describe('the pages hold still as they open', () => {
    for (const [name, viewport] of Object.entries(SIZES)) {
        for (const file of ['teacher.html', 'teacher.html?course=times:7&time=90', '']) {
            test(`${file || 'index.html'}, ${name}: layout shift at most 0.05 over the first 3 s`, async () => {
                const { total, shifts } = await shiftOf(file, viewport);
                assert.ok(total <= 0.05, `${total.toFixed(3)}: ${JSON.stringify(shifts)}`);
            });
        }
    }

    // Firefox ESR and WebKitGTK have no layout-shift entries to observe:
    // there the page's steadiness rests on this Chromium test.
    test('Firefox ESR and WebKitGTK report no layout shifts', { skip: 'their PerformanceObserver has no layout-shift entries' }, () => {});
});
