// A teacher's link in the page, on the manual clock: its courses on the
// buttons, a whole 九九 game by clicks to its verdict, the list of the sums
// missed and a game of them again; and links that try to do harm.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    GAME, advance, answerButton, clean, closeAll, course, described, handOver, launch, openSite, problem, resultOf,
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
        assert.equal(await page.getByRole('button', { name: 'わり2〜5　2から5で わる わりざん', exact: true }).innerText(), 'わり2〜5');
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
        assert.equal(lines[0], `${wrongSum} = ${resultOf(wrongSum)}　（こたえた ${given}）`);
        const listed = lines.map((line) => line.split(' = ')[0]);
        assert.ok(await problem(page, 1).isHidden(), 'the list takes the sums\' place');

        await page.getByRole('button', { name: 'もういちど', exact: true }).click();
        assert.equal(await page.getByRole('timer').innerText(), '30');
        for (let n = 1; n <= 3; ++n) assert.ok(listed.includes(await problem(page, n).innerText()) || listed.length === 8);
        await advance(page, 300);
        await (await answerButton(page, 1)).button.click();
        assert.equal(await score(page), '1');
        assert.ok(await look.isHidden(), 'the button goes while a game runs');
        clean(game);
        await game.close();
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
        // What could be read applies: six 7 times tables, no seventh course.
        assert.equal(await page.getByRole('button', { name: '7のだん　かけざん', exact: true }).count(), 6);
        assert.equal(await page.title(), GAME);
        clean(game);
        await game.close();
    });
});
