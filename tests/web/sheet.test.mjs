// Printed worksheets from the teacher's page, as Chromium prints them to
// PDF and poppler reads them back: each kind of sheet one A4 page and its
// answers page, every sum one of its course's, the answers right, the
// game's link in the corner's QR code (zbarimg); the same number the same
// sums, ひとりずつ ちがう a number and sums of its own for each copy; and
// the link's own printout naming its courses, time and pace.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { SITE, launch, serve } from './support.mjs';

const LINK = 'course=times:7&course=div:2-9:rem&course=add:1-9:carry&course=sub:2-18:borrow&course=make:10&course=three:1-9&time=90&pace=0.5';
// Whether a sum read off a sheet is one its course poses, told apart by its
// shape: [a, sign, b, sign, c] and its answer [value, remainder].
const within = (v, lo, hi) => v >= lo && v <= hi;
const COURSES = {
    '×': ([a, , b]) => a === 7 && within(b, 1, 9),
    '÷': ([a, , b], [q, r]) => within(b, 2, 9) && within(q, 1, 9) && within(r, 1, b - 1) && a === b * q + r,
    '+': ([a, , b]) => within(a, 1, 9) && within(b, 1, 9) && a + b >= 10,
    '−': ([a, , b]) => within(a, 2, 18) && within(b, 2, 18) && a >= b && a % 10 < b % 10,
    'は': ([a, , b]) => a === 10 && within(b, 1, 9),
    three: ([a, s, b, t, c]) => [a, b, c].every((v) => within(v, 1, 9)) && (s === '+' ? a + b : a - b) >= 0,
};
const apply = (a, sign, b) => ({ '+': a + b, '−': a - b, '×': a * b, 'は': a - b })[sign];
function answerOf([a, s, b, t, c]) {
    if (s === '÷') return [Math.floor(a / b), a % b];
    return [t ? apply(apply(a, s, b), t, c) : apply(a, s, b), 0];
}

let browser, server, folder;
before(async () => {
    browser = await launch();
    server = await serve(SITE);
    folder = mkdtempSync(join(tmpdir(), 'permoro-sheet-'));
});
after(async () => {
    await browser?.close();
    await server?.close();
    rmSync(folder, { recursive: true, force: true });
});

const run = (tool, ...args) => execFileSync(tool, args, { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });

