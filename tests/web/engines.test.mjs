// The same scenarios in Chromium, Firefox ESR and WebKitGTK, on the manual
// clock with a fixed seed: the opening, play by clicks and by keys, pause and
// sound, the upright layout, offline play, the single file, and a whole game
// whose every step must come out the same in all three engines.
import { after, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { ENGINES, launchEngine, waitFor } from './engines.mjs';
import { GAME, HAND_OVER_MS, OPENING, SINGLE_FILE, SITE, serve } from './support.mjs';

const DESIGN = { width: 612, height: 491 };
// Upright: MiniBrowser's window is never narrower than its toolbar.
const UPRIGHT = { chromium: { width: 360, height: 640 }, firefox: { width: 360, height: 640 }, webkit: { width: 450, height: 900 } };
const DIGITS = '０１２３';

// What the player sees, read in the page: the sums with how far each has
// fallen, the answers' captions top to bottom, the labels, the toggles.
function seen(digits) {
    const text = (d) => document.querySelector(`[aria-description="${d}"]`)?.textContent;
    const visible = (e) => e.checkVisibility({ visibilityProperty: true });
    const top = (e) => e.getBoundingClientRect().top;
    const sums = [1, 2, 3].map((n) => document.querySelector(`[aria-description="もんだい${digits[n]}"]`));
    return {
        title: document.title,
        sums: sums.map((e) => (visible(e) ? e.textContent : null)),
        fallen: sums.map((e) => Number(e.style.transform.match(/translateY\((-?[\d.]+)px\)/)?.[1] ?? 0)),
        answers: [1, 2, 3].map((n) => [...document.querySelectorAll(`button[aria-description="こたえ${digits[n]}"]`)]
            .filter(visible).sort((a, b) => top(a) - top(b)).map((b) => b.textContent)),
        score: text('得点'), countdown: text('のこり時間'), verdict: text('ひょうか'), record: text('きろく'),
        sound: document.querySelector('button[aria-label="おと"]').getAttribute('aria-pressed'),
        pause: document.querySelector('button[aria-label="ひとやすみ"]').getAttribute('aria-pressed'),
        courses: Object.fromEntries([...document.querySelectorAll('button[aria-description="コース"]')]
            .map((b) => [b.textContent, !visible(b) ? 'hidden' : b.disabled ? 'disabled' : 'enabled'])),
    };
}

// The button that answers sum n rightly (or, with right false, wrongly):
// a selector for it and its row, 1 at the top.
function answerTo(n, right, digits) {
    const [, a, sign, b] = document.querySelector(`[aria-description="もんだい${digits[n]}"]`).textContent
        .match(/^(\d+) ([-+×÷]) (\d+)$/);
    const value = { '+': +a + +b, '-': a - b, '×': a * b, '÷': a / b }[sign];
    const column = [...document.querySelectorAll(`button[aria-description="こたえ${digits[n]}"]`)]
        .sort((x, y) => x.getBoundingClientRect().top - y.getBoundingClientRect().top);
    const row = column.findIndex((button) => (button.textContent === String(value)) === right);
    return { selector: `[data-control="${column[row].dataset.control}"]`, row: row + 1 };
}

// The pixels of the pictures the opening names (var(--opening-…-gif)),
// drawn by the engine: the page's own copies, or, given their bytes, the
// desktop's GIFs. A see-through pixel is see-through, whatever its colour.
async function openingPixels(page, gifs) {
    return page.evaluate(async (given) => {
        const style = getComputedStyle(document.documentElement);
        const out = {};
        for (let k = 0; k < 13; ++k) {
            const name = k === 0 ? 'haikei' : `frame${String(k - 1).padStart(2, '0')}`;
            const picture = new Image();
            picture.src = given ? `data:image/gif;base64,${given[name]}`
                : style.getPropertyValue(`--opening-${name}-gif`).trim().replace(/^url\("?|"?\)$/g, '');
            await picture.decode();
            const canvas = Object.assign(document.createElement('canvas'), { width: picture.width, height: picture.height });
            const context = canvas.getContext('2d', { willReadFrequently: true });
            context.drawImage(picture, 0, 0);
            const data = context.getImageData(0, 0, canvas.width, canvas.height).data;
            for (let i = 0; i < data.length; i += 4) {
                if (data[i + 3] === 0) data[i] = data[i + 1] = data[i + 2] = 0;
            }
            out[name] = `${canvas.width}x${canvas.height}:${Array.from(data).join(',')}`;
        }
        return out;
    }, gifs);
}

const courseButton = (page, caption) => page.evaluate((c) => `[data-control="${[...document.querySelectorAll(
    'button[aria-description="コース"]')].find((b) => b.textContent === c).dataset.control}"]`, caption);
const view = (page) => page.evaluate(seen, DIGITS);
const advance = (page, ms) => page.evaluate((t) => Module.advanceClock(t), ms);
const answer = async (page, n, right = true) => page.click((await page.evaluate(answerTo, n, right, DIGITS)).selector);
const SOUND = 'button[aria-label="おと"]';
const PAUSE = 'button[aria-label="ひとやすみ"]';

async function handOver(page) {
    await advance(page, HAND_OVER_MS);
    assert.equal(await page.title(), GAME);
    assert.ok(await page.evaluate(() => document.fonts.ready.then((fonts) =>
        fonts.size > 0 && [...fonts].every((f) => f.status === 'loaded'))), 'the game\'s font did not load');
}

// The traced game's steps in each engine, compared once all have played.
const traces = {};

for (const name of ENGINES) {
    describe(name, () => {
        let engine;
        after(() => engine?.close());

        // A scenario with what it opens, closed after it (WebKitWebDriver
        // drives one page at a time); when it fails, a picture of the page
        // is kept and named in the failure.
        const scenario = (title, play) => test(title, async () => {
            engine ??= await launchEngine(name);
            let page;
            const opened = [];
            const open = async (url, size = DESIGN, title = OPENING) => {
                page = await engine.open(url, size);
                opened.push(() => page.close());
                await waitFor(page, (t) => document.title === t, title);
                return page;
            };
            const site = async (query, size, title) => {
                const server = await serve(SITE);
                opened.push(() => server.close());
                return { server, page: await open(server.address + query, size, title) };
            };
            try {
                await play({ open, site });
                assert.deepEqual(await page.problems(), [], 'the page reported errors');
            } catch (failure) {
                if (page) {
                    const file = join(await mkdtemp(join(tmpdir(), `permoro-${name}-`)), 'page.png');
                    await page.screenshot().then((shot) => writeFile(file, shot)).catch(() => {});
                    failure.message += `\n(the page: ${file})`;
                }
                throw failure;
            } finally {
                for (const close of opened.reverse()) await close();
            }
        });

        scenario('the opening hands over on its 26th tick', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=1');
            await advance(page, HAND_OVER_MS - 1);
            assert.equal(await page.title(), OPENING);
            assert.ok(await page.evaluate(() => document.querySelector('.window .picture') !== null));
            await advance(page, 1);
            assert.equal(await page.title(), GAME);
            assert.ok(await page.evaluate(() => document.querySelector('.window .picture') === null), 'the opening is gone');
            const at = await view(page);
            assert.deepEqual([at.score, at.countdown, at.verdict, at.sums], ['0', '60', '', ['問題１', '問題２', '問題３']]);
            assert.deepEqual(Object.values(at.courses), Array(6).fill('enabled'));
        });

        scenario('the page\'s opening pictures draw the very pixels of the desktop\'s', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=1');
            const folder = join(dirname(fileURLToPath(import.meta.url)), '../../resources/opening');
            const gifs = {};
            for (const name of ['haikei', ...Array.from({ length: 12 }, (_, k) => `frame${String(k).padStart(2, '0')}`)])
                gifs[name] = (await readFile(join(folder, `${name}.gif`))).toString('base64');
            const [carried, desktop] = [await openingPixels(page), await openingPixels(page, gifs)];
            for (const name of Object.keys(gifs))
                assert.ok(carried[name] === desktop[name], `${name} differs from its GIF`);
        });

        scenario('by clicks: a right answer scores, a wrong one wipes the score', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=2');
            await handOver(page);
            await page.click(await courseButton(page, 'い ぬ'));
            assert.deepEqual((await view(page)).courses, { 'か め': 'hidden', 'うさぎ': 'hidden', 'ね こ': 'hidden',
                'い ぬ': 'disabled', 'らいおん': 'hidden', 'ぞ う': 'hidden' });
            await advance(page, 500);
            const before = await view(page);
            await answer(page, 1);
            const right = await view(page);
            assert.equal(right.score, '4');
            assert.notEqual(right.sums[0], before.sums[0], 'a right answer brings a new sum');
            await answer(page, 3, false);
            const wrong = await view(page);
            assert.equal(wrong.score, '0');
            assert.equal(wrong.sums[2], before.sums[2], 'a wrong answer leaves the sum falling');
        });

        scenario('after a game the result card takes the sums\' place; + changes its number and code, Esc closes it', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=4&time=30');
            await handOver(page);
            await page.press('3');
            await advance(page, 31_000);
            const card = () => page.evaluate(() => ({
                code: document.querySelector('[aria-description="コード"]').textContent,
                number: document.querySelector('[aria-description="ばんごう"]').textContent,
                shown: document.querySelector('[aria-description="コード"]').checkVisibility({ visibilityProperty: true }),
                sums: document.querySelector('[aria-description="もんだい１"]').checkVisibility({ visibilityProperty: true }),
            }));
            await page.click(await page.evaluate(() => `[data-control="${[...document.querySelectorAll('button[data-control]')]
                .find((b) => b.textContent === 'けっか').dataset.control}"]`));
            const opened = await card();
            assert.equal(opened.shown && !opened.sums, true);
            assert.match(opened.code, /^([0-9A-Y]{4} ){4}[0-9A-Y]{2}$/);
            await page.press('+');
            const next = await card();
            assert.deepEqual([opened.number, next.number], ['なし', '1']);
            assert.notEqual(next.code, opened.code);
            // The QR code on the screen holds the card's text, whose second
            // field is the short code shown beside it.
            await waitFor(page, () => document.querySelector('canvas[aria-label="けっかの QR コード"]').width > 2);
            const shot = join(await mkdtemp(join(tmpdir(), 'card-')), `card-${name}.png`);
            await writeFile(shot, await page.screenshot());
            if (process.env.PERMORO_SHOTS) await writeFile(join(process.env.PERMORO_SHOTS, `card-${name}.png`), await readFile(shot));
            const read = execFileSync('zbarimg', ['--raw', '-q', shot], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).trim();
            assert.equal(read.split('/').slice(0, 3).join('/'), `PMR2/${next.code.replaceAll(' ', '')}/0`);
            await page.press('Escape');
            const closed = await card();
            assert.equal(closed.shown || !closed.sums, false);
        });

        scenario('the teacher\'s page prints a worksheet as one A4 page and its answers page', async ({ site }) => {
            const { page } = await site('teacher.html?course=times:7', { width: 900, height: 900 }, 'せんせいへ — ペルモロプラス');
            // A click on a button as a teacher makes it, scrolled to first.
            const press = async (selector) => {
                await page.evaluate((s) => document.querySelector(s).scrollIntoView({ block: 'center' }), selector);
                await page.click(selector);
            };
            await waitFor(page, () => document.getElementById('link').value !== '');
            await press('#sheet-open');
            await waitFor(page, () => document.querySelectorAll('#sheet-course option').length > 1);
            await page.evaluate(() => { window.print = () => { window.printed = true; }; });
            await press('#sheet-print');
            await waitFor(page, () => window.printed && document.querySelectorAll('#sheets article').length === 2);
            if (!page.pdf) return;
            const file = join(await mkdtemp(join(tmpdir(), 'sheet-')), 'sheet.pdf');
            await writeFile(file, await page.pdf());
            const run = (...args) => execFileSync(args[0], args.slice(1), { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
            assert.match(run('pdfinfo', file), /^Pages:\s+2$/m);
            const [sheet, answers] = [1, 2].map((n) => run('pdftotext', '-f', String(n), '-l', String(n), '-layout', file, '-'));
            assert.match(sheet, /7 × \d =/);
            assert.match(answers, /こたえ/);
            assert.match(answers, /7 × (\d) = *(\d+)/);
            for (const [, b, product] of answers.matchAll(/7 × (\d) = *(\d+)/g)) assert.equal(Number(product), 7 * Number(b));
        });

        // Only Chromium reports layout shifts (steady.test.mjs measures the
        // pages there); the others are named here, so that an engine that
        // starts to report them is seen.
        scenario('the teacher\'s page opens in its final shape; layout shifts are reported by Chromium alone', async ({ site }) => {
            const { page } = await site('teacher.html', { width: 900, height: 900 }, 'せんせいへ — ペルモロプラス');
            const where = () => ['settings', 'result', 'print', 'class'].map((id) => Math.round(document.getElementById(id).getBoundingClientRect().top));
            const first = await page.evaluate(where);
            await waitFor(page, () => document.getElementById('link').value !== '');
            assert.deepEqual(await page.evaluate(where), first, 'nothing moved when the module came');
            assert.equal(await page.evaluate(() => PerformanceObserver.supportedEntryTypes.includes('layout-shift')), name === 'chromium');
        });

        scenario('by keys: a digit chooses the course, the keypad\'s digits answer', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=3');
            await handOver(page);
            await page.press('2');
            assert.equal((await view(page)).courses['うさぎ'], 'disabled');
            await advance(page, 400);
            for (const [n, score] of [[1, '2'], [3, '4']]) {
                const { row } = await page.evaluate(answerTo, n, true, DIGITS);
                await page.press(String([7, 4, 1][row - 1] + n - 1));
                assert.equal((await view(page)).score, score, `the right answer to sum ${n} in row ${row}`);
            }
        });

        // A typed game (answer=type): the pad in the answers' place, a
        // number as long as the result sent by itself, Backspace, and a
        // number that answers no sum wiping the score.
        scenario('typed by keys: the pad\'s keys instead of the answers, a right number, Backspace, a wrong one', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=9&answer=type&course=times:7');
            await handOver(page);
            await page.press('1');
            await advance(page, 500);
            const pad = () => page.evaluate(() => {
                const visible = (e) => e.checkVisibility({ visibilityProperty: true });
                return {
                    keys: [...document.querySelectorAll('button[aria-description="すうじ"]')].filter(visible)
                        .map((b) => b.textContent).sort(),
                    edits: [...document.querySelectorAll('button')].filter((b) => visible(b)
                        && ['けす', 'おくる'].includes(b.textContent)).map((b) => b.textContent).sort(),
                    typed: document.querySelector('[aria-description="こたえ"]').textContent,
                };
            });
            const at = await view(page);
            assert.deepEqual(at.answers, [[], [], []], 'no answer buttons in a typed game');
            assert.deepEqual((await pad()).keys, [...'0123456789']);
            assert.deepEqual((await pad()).edits, ['おくる', 'けす']);

            const [, a, b] = at.sums[0].match(/^(\d+) × (\d+)$/);
            const value = String(a * b);
            for (const digit of value) await page.press(digit);
            if (value.length === 1) await page.press('Enter');
            const right = await view(page);
            assert.equal(right.score, '1');
            assert.notDeepEqual(right.sums, at.sums, 'the sum answered gives way to a new one');
            assert.equal((await pad()).typed, '');

            await page.press('9');
            await page.press('9');
            assert.equal((await pad()).typed, '99');
            await page.press('Backspace');
            assert.equal((await pad()).typed, '9');
            await page.press('Enter');
            assert.equal((await view(page)).score, '0');
            assert.equal((await pad()).typed, '');
        });

        scenario('P pauses and M mutes; their toggles show it and undo it', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=4');
            await handOver(page);
            await page.press('4');
            await advance(page, 2_500);
            const playing = await view(page);
            assert.deepEqual([playing.pause, playing.sound], ['false', 'true']);

            await page.press('p');
            const paused = await view(page);
            assert.equal(paused.pause, 'true');
            assert.deepEqual(paused.sums, [null, null, null], 'the sums are out of sight');
            await advance(page, 600_000);
            assert.equal((await view(page)).countdown, playing.countdown);
            await page.click(PAUSE);
            const resumed = await view(page);
            assert.deepEqual([resumed.pause, resumed.sums, resumed.countdown], ['false', playing.sums, playing.countdown]);

            await page.press('m');
            assert.equal((await view(page)).sound, 'false');
            await page.click(SOUND);
            assert.equal((await view(page)).sound, 'true');
            await advance(page, 57_500);
            assert.equal((await view(page)).countdown, '0', 'the game went on from where it was paused');
        });

        scenario('upright: the portrait geometry, every button in view, nothing scrolls', async ({ site }) => {
            const { width, height } = UPRIGHT[name];
            const { page } = await site('?clock=manual&seed=5', UPRIGHT[name]);
            await handOver(page);
            assert.deepEqual(await page.evaluate(() => [innerWidth, innerHeight]), [width, height]);
            assert.equal(await page.evaluate(() => document.querySelector('section.window').dataset.geometry), 'portrait');
            assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth - innerWidth,
                document.documentElement.scrollHeight - innerHeight]), [0, 0], 'no scroll bars');
            const buttons = await page.evaluate(() => [...document.querySelectorAll('.window button')]
                .filter((b) => b.checkVisibility({ visibilityProperty: true })).map((b) => `[data-control="${b.dataset.control}"]`));
            assert.equal(buttons.length, 6 + 9 + 2);
            for (const button of buttons) assert.ok(await page.centre(button), `${button} cannot be reached`);
            // The window spans the screen's width: both edges are the game's.
            assert.ok(await page.evaluate(() => [1, innerWidth - 2].every((x) =>
                document.elementFromPoint(x, innerHeight / 2)?.closest('section.window'))), 'the window spans the width');

            await page.click(await courseButton(page, 'ぞ う'));
            await advance(page, 300);
            await answer(page, 2);
            assert.equal((await view(page)).score, '6');
        });

        // A service worker keeps the game on http://127.0.0.1 (a secure
        // context) in all three: Chromium, Firefox ESR and WebKitGTK.
        scenario('offline: the page reloads and plays with the server gone', async ({ site }) => {
            const { server, page } = await site('?clock=manual&seed=6');
            await waitFor(page, () => navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller !== null));
            await server.close();
            await page.reload();
            await waitFor(page, (t) => document.title === t, OPENING);
            await handOver(page);
            await page.press('6');
            await answer(page, 2);
            assert.equal((await view(page)).score, '6');
        });

        scenario('the single file plays from file://', async ({ open }) => {
            const page = await open(`${pathToFileURL(SINGLE_FILE).href}?clock=manual&seed=7`);
            assert.equal(await page.evaluate(() => location.protocol), 'file:');
            await handOver(page);
            await page.click(await courseButton(page, 'ね こ'));
            await answer(page, 3);
            assert.equal((await view(page)).score, '3');
        });

        // A right answer at once, a wrong one, then a right one each second to
        // the end; every step is kept for the comparison below.
        scenario('a whole game by clicks to its verdict, traced step by step', async ({ site }) => {
            const { page } = await site('?clock=manual&seed=8');
            await handOver(page);
            const trace = [];
            const step = async (what) => trace.push({ what, at: await page.evaluate(() => Module.clockNow()), ...await view(page) });
            await page.click(await courseButton(page, 'い ぬ'));
            await step('course');
            await advance(page, 500);
            await answer(page, 1);
            await step('right 1');
            await answer(page, 3, false);
            await step('wrong 3');
            for (let second = 1; second < 60; ++second) {
                await advance(page, second === 1 ? 500 : 1000);
                await step(`tick ${second}`);
                await answer(page, 1 + second % 3);
                await step(`right ${1 + second % 3}`);
            }
            await advance(page, 999);
            await step('last tick');
            await advance(page, 1);
            await step('end');
            traces[name] = trace;

            const end = trace.at(-1);
            assert.equal(trace.at(-2).countdown, '1');
            assert.deepEqual([end.countdown, end.score, end.verdict, end.record], ['0', String(59 * 4), '先生も　まいった!!', String(59 * 4)]);
            assert.deepEqual(trace.filter((s) => s.what.startsWith('right')).map((s) => s.score),
                ['4', ...Array.from({ length: 59 }, (_, i) => String(4 * (i + 1)))]);
        });
    });
}

describe('all engines alike', () => {
    test('the traced game comes out the same to the tick in Chromium, Firefox ESR and WebKitGTK', () => {
        assert.deepEqual(Object.keys(traces).sort(), [...ENGINES].sort(), 'an engine did not finish the traced game');
        for (const name of ENGINES.slice(1)) {
            assert.deepEqual(traces[name], traces[ENGINES[0]], `${name} played otherwise than ${ENGINES[0]}`);
        }
    });
});
