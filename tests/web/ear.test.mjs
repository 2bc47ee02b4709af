// The game by ear in the page: each answer's name says its sum and its
// value, one polite live region says the game's moments in order (and
// nothing while the sums only fall), the focus stays in its column after an
// answer; and the page stands still as the opening hands over.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    SITE, advance, answerButton, answers, clean, closeAll, course, handOver, launch, openSite, problem, resultOf, serve,
} from './support.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

const SPOKEN = { '+': 'たす', '-': 'ひく', '×': 'かける', '÷': 'わる' };
const spoken = (sum) => sum.replace(/^(\d+) (.) (\d+)$/, (_, a, op, b) => `${a}${SPOKEN[op]}${b}`);

// Everything the live region says, each change as the page draws it, split
// into the moments it joins with "。".
async function listen(page) {
    await page.evaluate(() => {
        window.said = [];
        const region = document.querySelector('.window [role=status]');
        new MutationObserver(() => window.said.push(region.textContent))
            .observe(region, { subtree: true, childList: true, characterData: true });
    });
    return async () => (await page.evaluate(() => window.said.splice(0))).flatMap((t) => t.split('。')).filter(Boolean);
}

describe('by ear', () => {
    test('the answers carry their sums, and a game is told in order', async () => {
        const game = await openSite(browser, { query: '?clock=manual&time=40' });
        const { page } = game;
        await handOver(page);
        const heard = await listen(page);
        await course(page, 'うさぎ').click();
        const sums = [];
        for (let n = 1; n <= 3; ++n) sums.push(await problem(page, n).innerText());
        assert.deepEqual(await heard(), sums.map((s, i) => `もんだい${i + 1} ${spoken(s)}`));
        for (let n = 1; n <= 3; ++n) {
            for (const button of await answers(page, n).all()) {
                assert.equal(await button.getAttribute('aria-label'), `${spoken(sums[n - 1])} は ${await button.innerText()}`);
            }
        }
        await advance(page, 400);
        assert.deepEqual(await heard(), [], 'nothing said while the sums only fall');

        await (await answerButton(page, 2)).button.click();
        assert.deepEqual(await heard(), ['せいかい', `もんだい2 ${spoken(await problem(page, 2).innerText())}`]);
        await (await answerButton(page, 3, false)).button.click();
        await page.keyboard.press('p');
        await page.keyboard.press('p');
        assert.deepEqual(await heard(), ['ざんねん', 'ひとやすみ', 'つづけます']);

        // A second at a time, each drawn, as the page draws every 25 ms.
        const rest = [];
        for (let second = 0; second < 40; ++second) {
            await advance(page, 1000);
            rest.push(...await heard());
        }
        const times = rest.filter((s) => s.startsWith('のこり'));
        assert.deepEqual(times, ['のこり 30びょう', 'のこり 10びょう', 'のこり 3びょう', 'のこり 2びょう', 'のこり 1びょう']);
        for (const s of rest) assert.match(s, /^(もんだい[123] \d+(たす|ひく)\d+|のこり \d+びょう|おわり　.*)$/);
        assert.equal(rest.at(-1), 'おわり　0てん　どうした？　きろく 0てん');  // the wrong answer wiped the 2 points
        clean(game);
        await game.close();
    });

    test('after an answer by the keyboard the focus stays in its column, on a button named for the new sum', async () => {
        const game = await openSite(browser);
        const { page } = game;
        await handOver(page);
        await page.keyboard.press('1');
        await advance(page, 300);
        // Tab to the first answer, down to the row of sum 1's result.
        await page.keyboard.press('Tab');
        const { row } = await answerButton(page, 1);
        for (let r = 1; r < row; ++r) await page.keyboard.press('ArrowDown');
        const focused = () => page.evaluate(() => [document.activeElement.getAttribute('aria-description'),
            document.activeElement.getAttribute('aria-label'), document.activeElement.dataset.control]);
        const [column, , control] = await focused();
        assert.equal(column, 'こたえ１');
        await page.keyboard.press('Space');
        const [after, name, same] = await focused();
        assert.equal(after, 'こたえ１');
        assert.equal(same, control);
        assert.ok(name.startsWith(`${spoken(await problem(page, 1).innerText())} は `), name);
        assert.equal(resultOf(await problem(page, 1).innerText()) >= 0, true);
        clean(game);
        await game.close();
    });
});

describe('the page stands still at the hand-over', () => {
    for (const viewport of [{ width: 412, height: 823 }, { width: 360, height: 640 }, { width: 1280, height: 800 }]) {
        test(`${viewport.width} x ${viewport.height}: no layout shift from the load through the hand-over`, async () => {
            const server = await serve(SITE);
            const context = await browser.newContext({ viewport, hasTouch: viewport.width < 500 });
            const page = await context.newPage();
            await page.addInitScript(() => {
                window.shift = 0;
                new PerformanceObserver((list) => {
                    for (const entry of list.getEntries()) {
                        if (!entry.hadRecentInput) window.shift += entry.value;
                    }
                }).observe({ type: 'layout-shift', buffered: true });
            });
            await page.goto(server.address);
            await page.waitForFunction(() => document.title !== 'オープニング' && document.title !== '', null, { timeout: 10000 });
            await page.waitForTimeout(500);
            const shift = await page.evaluate(() => window.shift);
            assert.ok(shift <= 0.05, `cumulative layout shift ${shift}`);
            await context.close();
            await server.close();
        });
    }
});
