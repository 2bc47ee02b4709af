// A teacher's link in the page, on the manual clock: its courses on the
// buttons, a whole 九九 game by clicks to its verdict, the list of the sums
// missed and a game of them again, a whole game of division with remainders
// among the newer kinds; and links that try to do harm.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    GAME, advance, answerButton, answers, clean, closeAll, course, described, handOver, launch, openSite, problem, resultOf,
    score,
} from './support.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

describe('a teacher\'s link', () => {
    test('its courses on the buttons, a 30-second game of the 7 times table to its verdict, the sums missed and a game of them again', async () => {
        const game = await openSite(browser, { query: '?clock=manual&course=times:7&course=div:2-5&time=30' });
        const { page } = game;
        await handOver(page);
        const seven = page.getByRole('button', { name: '7のだん　かけざん', exact: true });
        assert.equal(await seven.innerText(), '7のだん');
        assert.equal(await page.getByRole('button', { name: '2〜5でわる　2から5で わる わりざん', exact: true }).innerText(), '2〜5でわる');
        assert.equal(await course(page, 'か め').count(), 0, 'no animal in place of the teacher\'s courses');
        assert.ok(await course(page, 'らいおん').isHidden());
        assert.ok(await page.locator('#notice').isHidden());
        assert.equal(await page.getByRole('timer').innerText(), '30');

        await seven.click();
        await advance(page, 500);
        // A wrong answer first, then a right one every second: 29 points in
        // 30 s, judged as 58 a minute.
        const wrongSum = await problem(page, 2).innerText();
        const wrong = await answerButton(page, 2, false);
        const given = await wrong.button.innerText();
        await wrong.button.click();
        for (let second = 1; second < 30; ++second) {
            for (let n = 1; n <= 3; ++n) assert.match(await problem(page, n).innerText(), /^7 × [1-9]$/);
            await (await answerButton(page, 1 + second % 3)).button.click();
            await advance(page, 1000);
        }
        assert.equal(await score(page), '29');
        await advance(page, 30000 - 500 - 29000 - 1);
        assert.equal(await page.getByRole('timer').innerText(), '1');
        await advance(page, 1);
        assert.equal(await described(page, 'ひょうか').innerText(), 'なかなか　やるなあ!');

        const look = page.getByRole('button', { name: 'みなおし', exact: true });
        assert.ok(await look.isEnabled());
        await look.click();
        // The list's lines in order, top to bottom.
        const lines = await described(page, 'まちがえた もんだい').evaluateAll((all) => all
            .filter((e) => getComputedStyle(e).visibility !== 'hidden')
            .sort((a, b) => a.getBoundingClientRect().top - b.getBoundingClientRect().top).map((e) => e.textContent));
        // The sum answered wrongly first, with the answer given, or, missed
        // again when it came back, with how often.
        assert.ok([`${wrongSum} = ${resultOf(wrongSum)}　（こたえた ${given}）`, `${wrongSum} = ${resultOf(wrongSum)}　2かい`]
            .includes(lines[0]), lines[0]);
        const listed = lines.map((line) => line.split(' = ')[0]);
        assert.ok(await problem(page, 1).isHidden(), 'the list takes the sums\' place');

        await page.getByRole('button', { name: 'もういちど', exact: true }).click();
        assert.equal(await page.getByRole('timer').innerText(), '30');
        for (let n = 1; n <= 3; ++n) assert.ok(listed.includes(await problem(page, n).innerText()) || listed.length === 8);
        await advance(page, 300);
        await (await answerButton(page, 1)).button.click();
        assert.equal(await score(page), '1');
        // A game played again ends once each of its sums is answered right.
        if (new Set(listed).size === 1) assert.ok(await look.isVisible(), 'its one sum answered, the game is over');
        else assert.ok(await look.isHidden(), 'the button goes while a game runs');
        clean(game);
        await game.close();
    });

    test('the newer kinds on the buttons, and a whole game of division with remainders, every caption shown whole', async () => {
        const game = await openSite(browser,
            { query: '?clock=manual&seed=7&course=make:10&course=three:1-9&course=div:2-9:rem&course=times:7:up' });
        const { page } = game;
        await handOver(page);
        const names = ['10はいくつ', '3つのかず', 'あまり2〜9', '7じゅん'];
        const buttons = page.locator('button[aria-label]');
        assert.deepEqual(await buttons.evaluateAll((all) => all
            .filter((b) => b.getAttribute('aria-description') === 'コース').map((b) => b.textContent)), names);
        assert.ok(await page.locator('#notice').isHidden());
        // Text drawn past the edge of its own box: a caption cut off.
        const cut = (locator) => locator.evaluateAll((all) => all.filter((e) => {
            const range = document.createRange();
            range.selectNodeContents(e);
            const [text, box] = [range.getBoundingClientRect(), e.getBoundingClientRect()];
            return text.left < box.left - 0.5 || text.right > box.right + 0.5;
        }).map((e) => e.textContent));
        assert.deepEqual(await cut(buttons), []);

        await page.getByRole('button', { name: 'あまり2〜9　2から9で わる あまりのある わりざん', exact: true }).click();
        await advance(page, 500);
        // One right answer a second, the sums in turn: 3 points each.
        for (let second = 1; second < 60; ++second) {
            for (let n = 1; n <= 3; ++n) {
                assert.deepEqual(await cut(problem(page, n)), []);
                assert.deepEqual(await cut(answers(page, n)), []);
            }
            const n = 1 + second % 3;
            const sum = await problem(page, n).innerText();
            const [, a, b] = sum.match(/^(\d+) ÷ ([2-9])$/) ?? assert.fail(`not a division by 2 to 9: "${sum}"`);
            assert.ok(a % b > 0 && a / b < 10, `${sum} leaves a remainder, with a quotient of one digit`);
            const right = `${Math.floor(a / b)}あまり${a % b}`;
            const captions = await answers(page, n).allInnerTexts();
            assert.equal(captions.filter((c) => c === right).length, 1, `${sum}: ${captions}`);
            await answers(page, n).filter({ hasText: new RegExp(`^${right}$`) }).click();
            assert.equal(await score(page), String(3 * second));
            await advance(page, 1000);
        }
        await advance(page, 60000 - 500 - 59000);
        assert.equal(await page.getByRole('timer').innerText(), '0');
        assert.equal(await score(page), String(3 * 59));
        assert.notEqual(await described(page, 'ひょうか').innerText(), '');
        clean(game);
        await game.close();

        // The widest sums, three numbers of two digits and 20は 19と□, set
        // in smaller type to fit their labels, upright and on a wide screen.
        for (const viewport of [{ width: 1280, height: 800 }, { width: 360, height: 640 }]) {
            const wide = await openSite(browser, { query: '?clock=manual&seed=3&course=three:50-99&course=make:20', viewport });
            await handOver(wide.page);
            for (const k of ['1', '2']) {
                await wide.page.keyboard.press(k);
                for (let step = 0; step < 6; ++step) {
                    await advance(wide.page, 700);
                    for (let n = 1; n <= 3; ++n)
                        assert.deepEqual(await cut(problem(wide.page, n)), [], `${k} at ${viewport.width}`);
                }
                await advance(wide.page, 60000);
            }
            clean(wide);
            await wide.close();
        }
    });

    test('a link that tries to do harm runs nothing, asks for nothing, and is named in one line', async () => {
        const hostile = [
            'course=%3Cimg%20src%3Dx%20onerror%3D%22window.pwned%3D1%22%3E',
            'time=%3Cscript%3Ewindow.pwned%3D2%3C%2Fscript%3E',
            'course=javascript:window.pwned=3',
            'sound=%E2%80%AEffo',
            'course=times:7&course=times:7&course=times:7&course=times:7&course=times:7&course=times:7&course=times:8',
            `pace=${'9'.repeat(3000)}`,
        ].join('&');
        const game = await openSite(browser, { query: `?clock=manual&${hostile}` });
        const { page } = game;
        let dialogs = 0;
        page.on('dialog', async (d) => { ++dialogs; await d.dismiss(); });
        await handOver(page);
        const notice = page.locator('#notice');
        assert.ok(await notice.isVisible());
        const text = await notice.innerText();
        assert.match(text, /^リンクの一部を使いませんでした: /);
        assert.doesNotMatch(text, /[<>\u202E]/);
        assert.equal(text.includes('\n'), false);
        assert.equal(await page.evaluate(() => window.pwned), undefined);
        assert.equal(await page.locator('img, script[src]').count(), 0);
        assert.equal(dialogs, 0);
        // What could be read applies: six 7 times tables, numbered to tell
        // them apart, no seventh course.
        assert.equal(await page.getByRole('button', { name: /^7のだん[1-6]\s+かけざん$/ }).count(), 6);
        assert.equal(await page.title(), GAME);
        clean(game);
        await game.close();
    });

    test('a notice of several parts shows whole above the game on an upright phone', async () => {
        const game = await openSite(browser, {
            query: '?clock=manual&course=times:0&course=sub:1-9:borrow&course=div:1:rem&time=5&course=make:10',
            viewport: { width: 360, height: 640 },
        });
        const { page } = game;
        await handOver(page);
        const room = await page.evaluate(() => {
            const notice = document.getElementById('notice');
            const range = document.createRange();
            range.selectNodeContents(notice);
            const [text, box] = [range.getBoundingClientRect(), notice.getBoundingClientRect()];
            return {
                lines: Math.round(text.height / parseFloat(getComputedStyle(notice).lineHeight)),
                inside: text.left >= box.left && text.right <= box.right && notice.scrollHeight <= notice.clientHeight,
                gameTop: document.getElementById('screen').getBoundingClientRect().top,
                noticeBottom: box.bottom,
                sideways: document.documentElement.scrollWidth > innerWidth,
            };
        });
        assert.ok(room.lines >= 3 && room.inside, JSON.stringify(room));
        assert.ok(room.gameTop >= room.noticeBottom - 0.5 && !room.sideways, JSON.stringify(room));
        assert.equal(await page.getByRole('button', { name: /^10はいくつ/ }).count(), 1);
        clean(game);
        await game.close();
    });
});
