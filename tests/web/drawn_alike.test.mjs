// The same game state drawn alike by the browser and by the desktop: the
// page's window and the desktop window rendered offscreen
// (render_reference, built by the default preset), both at 612 x 491 after
// the same script of events in virtual time, compared pixel by pixel.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';

import { advance, answerButton, clean, closeAll, course, launch, openSite, withPictures } from './support.mjs';

const RENDERER = process.env.PERMORO_REFERENCE_RENDERER;
const COURSES = ['か め', 'うさぎ', 'ね こ', 'い ぬ', 'らいおん', 'ぞ う'];

// Steps as render_reference reads them. The opening hands over at 1986 ms.
const STATES = {
    'the resting screen': ['advance:1986'],
    'a game in its fifth second': ['advance:1986', 'advance:700', 'course:3', 'advance:2300', 'right:2', 'advance:900',
        'right:1', 'advance:1234'],
};

// Differences up to this much in every channel are the two text renderers'
// different anti-aliasing of the same glyphs, not a different drawing.
const NOISE = 48;

let browser, scratch;
before(async () => {
    assert.ok(RENDERER && existsSync(RENDERER),
        `no desktop renderer at ${RENDERER}: build the default preset first (./test.sh does)`);
    browser = await launch();
    scratch = await mkdtemp(join(tmpdir(), 'permoro-reference-'));
});
after(async () => {
    await closeAll();
    await browser?.close();
    if (scratch) await rm(scratch, { recursive: true });
});

async function desktop(name, steps) {
    const file = join(scratch, `${name.replace(/\W+/g, '-')}.png`);
    await promisify(execFile)(RENDERER, [file, ...steps], { env: { ...process.env, XDG_RUNTIME_DIR: scratch } });
    return readFile(file);
}

async function browserEdition(steps) {
    const game = await openSite(browser);
    const { page } = game;
    for (const step of steps) {
        const [verb, value] = step.split(':');
        if (verb === 'advance') await advance(page, Number(value));
        else if (verb === 'course') await course(page, COURSES[value - 1]).click();
        else if (verb === 'right') await (await answerButton(page, Number(value))).button.click();
    }
    await page.evaluate(() => document.fonts.ready);
    const shot = await page.locator('section.window').screenshot();
    clean(game);
    await game.close();
    return shot;
}

describe('drawn alike', () => {
    for (const [name, steps] of Object.entries(STATES)) {
        test(`${name}: the browser draws what the desktop draws`, async () => {
            const [web, reference] = await Promise.all([browserEdition(steps), desktop(name, steps)]);
            const share = await withPictures(browser, [web, reference], ([a, b], noise) => {
                if (a.width !== b.width || a.height !== b.height) return { size: [a.width, a.height, b.width, b.height] };
                let differing = 0, visibly = 0;
                for (let i = 0; i < a.data.length; i += 4) {
                    const d = Math.max(Math.abs(a.data[i] - b.data[i]), Math.abs(a.data[i + 1] - b.data[i + 1]),
                        Math.abs(a.data[i + 2] - b.data[i + 2]));
                    if (d > 0) ++differing;
                    if (d > noise) ++visibly;
                }
                const pixels = a.width * a.height;
                return { size: null, differing: differing / pixels, visibly: visibly / pixels };
            }, NOISE);
            assert.equal(share.size, null, `sizes differ: ${share.size}`);
            console.log(`${name}: ${(share.differing * 100).toFixed(2)} % of the pixels differ, ` +
                `${(share.visibly * 100).toFixed(2)} % by more than ${NOISE} in a channel`);
            assert.ok(share.visibly < 0.03, `${(share.visibly * 100).toFixed(2)} % of the pixels differ visibly`);
        });
    }
});
