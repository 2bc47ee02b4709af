// What the browser tests share: Debian's Chromium driven by playwright-core,
// the built site served from 127.0.0.1, and the game's controls found as a
// player or a screen reader finds them: buttons by role and name, labels
// by their descriptions.
import { existsSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';

import { serve } from '../../tools/serve_web.mjs';

const here = dirname(fileURLToPath(import.meta.url));
export const SITE = process.env.PERMORO_SITE ?? join(here, '../../build/web/site');
export const SINGLE_FILE = process.env.PERMORO_SINGLE_FILE ?? join(here, '../../build/web/permoroplus.html');
export { serve };

export const OPENING = 'オープニング';
export const GAME = 'ペルモロプラスver.1.0';
export const HAND_OVER_MS = 1986;  // the opening's 26 ticks
export const VERTICAL_UNIT = 12.014995574951172 / 15;  // pixels per vertical unit of the game window
// Where the game window's geometries put a sum: pixels per vertical unit
// along its column (the upright ones reach the answers' panel with a sum's
// lower edge at a Top of 438, the low one with its top at 500).
const DESIGN_TOP = 16 / VERTICAL_UNIT;
export const GEOMETRY_UNIT = {
    design: VERTICAL_UNIT,
    portrait: (470 - 32 - 206) / (438 - DESIGN_TOP),
    tablet: (470 - 32 - 206) / (438 - DESIGN_TOP),
    low: (222 - 32) / (500 - DESIGN_TOP),
};

export function chromiumPath() {
    const found = ['/usr/lib/chromium/chromium', '/usr/bin/chromium'].find((p) => existsSync(p));
    assert.ok(found, 'Debian\'s chromium is not installed (tools/setup.sh installs it)');
    return found;
}

export function launch() {
    return chromium.launch({
        executablePath: chromiumPath(),
        // As root Chromium needs --no-sandbox; the rest keeps it off the network.
        args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
            '--disable-sync', '--no-first-run', '--disable-default-apps'],
    });
}

// A page of the game with everything it says and asks for recorded:
// `problems` lists console errors, failed loads and requests beyond
// `origin` (data: addresses are part of the page).
// `init` runs in the page before its own scripts; `safeArea` sets the
// insets of a notched screen ({ top, right, bottom, left } in CSS pixels).
export async function open(browser, url, { viewport = { width: 612, height: 491 }, hasTouch = false, origin, init, safeArea } = {}) {
    const context = await browser.newContext({ viewport, hasTouch, isMobile: hasTouch, deviceScaleFactor: 1 });
    if (init) await context.addInitScript(init);
    const page = await context.newPage();
    if (safeArea) {
        const cdp = await context.newCDPSession(page);
        await cdp.send('Emulation.setSafeAreaInsetsOverride', { insets: safeArea });
    }
    const problems = [];
    const requests = [];
    // A load the browser gives up because the page went elsewhere (a
    // favicon still on its way, say) is no fault of the page. Which
    // document asked is only known for sure once the test is done, so
    // such loads wait for `clean` to judge them.
    const aborted = [];
    let documents = 0;
    const asker = new WeakMap();
    page.on('framenavigated', (frame) => { if (frame === page.mainFrame()) documents += 1; });
    page.on('console', (m) => {
        if (m.type() === 'error' || m.type() === 'warning') problems.push(`console ${m.type()}: ${m.text().slice(0, 300)}`);
    });
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    page.on('requestfailed', (r) => {
        const failure = `failed: ${r.url()} ${r.failure()?.errorText}`;
        if (r.failure()?.errorText === 'net::ERR_ABORTED') aborted.push({ failure, document: asker.get(r) });
        else problems.push(failure);
    });
    page.on('request', (r) => {
        asker.set(r, documents);
        requests.push(r.url());
        const url = r.url();
        if (!url.startsWith('data:') && !url.startsWith(origin ?? new URL(url).origin)) {
            problems.push(`request to another origin: ${url}`);
        }
    });
    await page.goto(url);
    await page.waitForFunction((title) => document.title === title, OPENING);
    return { context, page, problems, requests, aborted, document: () => documents };
}

// What a test opened, closed after it even when it fails.
const opened = new Set();
export async function closeAll() {
    for (const close of opened) await close();
    opened.clear();
}

