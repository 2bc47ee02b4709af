// The game in the page, on the manual clock: the opening and its hand-over,
// answers, whole games with their verdicts and the record.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    GAME, HAND_OVER_MS, OPENING, advance, answerButton, answers, clean, closeAll, course, described, handOver, launch,
    openSite, problem, score,
} from './support.mjs';

const COURSES = ['か め', 'うさぎ', 'ね こ', 'い ぬ', 'らいおん', 'ぞ う'];

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

describe('opening and hand-over', () => {
    test('the opening hands over on its 26th tick to the game window at rest', async () => {
        const game = await openSite(browser);
        const { page } = game;
        const pictures = page.locator('.window .picture');
        await advance(page, HAND_OVER_MS - 1);
        assert.equal(await page.title(), OPENING);
        assert.ok(await pictures.first().isVisible());
        await advance(page, 1);
        assert.equal(await page.title(), GAME);
        assert.equal(await pictures.count(), 0, 'the opening window is gone');

        assert.equal(await score(page), '0');
        assert.equal(await page.getByRole('timer').innerText(), '60');
        assert.equal(await described(page, 'ひょうか').innerText(), '');
        assert.equal(await described(page, 'きろく').innerText(), '');
        for (const caption of COURSES) assert.ok(await course(page, caption).isEnabled(), caption);
        for (let n = 1; n <= 3; ++n) {
            assert.equal(await problem(page, n).innerText(), `問題${'０１２３'[n]}`);
            for (const button of await answers(page, n).all()) assert.ok(await button.isDisabled());
        }
        clean(game);
        await game.close();
    });

    test('screen readers find the labels by the desktop\'s descriptions', async () => {
        const game = await openSite(browser);
        const { page } = game;
        await handOver(page);
        const cdp = await page.context().newCDPSession(page);
        const { nodes } = await cdp.send('Accessibility.getFullAXTree');
        const descriptions = new Set(nodes.map((n) => n.description?.value).filter(Boolean));
        for (const d of ['得点', 'のこり時間', 'ひょうか', 'きろく', 'もんだい１', 'もんだい２', 'もんだい３',
            'こたえ１', 'こたえ２', 'こたえ３', 'コース']) {
            assert.ok(descriptions.has(d), `no control described as ${d}`);
        }
        // One polite live region says the game's moments (the verdict among
        // them); the verdict's label itself is not read out twice.
        const props = (node) => Object.fromEntries((node.properties ?? []).map((p) => [p.name, p.value.value]));
        const verdict = nodes.find((n) => n.description?.value === 'ひょうか');
        assert.notEqual(props(verdict).live, 'polite');
        assert.equal(nodes.filter((n) => n.role?.value === 'status' && props(n).live === 'polite' && !n.ignored).length, 1);
        const countdown = nodes.find((n) => n.description?.value === 'のこり時間');
        assert.equal(countdown.role.value, 'timer');
        assert.notEqual(Object.fromEntries((countdown.properties ?? []).map((p) => [p.name, p.value.value])).live, 'polite');
        clean(game);
        await game.close();
    });
});

describe('whole games', () => {
    test('right answers add the course\'s points, a wrong one wipes them; the game ends with its verdict and the record', async () => {
        const game = await openSite(browser);
        const { page } = game;
        await handOver(page);
        await course(page, 'い ぬ').click();
        for (const caption of COURSES.filter((c) => c !== 'い ぬ')) assert.ok(await course(page, caption).isHidden());
        assert.ok(await course(page, 'い ぬ').isDisabled());

        await advance(page, 500);
        const sum = await problem(page, 1).innerText();
        await (await answerButton(page, 1)).button.click();
        assert.equal(await score(page), '4');
        assert.notEqual(await problem(page, 1).innerText(), sum, 'a right answer brings a new sum');
        const kept = await problem(page, 3).innerText();
        await (await answerButton(page, 3, false)).button.click();
        assert.equal(await score(page), '0');
        assert.equal(await problem(page, 3).innerText(), kept, 'a wrong answer leaves the sum falling');

        // Then a right answer every second, to the last one: 4 points each.
        for (let second = 1; second < 60; ++second) {
            await advance(page, second === 1 ? 500 : 1000);
            await (await answerButton(page, 1 + second % 3)).button.click();
        }
        await advance(page, 999);
        assert.equal(await page.getByRole('timer').innerText(), '1');
        assert.equal(await described(page, 'ひょうか').innerText(), '');
        await advance(page, 1);
        assert.equal(await page.getByRole('timer').innerText(), '0');
        assert.equal(await score(page), String(59 * 4));
        assert.equal(await described(page, 'ひょうか').innerText(), '先生も　まいった!!');
        assert.equal(await described(page, 'きろく').innerText(), String(59 * 4));
        for (const caption of COURSES) assert.ok(await course(page, caption).isEnabled(), caption);
        for (let n = 1; n <= 3; ++n) {
            for (const button of await answers(page, n).all()) assert.ok(await button.isDisabled());
        }

        // A second game with no answer: the lowest verdict, the record stays.
        await course(page, 'か め').click();
        assert.equal(await score(page), '0');
        assert.equal(await described(page, 'ひょうか').innerText(), '');
        await advance(page, 60000);
        assert.equal(await described(page, 'ひょうか').innerText(), 'どうした？');
        assert.equal(await described(page, 'きろく').innerText(), String(59 * 4));
        clean(game);
        await game.close();
    });
});