// The teacher's page with the link's form, its print dialog replaced by a
// count of the times it was asked for.
async function teacherPage() {
    const context = await browser.newContext({ viewport: { width: 900, height: 1000 } });
    await context.addInitScript(() => { window.print = () => { window.printed = (window.printed ?? 0) + 1; }; });
    const page = await context.newPage();
    const problems = [];
    const asked = [];
    page.on('pageerror', (e) => problems.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    page.on('request', (r) => asked.push(new URL(r.url()).pathname.slice(1)));
    await page.goto(`${server.address}teacher.html?${LINK}`);
    await page.waitForFunction(() => document.getElementById('link').value !== '');
    return { page, problems, asked, close: () => context.close() };
}

// The sheets' form, fetched when first asked for, with the link's courses.
async function openSheets(page) {
    await page.click('#sheet-open');
    await page.waitForFunction(() => document.querySelectorAll('#sheet-course option').length > 1);
}

let printed = 0;
// The sheets the form asks for, printed on A4: each page's text.
async function print(page, { course = '0', kind = '20', number = '123', copies = 0 } = {}) {
    await page.selectOption('#sheet-course', course);
    await page.selectOption('#sheet-kind', kind);
    await page.fill('#sheet-number', number);
    await page.setChecked('#sheet-each', copies > 0);
    if (copies) await page.fill('#sheet-copies', String(copies));
    const before = await page.evaluate(() => window.printed ?? 0);
    await page.click('#sheet-print');
    await page.waitForFunction((n) => (window.printed ?? 0) > n, before);
    const file = join(folder, `sheet${++printed}.pdf`);
    writeFileSync(file, await page.pdf({ format: 'A4' }));
    const info = run('pdfinfo', file);
    const pages = Number(info.match(/^Pages:\s+(\d+)/m)[1]);
    assert.match(info, /^Page size:\s+59\d(\.\d+)? x 84\d(\.\d+)? pts \(A4\)/m);
    const texts = [];
    for (let p = 1; p <= pages; ++p) texts.push(run('pdftotext', '-f', String(p), '-l', String(p), '-layout', file, '-'));
    return { file, texts };
}

// The sums of a list page by their numbers: [numbers, answer].
function sumsOf(text) {
    const sums = new Map();
    const shape = /\((\d+)\)\s+(?:(\d+) ([+−×÷]) (\d+)(?: ([+−]) (\d+))? =|(\d+)(は) (\d+)と)\s*(\d*)(?:\s*あまり\s*(\d*))?/g;
    for (const m of text.matchAll(shape)) {
        const numbers = m[8] ? [Number(m[7]), 'は', Number(m[9])] : [Number(m[2]), m[3], Number(m[4]), m[5], m[6] && Number(m[6])];
        sums.set(Number(m[1]), { numbers, answer: m[10] === '' ? null : [Number(m[10]), Number(m[11] ?? 0)] });
    }
    return sums;
}

// A list sheet's two pages: `count` sums, each its course's, blank on the
// first page and answered right on the second.
function checkList(texts, count, number) {
    const [sheet, answers] = texts.map(sumsOf);
    assert.equal(sheet.size, count, texts[0]);
    for (const [k, { numbers, answer }] of sheet) {
        const text = numbers.join(' ');
        assert.equal(answer, null, text);
        const right = answerOf(numbers);
        assert.ok(COURSES[numbers[3] ? 'three' : numbers[1]](numbers, right), text);
        assert.deepEqual(answers.get(k), { numbers, answer: right }, text);
    }
    for (const [k, text] of texts.entries()) {
        assert.ok(text.includes(`No.${number}`) && text.includes('なまえ') && text.includes('ゲームでも れんしゅう'), text);
        assert.equal(text.includes('こたえ'), k === 1);
        assert.ok(!text.includes('子どもに配るリンク'), 'nothing of the page but the sheet');
    }
    return [...sheet.values()].map(({ numbers }) => numbers.join(' '));
}

// A 百ます's two pages: its sign, the numbers along the top and down the
// left, every cell its course's, answered right on the second page.
function checkGrid(texts, sign, fits = COURSES[sign]) {
    const [blank, filled] = texts.map((text) => {
        const lines = text.split('\n').map((line) => line.trim().split(/\s+/));
        const head = lines.findIndex((cells) => cells[0] === sign && cells.length === 11);
        assert.ok(head >= 0, text);
        return [lines[head], ...lines.slice(head + 1).filter((cells) => /^\d+$/.test(cells[0])).slice(0, 10)];
    });
    const top = blank[0].slice(1).map(Number);
    const left = blank.slice(1).map((cells) => Number(cells[0]));
    assert.equal(left.length, 10, texts[0]);
    assert.ok(blank.slice(1).every((cells) => cells.length === 1), 'the first page\'s squares are blank');
    assert.deepEqual(filled[0], blank[0]);
    filled.slice(1).forEach((cells, r) => {
        assert.equal(Number(cells[0]), left[r]);
        top.forEach((b, c) => {
            const numbers = [left[r], sign, b];
            assert.ok(fits(numbers), numbers.join(' '));
            assert.equal(Number(cells[c + 1]), apply(left[r], sign, b), numbers.join(' '));
        });
    });
    assert.ok(texts.every((text) => text.includes('タイム')));
}

describe('printed worksheets', () => {
    test('each kind of sheet is one A4 page and its answers, every sum its course\'s, the game\'s link in its code', async () => {
        const { page, problems, asked, close } = await teacherPage();
        assert.ok(!asked.some((file) => file.startsWith('teacher_sheet')), 'nothing of the sheets before one is asked for');
        await openSheets(page);
        assert.deepEqual(await page.locator('#sheet-course option').allInnerTexts(),
            ['ぜんぶ まぜて', '7のだん', 'あまり2〜9', 'くりあがり', 'くりさがり', '10はいくつ', '3つのかず']);

        const mixed = await print(page, { kind: '50' });
        assert.equal(mixed.texts.length, 2);
        const sums = checkList(mixed.texts, 50, 123);
        for (const sign of ['×', '÷', '+', '−', 'は']) assert.ok(sums.some((sum) => sum.split(' ')[1] === sign), sign);
        assert.match(mixed.texts[0], /まぜて（7のだん・あまり2〜9/);
        // The code in the corner, as a phone's camera reads the paper.
        run('pdftoppm', '-png', '-r', '150', '-f', '1', '-l', '1', '-singlefile', mixed.file, join(folder, 'page'));
        assert.equal(run('zbarimg', '--raw', '-q', join(folder, 'page.png')).trim(), `${server.address}?${LINK}`);

        for (const [course, count] of [['1', 20], ['2', 30], ['3', 20], ['4', 30], ['5', 20], ['6', 50]]) {
            const { texts } = await print(page, { course, kind: String(count), number: '7' });
            assert.equal(texts.length, 2, course);
            checkList(texts, count, 7);
        }
        for (const [course, sign] of [['4', '−']]) {
            const { texts } = await print(page, { course, kind: 'grid' });
            assert.equal(texts.length, 2, course);
            checkGrid(texts, sign);
        }
        // One だん makes no 百ます (each column would be one sum): refused,
        // and the 九九 of every だん offered, which prints.
        const refused = await page.evaluate(() => window.printed);
        await page.selectOption('#sheet-course', '1');
        await page.click('#sheet-print');
        const instead = page.locator('#sheet-said button');
        await instead.waitFor();
        assert.match(await page.locator('#sheet-said').innerText(), /5つ以上の だん/);
        assert.equal(await page.evaluate(() => window.printed), refused);
        await instead.click();
        await page.waitForFunction((n) => window.printed > n, refused);
        const file = join(folder, `sheet${++printed}.pdf`);
        writeFileSync(file, await page.pdf({ format: 'A4' }));
        const texts = [1, 2].map((p) => run('pdftotext', '-f', String(p), '-l', String(p), '-layout', file, '-'));
        checkGrid(texts, '×', ([a, , b]) => within(a, 1, 9) && within(b, 1, 9));
        run('pdftoppm', '-png', '-r', '150', '-f', '1', '-l', '1', '-singlefile', file, join(folder, 'grid'));
        assert.equal(run('zbarimg', '--raw', '-q', join(folder, 'grid.png')).trim(), `${server.address}?course=times:1-9`);
        assert.ok(['teacher_sheet_page.js', 'teacher_sheet.js', 'teacher_sheet.wasm', 'teacher_sheet.css'].every((file) => asked.includes(file)));

        // The form's courses follow the link as it changes.
        await page.click('#courses li:nth-child(6) .remove');
        await page.waitForFunction(() => document.querySelectorAll('#sheet-course option').length === 6);

        // A 百ます of a course that has none, of one whose numbers are too few
        // (carrying from 11: four at most on a side), or of all mixed: said,
        // not printed.
        for (const course of ['0', '2', '3']) {
            const before = await page.evaluate(() => window.printed);
            await page.selectOption('#sheet-course', course);
            await page.selectOption('#sheet-kind', 'grid');
            await page.click('#sheet-print');
            await page.waitForFunction(() => document.getElementById('sheet-said').textContent.startsWith('！'));
            assert.match(await page.locator('#sheet-said').innerText(), /百ます(は|には)/);
            assert.equal(await page.evaluate(() => window.printed), before);
        }
        assert.deepEqual(problems, []);
        await close();
    });

    test('the same number gives the same sums; ひとりずつ ちがう gives each copy its own number, sums and answers', async () => {
        const { page, problems, close } = await teacherPage();
        await openSheets(page);
        const first = await print(page, { number: '500' });
        const again = await print(page, { number: '500' });
        assert.deepEqual(again.texts, first.texts);

        const copies = await print(page, { number: '500', copies: 3 });
        assert.equal(copies.texts.length, 6, 'each copy one page and its answers');
        const lists = [0, 1, 2].map((k) => checkList(copies.texts.slice(2 * k, 2 * k + 2), 20, 500 + k));
        assert.equal(copies.texts[0], first.texts[0]);
        assert.notDeepEqual(lists[1], lists[0]);
        assert.notDeepEqual(lists[2], lists[1]);
        assert.equal(await page.locator('#sheet-said').innerText(), 'プリント No.500〜502 の 3まいと こたえを 印刷します。');

        // A lost sheet, its number typed again.
        const lost = await print(page, { number: '501' });
        assert.deepEqual(lost.texts, copies.texts.slice(2, 4));
        assert.deepEqual(problems, []);
        await close();
    });

    test('the link\'s own printout names its courses, time and pace, the link whole', async () => {
        const { page, problems, close } = await teacherPage();
        const file = join(folder, 'link.pdf');
        writeFileSync(file, await page.pdf({ format: 'A4' }));
        const text = run('pdftotext', '-layout', file, '-');
        for (const name of ['7のだん', 'あまり2〜9', 'くりあがり', 'くりさがり', '10はいくつ', '3つのかず', '1回の時間 90びょう', 'ゆっくり（0.5）'])
            assert.ok(text.includes(name), name);
        assert.ok(text.replace(/\s+/g, '').includes(`${server.address}?${LINK}`), 'the link, wrapped rather than cut');
        assert.ok(!text.includes('プリント No.'));
        assert.deepEqual(problems, []);
        await close();
    });
});