// The site served afresh for one test; the manual clock unless told.
export async function openSite(browser, options = {}) {
    const server = await serve(SITE);
    const shut = async () => { opened.delete(shut); await server.close(); };
    opened.add(shut);
    const game = await open(browser, server.address + (options.query ?? '?clock=manual'),
        { ...options, origin: server.address });
    const close = async () => { opened.delete(close); await game.context.close(); await shut(); };
    opened.add(close);
    return { ...game, server, close };
}

export const advance = (page, ms) => page.evaluate((t) => Module.advanceClock(t), ms);

export async function handOver(page) {
    await advance(page, HAND_OVER_MS);
    assert.equal(await page.title(), GAME);
    await page.evaluate(() => document.fonts.ready);
}

const digits = '０１２３';
export const course = (page, caption) => page.getByRole('button', { name: caption, exact: true });
export const described = (page, description) => page.locator(`[aria-description="${description}"]`);
export const problem = (page, n) => described(page, `もんだい${digits[n]}`);
export const answers = (page, n) => page.getByRole('button').and(described(page, `こたえ${digits[n]}`));
export const score = (page) => described(page, '得点').innerText();

// The result of a sum as the page shows it: "7 + 5", "9 - 3", "7 × 8", "56 ÷ 7".
export function resultOf(text) {
    const [, a, sign, b] = text.match(/^(\d+) ([-+×÷]) (\d+)$/) ?? assert.fail(`not a sum: "${text}"`);
    return { '+': Number(a) + Number(b), '-': Number(a) - Number(b), '×': Number(a) * Number(b), '÷': Number(a) / Number(b) }[sign];
}

// The answer button of problem n that carries (or, with right = false,
// does not carry) the result of the sum the page shows, and its row 1 to 3.
export async function answerButton(page, n, right = true) {
    const value = String(resultOf(await problem(page, n).innerText()));
    const column = await answers(page, n).evaluateAll((all) => all.map((b) => [b.getBoundingClientRect().top, b.textContent]));
    const rows = column.map(([top, caption], i) => ({ top, caption, i })).sort((x, y) => x.top - y.top);
    const row = rows.findIndex((r) => (r.caption === value) === right);
    return row < 0 ? null : { button: answers(page, n).nth(rows[row].i), row: row + 1 };
}

// The logic's Top of sum n, read back from where the page draws it: its
// box's top in the window, plus the distance it is drawn from there.
export async function unitTop(page, n) {
    const { y, boxTop, zoom, geometry } = await problem(page, n).evaluate((e) => {
        const window = e.closest('section.window');
        const outer = window.getBoundingClientRect();
        const zoom = outer.width / parseFloat(window.style.width);
        return { y: (e.getBoundingClientRect().top - outer.top) / zoom, boxTop: parseFloat(e.style.top), zoom,
            geometry: window.dataset.geometry ?? 'design' };
    });
    return DESIGN_TOP + (y - boxTop) / GEOMETRY_UNIT[geometry];
}
// How many of the logic's units one CSS pixel of the screen is.
unitTop.pixel = (page) => page.locator('section.window').evaluate((w, units) =>
    parseFloat(w.style.width) / w.getBoundingClientRect().width / units[w.dataset.geometry ?? 'design'], GEOMETRY_UNIT);

export function clean(game) {
    const ownAborts = (game.aborted ?? []).filter((a) => a.document === game.document()).map((a) => a.failure);
    assert.deepEqual([...game.problems, ...ownAborts], [], 'the page reported problems');
}

// Runs `analyse(png, ...args)` on the PNG pictures given, in a blank page
// of its own (the game's pages allow no data: addresses); `png` is a list
// of { width, height, data } images.
export async function withPictures(browser, pictures, analyse, ...args) {
    const context = await browser.newContext();
    const page = await context.newPage();
    try {
        return await page.evaluate(async ([encoded, source, rest]) => {
            const images = [];
            for (const png of encoded) {
                const blob = await (await fetch(`data:image/png;base64,${png}`)).blob();
                const bitmap = await createImageBitmap(blob);
                const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
                const context = canvas.getContext('2d');
                context.drawImage(bitmap, 0, 0);
                images.push(context.getImageData(0, 0, bitmap.width, bitmap.height));
            }
            return (0, eval)(`(${source})`)(images, ...rest);
        }, [pictures.map((p) => p.toString('base64')), analyse.toString(), args]);
    } finally {
        await context.close();
    }
}
