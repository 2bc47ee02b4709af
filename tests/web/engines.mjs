// The game's page in the three browser engines that Debian carries, behind
// one small interface: Chromium through playwright-core, Firefox ESR through
// puppeteer-core over WebDriver BiDi, WebKitGTK's MiniBrowser through
// WebKitWebDriver (WebDriver classic, spoken with fetch).
//
//   const engine = await launchEngine('webkit');
//   const page = await engine.open(url, { width, height });
//   await page.evaluate(fn, ...args); await page.click(selector); await page.press('p');
//   await page.centre(selector);  // where a click on it lands, or null
//   await page.title(); await page.screenshot(); await page.problems(); await page.close();
//   await engine.close();
//
// `width` × `height` is the viewport's size in CSS pixels. Functions given to
// evaluate run in the page from their source, so they use nothing of the
// test's scope; their arguments and results travel as JSON.
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { existsSync } from 'node:fs';
import { createServer } from 'node:net';
import assert from 'node:assert/strict';
import puppeteer from 'puppeteer-core';

import { launch as launchChromium } from './support.mjs';

export const ENGINES = ['chromium', 'firefox', 'webkit'];

const FIREFOX = '/usr/bin/firefox-esr';
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// The centre of the element `selector` names, in viewport pixels, or null
// when it is not there or something else is on top of it there. WebKit
// measures an element inside CSS `zoom` unzoomed: with `unzoomed` the
// rectangle is scaled by the zoom of the element and its ancestors.
function centreOf(selector, unzoomed) {
    const element = document.querySelector(selector);
    if (!element) return null;
    let zoom = 1;
    for (let e = element; unzoomed && e; e = e.parentElement) zoom *= parseFloat(getComputedStyle(e).zoom) || 1;
    const r = element.getBoundingClientRect();
    const [x, y] = [(r.left + r.width / 2) * zoom, (r.top + r.height / 2) * zoom];
    return element.contains(document.elementFromPoint(x, y)) ? { x, y } : null;
}

// The page's errors as WebDriver classic cannot report them: a listener put
// into each document once it has loaded (what goes wrong while loading is
// not seen).
function listenForErrors() {
    if (window.seenErrors) return;
    const seen = window.seenErrors = [];
    addEventListener('error', (e) => seen.push(`page error: ${e.message}`));
    addEventListener('unhandledrejection', (e) => seen.push(`page error: ${e.reason}`));
    addEventListener('securitypolicyviolation', (e) => seen.push(`console error: blocked ${e.blockedURI} (${e.violatedDirective})`));
    const error = console.error;
    console.error = (...args) => { seen.push(`console error: ${args.join(' ')}`); error.apply(console, args); };
}

const expression = (fn, args) => `(${fn})(...${JSON.stringify(args)})`;

// Chromium and Firefox: a fresh context per page, errors from the browser.
function recording(page) {
    const seen = [];
    page.on('console', (m) => { if (m.type() === 'error') seen.push(`console error: ${m.text()}`); });
    page.on('pageerror', (e) => seen.push(`page error: ${e.message}`));
    return {
        evaluate: (fn, ...args) => page.evaluate(expression(fn, args)),
        centre(selector) { return this.evaluate(centreOf, selector, false); },
        async click(selector) {
            const at = await this.centre(selector);
            assert.ok(at, `nothing to click at ${selector}`);
            await page.mouse.click(at.x, at.y);
        },
        press: (key) => page.keyboard.press(key),
        title: () => page.title(),
        screenshot: () => page.screenshot(),
        // The page printed on A4 (Chromium and Firefox; WebKit's driver
        // has no print command).
        pdf: () => page.pdf({ format: 'A4' }),
        goto: (url) => page.goto(url),
        reload: () => page.reload(),
        problems: async () => seen,
    };
}

async function chromium() {
    const browser = await launchChromium();
    return {
        async open(url, { width, height }) {
            const context = await browser.newContext({ viewport: { width, height }, deviceScaleFactor: 1 });
            const page = await context.newPage();
            const driven = { ...recording(page), close: () => context.close() };
            await page.goto(url);
            return driven;
        },
        close: () => browser.close(),
    };
}

async function firefox() {
    assert.ok(existsSync(FIREFOX), 'Debian\'s firefox-esr is not installed (tools/setup.sh --web installs it)');
    const browser = await puppeteer.launch({ browser: 'firefox', executablePath: FIREFOX, headless: true });
    return {
        async open(url, { width, height }) {
            const context = await browser.createBrowserContext();
            const page = await context.newPage();
            await page.setViewport({ width, height });
            const driven = { ...recording(page), close: () => context.close() };
            await page.goto(url);
            return driven;
        },
        close: () => browser.close(),
    };
}

