// A typed game (answer=type) in the page, by the keyboard on the manual
// clock: no answer buttons, the digits typed shown, a right number scoring,
// Backspace, and a wrong number wiping the score; and on a phone, by taps
// on the pad's keys, each large enough for a finger.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import { advance, answers, clean, closeAll, described, handOver, launch, openSite, problem, resultOf, score } from './support.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

describe('a typed game', () => {
    test('typed by the keyboard: the number pad in the answers\' place, a right number, Backspace, a wrong one', async () => {
        const game = await openSite(browser, { query: '?clock=manual&answer=type&course=times:7' });
        const { page } = game;
        await handOver(page);
        await page.keyboard.press('1');
        await advance(page, 500);
        for (let n = 1; n <= 3; ++n) assert.equal(await answers(page, n).filter({ visible: true }).count(), 0);
        const send = page.getByRole('button', { name: 'おくる', exact: true });
        assert.ok(await send.isVisible());
        assert.ok(await page.getByRole('button', { name: 'けす', exact: true }).isVisible());

        const typed = described(page, 'こたえ');
        const value = String(resultOf(await problem(page, 1).innerText()));
        await page.keyboard.press(value[0]);
        assert.equal(await typed.innerText(), value[0]);
        for (const digit of value.slice(1)) await page.keyboard.press(digit);
        await page.keyboard.press('Enter');  // nothing more when the number was sent by itself
        assert.equal(await score(page), '1');
        assert.equal(await typed.innerText(), '');

        // 99 is no multiple of 7: it waits at full length, Backspace takes a
        // digit back, and the 9 sent is wrong.
        await page.keyboard.press('9');
        await page.keyboard.press('9');
        assert.equal(await typed.innerText(), '99');
        await page.keyboard.press('Backspace');
        assert.equal(await typed.innerText(), '9');
        await page.keyboard.press('Enter');
        assert.equal(await score(page), '0');
        assert.equal(await typed.innerText(), '');
        clean(game);
        await game.close();
    });
    test('tapped on a phone held upright: every key of the pad a finger\'s size, a right number, けす, a wrong one', async () => {
        const game = await openSite(browser, { query: '?clock=manual&answer=type&course=times:7',
            viewport: { width: 360, height: 640 }, hasTouch: true });
        const { page } = game;
        await handOver(page);
        await page.keyboard.press('1');
        await advance(page, 500);
        const digit = (d) => page.getByRole('button', { name: String(d), exact: true }).and(described(page, 'すうじ'));
        const erase = page.getByRole('button', { name: 'けす', exact: true });
        const send = page.getByRole('button', { name: 'おくる', exact: true });
        for (const key of [...Array.from({ length: 10 }, (_, d) => digit(d)), erase, send]) {
            const box = await key.boundingBox();
            assert.ok(box && box.width >= 44 && box.height >= 44,
                `${await key.innerText()} is ${box?.width} x ${box?.height} CSS px, under 44 x 44`);
        }

        const typed = described(page, 'こたえ');
        const value = String(resultOf(await problem(page, 1).innerText()));
        for (const d of value) await digit(d).tap();
        if (value.length === 1) await send.tap();
        assert.equal(await score(page), '1');
        assert.equal(await typed.innerText(), '');

        await digit(9).tap();
        await digit(9).tap();
        assert.equal(await typed.innerText(), '99');
        await erase.tap();
        assert.equal(await typed.innerText(), '9');
        await send.tap();
        assert.equal(await score(page), '0');
        assert.equal(await typed.innerText(), '');
        clean(game);
        await game.close();
    });
});
