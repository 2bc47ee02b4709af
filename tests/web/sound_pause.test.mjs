// Sound and pause in the page, on the manual clock. What the page plays is
// seen from outside the game: an init script wraps the page's Web Audio,
// tagging each buffer with the order it was made in (the cues' order) and
// noting each one started.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
    advance, answerButton, answers, clean, closeAll, course, described, handOver, launch, openSite, problem, score,
} from './support.mjs';

const CUES = ['start', 'right', 'wrong', 'countdown', 'end-low', 'end-middle', 'end-top'];

// Runs in the page before its own scripts. Headless Chromium never hides a
// page, so the test shows it hidden as a browser does when the tab goes to
// the background: the document's state changes, then its event comes.
function listen() {
    window.heard = [];
    window.contexts = 0;
    const Context = window.AudioContext;
    window.AudioContext = class extends Context {
        constructor(...args) { super(...args); window.contexts += 1; }
    };
    const createBuffer = Context.prototype.createBuffer;
    let made = 0;
    Context.prototype.createBuffer = function (...args) {
        const buffer = createBuffer.apply(this, args);
        buffer.cue = made++;
        return buffer;
    };
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...args) {
        window.heard.push(this.buffer.cue);
        return start.apply(this, args);
    };
    let state = 'visible';
    Object.defineProperty(Document.prototype, 'visibilityState', { get: () => state, configurable: true });
    Object.defineProperty(Document.prototype, 'hidden', { get: () => state === 'hidden', configurable: true });
    window.showPage = (shown) => {
        state = shown ? 'visible' : 'hidden';
        document.dispatchEvent(new Event('visibilitychange'));
    };
}

async function openGame(query = '') {
    const game = await openSite(browser, { query: `?clock=manual${query}`, init: listen });
    await handOver(game.page);
    return game;
}

const heard = async (page) => (await page.evaluate(() => window.heard)).map((i) => CUES[i]);
const toggle = (page, name) => page.getByRole('button', { name, exact: true });
const countdown = (page) => page.getByRole('timer').innerText();

let browser;
before(async () => { browser = await launch(); });
after(async () => { await closeAll(); await browser.close(); });

describe('sound', () => {
    test('each moment of a game is heard, and the audio waits for the first touch', async () => {
        const game = await openGame();
        const { page } = game;
        assert.equal(await page.evaluate(() => window.contexts), 0, 'no audio before a touch');
        await course(page, 'ね こ').click();
        assert.equal(await page.evaluate(() => window.contexts), 1);
        await advance(page, 500);
        await (await answerButton(page, 1)).button.click();
        await (await answerButton(page, 2, false)).button.click();
        assert.deepEqual(await heard(page), ['start', 'right', 'wrong']);
        await advance(page, 59_500);
        assert.deepEqual((await heard(page)).slice(3), ['countdown', 'countdown', 'countdown', 'end-low']);
        clean(game);
        await game.close();
    });

    test('M and the speaker toggle silence it; ?sound=off starts silent', async () => {
        const game = await openGame();
        const { page } = game;
        assert.equal(await toggle(page, 'おと').getAttribute('aria-pressed'), 'true');
        await page.keyboard.press('m');
        assert.equal(await toggle(page, 'おと').getAttribute('aria-pressed'), 'false');
        await page.keyboard.press('3');
        await advance(page, 300);
        await (await answerButton(page, 1)).button.click();
        assert.deepEqual(await heard(page), []);
        await toggle(page, 'おと').click();
        await (await answerButton(page, 2)).button.click();
        assert.deepEqual(await heard(page), ['right']);
        clean(game);
        await game.close();

        const muted = await openGame('&sound=off');
        assert.equal(await toggle(muted.page, 'おと').getAttribute('aria-pressed'), 'false');
        await course(muted.page, 'か め').click();
        assert.deepEqual(await heard(muted.page), []);
        clean(muted);
        await muted.close();
    });
});

describe('pause', () => {
    // Pauses the game the way `how` says, checks that nothing of it moves or
    // can be answered for ten minutes, and goes on.
    async function pauseAndGoOn(page, how) {
        const yasumi = toggle(page, 'ひとやすみ');
        assert.ok(await yasumi.isDisabled(), 'no pause at rest');
        await course(page, 'い ぬ').click();
        await advance(page, 2_500);
        const right = await answerButton(page, 2);
        const shown = { time: await countdown(page), sum: await problem(page, 2).innerText() };
        await how.pause(page);
        assert.equal(await yasumi.getAttribute('aria-pressed'), 'true');
        // The pause's message, as the child sees it (the live region says the same words).
        assert.ok(await page.locator('.label:not(.unseen)').getByText('ひとやすみ', { exact: true }).isVisible());
        for (let n = 1; n <= 3; ++n) {
            assert.ok(await problem(page, n).isHidden(), 'the sums are out of sight');
            for (const button of await answers(page, n).all()) assert.ok(await button.isHidden());
        }
        await page.keyboard.press(String([7, 4, 1][right.row - 1] + 1));
        await advance(page, 600_000);
        assert.equal(await countdown(page), shown.time);
        assert.equal(await score(page), '0');

        await how.resume(page);
        assert.equal(await yasumi.getAttribute('aria-pressed'), 'false');
        assert.equal(await problem(page, 2).innerText(), shown.sum);
        await right.button.click();
        assert.equal(await score(page), '4');
        // The countdown goes on where it stood: 57 seconds of play are left.
        await advance(page, 57_499);
        assert.equal(await countdown(page), '1');
        await advance(page, 1);
        assert.equal(await countdown(page), '0');
        assert.equal(await described(page, 'ひょうか').innerText(), 'どうした？');
    }

    const ways = {
        'by key P': { pause: (page) => page.keyboard.press('p'), resume: (page) => page.keyboard.press('p') },
        'by Esc and the toggle': {
            pause: (page) => page.keyboard.press('Escape'),
            resume: (page) => toggle(page, 'ひとやすみ').click(),
        },
        'by hiding the page, until the child goes on': {
            pause: (page) => page.evaluate(() => window.showPage(false)),
            resume: async (page) => {
                await page.evaluate(() => window.showPage(true));
                await advance(page, 5_000);
                assert.equal(await problem(page, 1).isHidden(), true, 'showing the page again does not resume');
                await page.getByRole('button', { name: 'つづける', exact: true }).click();
            },
        },
    };
    for (const [name, how] of Object.entries(ways)) {
        test(name, async () => {
            const game = await openGame();
            await pauseAndGoOn(game.page, how);
            clean(game);
            await game.close();
        });
    }
});