const freePort = () => new Promise((done) => {
    const probe = createServer().listen(0, '127.0.0.1', () => { const { port } = probe.address(); probe.close(() => done(port)); });
});

// An X server of our own when there is none: MiniBrowser is a GTK window.
async function display() {
    if (process.env.DISPLAY) return { name: process.env.DISPLAY, stop() {} };
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1920x1200x24', '-nolisten', 'tcp'],
        { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
    const [number] = await Promise.race([once(xvfb.stdio[3], 'data'),
        once(xvfb, 'exit').then(() => assert.fail('Xvfb did not start'))]);
    return { name: `:${String(number).trim()}`, stop: () => xvfb.kill() };
}

// WebDriver's special keys for the keys the game knows by name.
const KEYS = { Escape: '\uE00C', Enter: '\uE007', Tab: '\uE004', Backspace: '\uE003' };

async function webkit() {
    assert.ok(existsSync(MINIBROWSER), 'WebKitGTK\'s MiniBrowser is not installed (tools/setup.sh --web installs it)');
    const screen = await display();
    const port = await freePort();
    const server = spawn('WebKitWebDriver', [`--port=${port}`], { env: { ...process.env, DISPLAY: screen.name }, stdio: 'ignore' });
    // Never left behind, even when the tests stop short.
    const stop = () => { server.kill(); screen.stop(); };
    process.on('exit', stop);
    const base = `http://127.0.0.1:${port}`;
    const call = async (method, path, body) => {
        const response = await fetch(base + path, { method, body: body && JSON.stringify(body) });
        const { value } = await response.json();
        if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
        return value;
    };
    for (let tries = 0; await fetch(`${base}/status`).then(() => false, () => true); ++tries) {
        assert.ok(tries < 100, 'WebKitWebDriver did not start');
        await new Promise((wait) => setTimeout(wait, 50));
    }
    return {
        async open(url, { width, height }) {
            const { sessionId } = await call('POST', '/session', { capabilities: { alwaysMatch: {
                'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] } } } });
            const session = (method, path, body) => call(method, `/session/${sessionId}${path}`, body);
            // The window's size is the viewport's and MiniBrowser's toolbar.
            const [toolbar] = await session('POST', '/execute/sync', { script: 'return [outerHeight - innerHeight]', args: [] });
            await session('POST', '/window/rect', { width, height: height + toolbar });
            const earlier = [];
            const actions = (actions) => session('POST', '/actions', { actions: [actions] });
            const load = async (path, body) => {
                earlier.push(...await driven.evaluate(() => window.seenErrors ?? []).catch(() => []));
                await session('POST', path, body);
                await driven.evaluate(listenForErrors);
            };
            const driven = {
                async evaluate(fn, ...args) {
                    const script = `const done = arguments[arguments.length - 1];
                        Promise.resolve().then(() => (${fn})(...Array.prototype.slice.call(arguments, 0, -1)))
                            .then((value) => done({ value }), (e) => done({ error: e + ' ' + (e && e.stack) }));`;
                    const { value, error } = await session('POST', '/execute/async', { script, args });
                    if (error) throw new Error(error);
                    return value;
                },
                centre(selector) { return this.evaluate(centreOf, selector, true); },
                async click(selector) {
                    const at = await this.centre(selector);
                    assert.ok(at, `nothing to click at ${selector}`);
                    await actions({ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [
                        { type: 'pointerMove', origin: 'viewport', x: Math.round(at.x), y: Math.round(at.y) },
                        { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }] });
                },
                press: (key) => actions({ type: 'key', id: 'keys', actions: [
                    { type: 'keyDown', value: KEYS[key] ?? key }, { type: 'keyUp', value: KEYS[key] ?? key }] }),
                title: () => session('GET', '/title'),
                // After two frames: WebKit's screenshot may show the frame
                // from before the last change.
                async screenshot() {
                    await this.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
                    return Buffer.from(await session('GET', '/screenshot'), 'base64');
                },
                goto: (to) => load('/url', { url: to }),
                reload: () => load('/refresh', {}),
                problems: async () => [...earlier, ...await driven.evaluate(() => window.seenErrors ?? [])],
                close: () => call('DELETE', `/session/${sessionId}`),
            };
            await driven.goto(url);
            return driven;
        },
        async close() {
            process.off('exit', stop);
            server.kill();
            await once(server, 'exit');
            screen.stop();
        },
    };
}

export const launchEngine = (name) => ({ chromium, firefox, webkit })[name]();

// Waits until `fn(...args)` in the page gives something true, and returns it.
export async function waitFor(page, fn, ...args) {
    for (const started = Date.now(); ; await new Promise((wait) => setTimeout(wait, 50))) {
        const value = await page.evaluate(fn, ...args);
        if (value) return value;
        assert.ok(Date.now() - started < 20_000, `waited 20 s for ${fn}`);
    }
}
