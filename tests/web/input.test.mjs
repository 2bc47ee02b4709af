// Playing with the keys only, and with taps only: the same events as
// clicks, refused alike by buttons that are hidden or disabled.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import { advance, answerButton, clean, closeAll, course, handOver, launch, openSite, score } from './support.mjs';

// The digit keys lie over the answers like the numeric keypad: 7 8 9 the
// top row, 4 5 6 the middle, 1 2 3 the bottom; at rest 1 to 6 are courses.
const keypad = (n, row) => String([7, 4, 1][row - 1] + n - 1);

// The focused button: an answer's problem description and its row (a
// toggle's name and 0), and whether its focus ring shows. The window is
// drawn at scale 1.
const focused = (page) => page.evaluate(() => {
    const e = document.activeElement;
    const row = [384, 416, 448].indexOf(Math.round(e.getBoundingClientRect().top)) + 1;
    return { at: [e.getAttribute('aria-description') ?? e.getAttribute('aria-label'), row], ring: e.matches(':focus-visible') };
});

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

describe('keys only', () => {
    test('digits choose a course and answer; a held key presses once', async () => {
        const game = await openSite(browser);
        const { page } = game;
        await handOver(page);
        await page.keyboard.press('2');
        assert.ok(await course(page, 'うさぎ').isDisabled());
        assert.ok(await course(page, 'か め').isHidden());
        await page.keyboard.press('7');  // rebel(1) is hidden: 7 is only an answer now

        await advance(page, 400);
        const { row } = await answerButton(page, 1);
        const key = keypad(1, row);
        await page.keyboard.down(key);
        await page.keyboard.down(key);  // the key repeats
        await page.keyboard.down(key);
        await page.keyboard.up(key);
        assert.equal(await score(page), '2', 'one right answer of うさぎ');
        clean(game);
        await game.close();
    });

    test('Tab and the arrows move the focus; Space and Enter press once; the ring shows for keys only', async () => {
        const game = await openSite(browser);
        const { page } = game;
        await handOver(page);
        // The mouse chooses い ぬ, which is then disabled: the focus goes on
        // to the next button in Tab order, the top answer of problem 1,
        // without a ring. Unseen, it is not where keys start: they start
        // from no focus, at the first button.
        await course(page, 'い ぬ').click();
        assert.deepEqual(await focused(page), { at: ['こたえ１', 1], ring: false });

        for (const [key, at] of [
            ['ArrowRight', ['こたえ１', 1]], ['ArrowRight', ['こたえ２', 1]], ['ArrowRight', ['こたえ３', 1]], ['ArrowRight', ['こたえ３', 1]],
            ['ArrowDown', ['こたえ３', 2]], ['Tab', ['こたえ３', 3]], ['Tab', ['おと', 0]], ['Tab', ['ひとやすみ', 0]],
            ['Tab', ['こたえ１', 1]], ['Shift+Tab', ['ひとやすみ', 0]], ['Shift+Tab', ['おと', 0]],
            ['Shift+Tab', ['こたえ３', 3]], ['ArrowLeft', ['こたえ２', 3]], ['ArrowUp', ['こたえ２', 2]],
        ]) {
            await page.keyboard.press(key);
            assert.deepEqual(await focused(page), { at, ring: true }, key);
        }
        assert.equal(await page.evaluate(() => getComputedStyle(document.activeElement).outlineStyle), 'solid');

        // Up or down to the right result of problem 2; Space presses it once
        // (a second press would meet the new sum's button), then Enter.
        for (const key of [' ', 'Enter']) {
            const { row } = await answerButton(page, 2);
            let [, now] = (await focused(page)).at;
            for (; now < row; ++now) await page.keyboard.press('ArrowDown');
            for (; now > row; --now) await page.keyboard.press('ArrowUp');
            await page.keyboard.press(key);
        }
        assert.equal(await score(page), '8');

        // When the game ends the answers are disabled: the focus moves on
        // to the next button that takes it, the first course.
        await advance(page, 60000);
        assert.equal(await page.evaluate(() => document.activeElement.textContent), 'か め');
        clean(game);
        await game.close();
    });
});

describe('taps only', () => {
    test('taps choose a course and answer, and a double tap never zooms', async () => {
        const game = await openSite(browser, { viewport: { width: 360, height: 640 }, hasTouch: true });
        const { page } = game;
        await handOver(page);
        await course(page, 'らいおん').tap();
        assert.ok(await course(page, 'らいおん').isDisabled());
        await advance(page, 300);
        await (await answerButton(page, 3)).button.tap();
        assert.equal(await score(page), '5');

        // Two taps in quick succession are two answers, never a zoom.
        await (await answerButton(page, 1)).button.tap();
        await (await answerButton(page, 2)).button.tap();
        assert.equal(await score(page), '15');
        assert.equal(await page.evaluate(() => visualViewport.scale), 1);
        assert.equal(await page.evaluate(() => getComputedStyle(document.body).touchAction), 'manipulation');
        clean(game);
        await game.close();
    });
});
