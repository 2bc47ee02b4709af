// The teacher's page: its kinds of course are the game's, every option it
// offers reaches the link as the game writes it, the link's QR code reads
// back as the link (Debian's zbarimg), the link opens the game with those
// courses, and a link opened in the page fills its form again; a row the
// game cannot play holds the link back, and the ready-made units fill the
// form as their links would; a result card typed from a child's game joins
// the class's table, and the sums the class missed are counted in children
// and printed with it.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { SITE, advance, clean, closeAll, handOver, launch, open, openSite, serve } from './support.mjs';

let browser;
// The teacher's pages still open, closed after the tests even when one fails.
const pages = new Set();
before(async () => { browser = await launch(); });
after(async () => {
    for (const page of pages) await page.close();
    await closeAll();
    await browser.close();
});

const row = (page, k) => page.locator(`#courses li:nth-child(${k})`);
// Row k set to a kind, by the name the teacher reads; a row is added when
// there are fewer.
async function choose(page, k, kind) {
    if (await page.locator('#courses li').count() < k) await page.click('#add-course');
    await row(page, k).locator('.kind').selectOption({ label: kind });
}
const tick = async (page, k, tables) => {
    for (const d of tables) await row(page, k).locator(`.tables input[value="${d}"]`).check();
};
const option = (page, k, label) => row(page, k).locator('.option').selectOption({ label });

async function teacherPage(query = '') {
    const server = await serve(SITE);
    const context = await browser.newContext({ viewport: { width: 900, height: 1000 } });
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (e) => problems.push(e.message));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    const opened = { server, context, page, problems, async close() {
        pages.delete(opened);
        await context.close();
        await server.close();
    } };
    pages.add(opened);
    await page.goto(`${server.address}teacher.html${query}`);
    await page.waitForFunction(() => document.getElementById('link').value !== '');
    return opened;
}

describe('the teacher\'s page', () => {
    test('every option reaches the link, the QR code reads back as it, and it opens the game with those courses', async () => {
        const { server, page, problems, close } = await teacherPage();
        assert.equal(await page.inputValue('#link'), server.address, 'no option: the animals\' game');
        await choose(page, 1, 'かけざん（九九）');
        await tick(page, 1, [2, 5]);
        await choose(page, 2, 'わりざん');
        await tick(page, 2, [7]);
        await choose(page, 3, 'たしざん');
        await row(page, 3).locator('.from').fill('10');
        await row(page, 3).locator('.to').fill('99');
        await option(page, 3, 'くりあがり あり だけ');
        await choose(page, 4, 'ひきざん');
        await row(page, 4).locator('.from').fill('10');
        await row(page, 4).locator('.to').fill('99');
        await option(page, 4, 'くりさがり あり だけ');
        await choose(page, 5, 'たしざん');
        await option(page, 5, 'くりあがり なし だけ');
        await choose(page, 6, 'ひきざん');
        await option(page, 6, 'くりさがり なし だけ');
        assert.ok(await page.locator('#add-course').isDisabled(), 'six courses at most');
        await page.fill('#time', '120');
        await page.selectOption('#pace', { label: 'ゆっくり（0.5）' });
        await page.check('#sound');
        await page.check('#again-off');
        const query = 'course=times:2,5&course=div:7&course=add:10-99:carry&course=sub:10-99:borrow'
            + '&course=add:1-9:nocarry&course=sub:1-9:noborrow&time=120&pace=0.5&sound=off&again=off';
        const link = `${server.address}?${query}`;
        assert.equal(await page.inputValue('#link'), link);
        assert.equal(await page.getAttribute('#try', 'href'), link);
        assert.deepEqual(await page.locator('#names b').allInnerTexts(),
            ['2と5のだん', '7でわる', 'くりあがり', 'くりさがり', 'たしざん', 'ひきざん']);
        assert.ok(await page.locator('#notice').isHidden());

        // The QR code, as a camera sees the screen.
        const folder = mkdtempSync(join(tmpdir(), 'permoro-qr-'));
        try {
            writeFileSync(join(folder, 'qr.png'), await page.locator('#qr').screenshot());
            assert.equal(execFileSync('zbarimg', ['--raw', '-q', join(folder, 'qr.png')], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).trim(), link);
        } finally {
            rmSync(folder, { recursive: true, force: true });
        }

        // The link opens the game with the teacher's courses.
        const game = await open(browser, `${link}&clock=manual`, { origin: server.address });
        await handOver(game.page);
        assert.deepEqual(await game.page.locator('button[aria-label]').evaluateAll((all) => all
            .filter((b) => b.getAttribute('aria-description') === 'コース').map((b) => b.textContent)),
        ['2と5のだん', '7でわる', 'くりあがり', 'くりさがり', 'たしざん', 'ひきざん']);
        assert.equal(await game.page.getByRole('timer').innerText(), '120');
        assert.equal(await game.page.getByRole('button', { name: 'おと' }).getAttribute('aria-pressed'), 'false');
        clean(game);
        await game.context.close();

        // The same link opened in the teacher's page fills the form again.
        const again = await teacherPage(`?${query}`);
        assert.equal(await again.page.inputValue('#link'), `${again.server.address}?${query}`);
        assert.equal(await again.page.locator('#courses li').count(), 6);
        assert.equal(await row(again.page, 3).locator('.from').inputValue(), '10');
        assert.ok(await again.page.isChecked('#again-off'));
        await again.close();

        assert.deepEqual(problems, []);
        await close();
    });

    test('the kinds are the game\'s: each row asks for what its kind needs, and gives the link the game writes', async () => {
        const { server, page, problems, close } = await teacherPage();
        const kinds = await row(page, 1).locator('.kind option').allInnerTexts();
        assert.equal(kinds[0], '（なし）');
        for (const kind of ['かけざん（九九）', 'わりざん', 'いくつといくつ', '3つのかず']) assert.ok(kinds.includes(kind), kinds.join());
        const shown = async (k) => Object.fromEntries(await Promise.all(['tables', 'range', 'option']
            .map(async (part) => [part, await row(page, k).locator(`.${part}`).isVisible()])));

        await choose(page, 1, 'いくつといくつ');
        assert.deepEqual(await shown(1), { tables: false, range: true, option: false }, 'no options: no choice of them');
        assert.deepEqual([await row(page, 1).locator('.from').getAttribute('min'), await row(page, 1).locator('.to').getAttribute('max')],
            ['2', '20']);
        await row(page, 1).locator('.from').fill('5');
        await row(page, 1).locator('.to').fill('10');
        await choose(page, 2, '3つのかず');
        assert.deepEqual(await shown(2), { tables: false, range: true, option: true });
        assert.deepEqual(await row(page, 2).locator('.option option').allInnerTexts(),
            ['たしざんと ひきざん', 'たしざん だけ', 'ひきざん だけ', 'たしざんと ひきざん'], 'what no word means, then the words');
        await option(page, 2, 'たしざん だけ');
        await choose(page, 3, 'わりざん');
        assert.deepEqual(await shown(3), { tables: true, range: false, option: true });
        await tick(page, 3, [2, 3, 4, 5, 6, 7, 8, 9]);
        await option(page, 3, 'あまりあり だけ');
        await choose(page, 4, 'かけざん（九九）');
        await tick(page, 4, [7]);
        await option(page, 4, 'じゅんに（×1から×9）');
        assert.equal(await page.inputValue('#link'),
            `${server.address}?course=make:5-10&course=three:1-9:add&course=div:2-9:rem&course=times:7:up`);
        assert.deepEqual(await page.locator('#names b').allInnerTexts(), ['5〜10は？', '3つたす', 'あまり2〜9', '7じゅん']);
        assert.ok(await page.locator('#notice').isHidden());

        // A kind changed keeps the numbers its bounds allow.
        await choose(page, 2, 'いくつといくつ');
        assert.equal(await page.inputValue('#link'),
            `${server.address}?course=make:5-10&course=make:2-9&course=div:2-9:rem&course=times:7:up`);
        assert.deepEqual(problems, []);
        await close();
    });

    test('a link opened in the page fills the form, and the form writes the same link back, its tables in their order', async () => {
        const query = 'course=times:5,2:up&course=div:2-9:rem&again=off';
        const { server, page, problems, close } = await teacherPage(`?${query}`);
        assert.equal(await page.inputValue('#link'), `${server.address}?${query}`);
        assert.equal(await page.locator('#courses li').count(), 2);
        const ticked = (k) => row(page, k).locator('.tables input:checked').evaluateAll((all) => all.map((box) => box.value));
        const chosen = (k, part) => row(page, k).locator(`.${part} option:checked`).innerText();
        assert.deepEqual([await chosen(1, 'kind'), await ticked(1), await chosen(1, 'option')],
            ['かけざん（九九）', ['2', '5'], 'じゅんに（×1から×9）']);
        assert.deepEqual([await chosen(2, 'kind'), await ticked(2), await chosen(2, 'option')],
            ['わりざん', ['2', '3', '4', '5', '6', '7', '8', '9'], 'あまりあり だけ']);
        assert.ok(await page.isChecked('#again-off'));
        assert.ok(await page.locator('#notice').isHidden());

        // The 5 before the 2 while both are ticked; a table ticked anew comes after.
        const first = () => page.inputValue('#link').then((link) => new URL(link).searchParams.getAll('course')[0]);
        await row(page, 1).locator('.tables input[value="2"]').uncheck();
        assert.equal(await first(), 'times:5:up');
        await tick(page, 1, [2]);
        assert.equal(await first(), 'times:5,2:up');
        await tick(page, 1, [1]);
        assert.equal(await first(), 'times:5,2,1:up');
        await page.uncheck('#again-off');
        assert.equal(await page.inputValue('#link'), `${server.address}?course=times:5,2,1:up&course=div:2-9:rem`);
        assert.deepEqual(problems, []);
        await close();

        // What an opened link gives is kept; what it cannot give is named
        // until the teacher changes the form.
        const broken = await teacherPage('?course=times:7&course=%3Cb%3Ex&time=5');
        assert.equal(await broken.page.inputValue('#link'), `${broken.server.address}?course=times:7`);
        const notice = await broken.page.locator('#notice').innerText();
        assert.match(notice, /course=%3Cb%3Ex（.*time=5（/);
        assert.equal(await broken.page.locator('#notice b').count(), 0);
        await tick(broken.page, 1, [8]);
        assert.ok(await broken.page.locator('#notice').isHidden());
        assert.deepEqual(broken.problems, []);
        await broken.close();
    });

    test('a row that gives no sums is marked in place with its mending, and nothing is handed out until it is mended or gone', async () => {
        const { server, page, problems, close } = await teacherPage();
        // What waits while a row is left out, and what the row says to a
        // screen reader: its controls marked invalid and described by its line.
        const handedOut = async () => ({
            link: await page.inputValue('#link'),
            copy: await page.locator('#copy').isEnabled(),
            try: await page.getAttribute('#try', 'href'),
            qr: await page.locator('#qr').isVisible(),
            wait: await page.locator('#wait').isVisible(),
        });
        const waiting = { link: '', copy: false, try: null, qr: false, wait: true };
        const given = (query) => ({ link: `${server.address}?${query}`, copy: true, try: `${server.address}?${query}`, qr: true, wait: false });
        const said = (k) => row(page, k).evaluate((li) => [...li.querySelectorAll('select, input')]
            .filter((control) => control.checkVisibility())
            .map((control) => `${control.getAttribute('aria-invalid')}:${document.getElementById(control.getAttribute('aria-describedby'))?.textContent}`));

        // A times row with every table unticked gives no sums.
        await choose(page, 1, 'かけざん（九九）');
        await tick(page, 1, [7]);
        assert.deepEqual(await handedOut(), given('course=times:7'));
        await row(page, 1).locator('.tables input[value="7"]').uncheck();
        assert.deepEqual(await handedOut(), waiting);
        assert.match(await row(page, 1).locator('.why').innerText(), /だんを 1つ以上 えらびます/);
        assert.ok((await said(1)).every((line) => /^true:.*だんを 1つ以上/.test(line)), (await said(1)).join());
        await tick(page, 1, [7]);
        assert.ok(await row(page, 1).locator('.why').isHidden());
        assert.deepEqual(await said(1), Array(11).fill('null:undefined'), 'the kind, nine tables and the order');

        // No sum of 1 to 9 takes 1 to 9 and borrows: the row says which
        // numbers would, and they do.
        await choose(page, 2, 'ひきざん');
        await option(page, 2, 'くりさがり あり だけ');
        assert.deepEqual(await handedOut(), waiting);
        assert.ok(await page.locator('#notice').isHidden(), 'the row says it; the notice does not say it again');
        assert.ok(await row(page, 1).locator('.why').isHidden(), 'only the row left out is marked');
        const line = await row(page, 2).locator('.why').innerText();
        assert.ok((await said(2)).every((text) => text === `true:${line}`), (await said(2)).join());
        const [, from, to] = line.match(/数を (\d+)〜(\d+) にします/) ?? assert.fail(line);
        await row(page, 2).locator('.from').fill(from);
        await row(page, 2).locator('.to').fill(to);
        assert.deepEqual(await handedOut(), given(`course=times:7&course=sub:${from}-${to}:borrow`));
        assert.deepEqual(await page.locator('#names b').allInnerTexts(), ['7のだん', 'くりさがり']);

        // Remainders never come of dividing by 1; the row gives its link
        // again once the 1 is gone, or once the row itself is.
        await choose(page, 3, 'わりざん');
        await tick(page, 3, [1, 2]);
        await option(page, 3, 'あまりあり だけ');
        assert.deepEqual(await handedOut(), waiting);
        assert.match(await row(page, 3).locator('.why').innerText(), /1の だんを はずします/);
        await row(page, 3).locator('.tables input[value="1"]').uncheck();
        assert.deepEqual(await handedOut(), given(`course=times:7&course=sub:${from}-${to}:borrow&course=div:2:rem`));
        await row(page, 2).locator('.to').fill('99');
        await row(page, 2).locator('.from').fill('');
        assert.deepEqual(await handedOut(), waiting, 'a number box left empty');
        await row(page, 2).locator('.remove').click();
        assert.deepEqual(await handedOut(), given('course=times:7&course=div:2:rem'));
        assert.deepEqual(problems, []);
        await close();
    });

    test('each ready-made unit adds its courses to the form in one click; two units make one lesson', async () => {
        const { server, page, problems, close } = await teacherPage('?course=add:1-9:carry&time=90');
        // The units as the site's build wrote them from the program's own list.
        const units = await page.locator('#units button[data-link]').evaluateAll((all) => all.map((button) =>
            ({ grade: button.closest('[role="group"]').getAttribute('aria-label'), name: button.textContent, link: button.dataset.link })));
        assert.ok(units.length >= 6, JSON.stringify(units));
        for (let d = 1; d <= 9; ++d) assert.ok(units.some((unit) => unit.link === `course=times:${d}:up&course=times:${d}:down&course=times:${d}`), `${d}の だん`);
        const afresh = () => page.click('#units-afresh');
        for (const unit of units) {
            await afresh();
            await page.getByRole('group', { name: unit.grade }).getByRole('button', { name: unit.name, exact: true }).click();
            assert.equal(await page.inputValue('#link'), `${server.address}?${unit.link}&time=90`, unit.name);
            const names = await page.locator('#names b').allInnerTexts();
            assert.equal(names.length, new URLSearchParams(unit.link).getAll('course').length, unit.name);
            assert.equal(new Set(names).size, names.length, `${unit.name}: ${names.join()}`);
            assert.ok(await page.locator('#notice').isHidden(), unit.name);
            assert.equal(await page.locator('#time').inputValue(), '90', 'a unit keeps the settings');
            assert.ok((await page.locator('#unit-done').innerText()).includes(unit.name));
        }
        // Two units of grade 1 make one lesson, up to six courses.
        await afresh();
        await page.getByRole('button', { name: 'いくつと いくつ', exact: true }).click();
        await page.getByRole('button', { name: '3つの かずの けいさん', exact: true }).click();
        assert.equal(await page.inputValue('#link'),
            `${server.address}?course=make:5-9&course=make:10&course=three:1-9:add&course=three:1-9:sub&course=three:1-9&time=90`);
        await page.getByRole('button', { name: 'たしざん（くりあがり なし）', exact: true }).click();
        assert.equal(await page.locator('#courses li').count(), 6);
        assert.ok(await page.locator('#add-course').isDisabled());
        await page.getByRole('button', { name: 'くりあがりの ある たしざん', exact: true }).click();
        assert.match(await page.locator('#unit-done').innerText(), /0つ 入れました/);
        // Each name is said once: the button's, then the rest of the whole name.
        assert.ok((await page.locator('#names li').allInnerTexts()).every((line) => {
            const short = line.slice(0, line.indexOf('（'));
            return !line.slice(line.indexOf('）') + 1).startsWith(short);
        }));
        // A unit is a start: the form goes on from it.
        await afresh();
        await page.getByRole('button', { name: units[0].name, exact: true }).click();
        await page.click('#add-course');
        assert.equal(await page.locator('#unit-done').innerText(), '');
        assert.deepEqual(problems, []);
        await close();
    });

    test('a range says it bounds every number, the page fits a phone, says when its code opens nothing elsewhere, and stays small', async () => {
        const { server, page, problems, close } = await teacherPage('?course=add:1-9&course=three:0-20:sub&course=make:10&course=times:7');
        assert.deepEqual(await page.locator('#courses .range').evaluateAll((all) => all.map((range) => range.checkVisibility() && range.innerText.replace(/\s+/g, ''))),
            ['2つの数とも〜', '3つの数とも〜', 'わける数〜', false]);

        // Served from 127.0.0.1: a tablet reading the code reaches nothing.
        assert.ok(await page.locator('#local').isVisible());
        assert.match(await page.locator('#local').innerText(), new RegExp(`${new URL(server.address).host}.*タブレット`));
        const elsewhere = await browser.newContext();
        await elsewhere.route('http://school.example/**', (route) => route.continue({ url: route.request().url().replace('http://school.example/', server.address) }));
        const published = await elsewhere.newPage();
        await published.goto('http://school.example/teacher.html?course=times:7');
        await published.waitForFunction(() => document.getElementById('link').value !== '');
        assert.equal(await published.inputValue('#link'), 'http://school.example/?course=times:7');
        assert.ok(await published.locator('#local').isHidden());
        await elsewhere.close();

        // A phone held upright, the form at its longest: no sideways scrolling.
        for (const width of [390, 360]) {
            await page.setViewportSize({ width, height: 844 });
            for (const k of [5, 6]) await choose(page, k, 'ひきざん');
            await option(page, 6, 'くりさがり あり だけ');
            assert.ok(await row(page, 6).locator('.why').isVisible());
            assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth <= innerWidth, innerWidth]), [true, width]);
            await option(page, 6, 'どちらも');
            assert.deepEqual(await page.evaluate(() => [document.documentElement.scrollWidth <= innerWidth, innerWidth]), [true, width]);
        }

        let gzipped = 0;
        for (const file of ['teacher.html', 'teacher.css', 'teacher.js', 'teacher_local.js', 'link.js', 'loader.js', 'qr.js', 'qrcode_module.js', 'teacher_core.js', 'teacher_core.wasm'])
            gzipped += gzipSync(readFileSync(join(SITE, file)), { level: 9 }).length;
        assert.ok(gzipped <= 40 * 1024, `the teacher's page is ${gzipped} bytes gzipped`);
        assert.deepEqual(problems, []);
        await close();
    });

    test('a child\'s card, typed, joins the class\'s table; a slip is refused; a second card is listed as such; the table saves as CSV', async () => {
        const link = '?course=times:7&course=div:2-9:rem&time=30';
        const game = await openSite(browser, { query: `${link}&clock=manual&seed=5` });
        await handOver(game.page);
        const name = await game.page.locator('button[aria-description="コース"]').nth(1).textContent();
        await game.page.keyboard.press('2');
        await advance(game.page, 31_000);
        await game.page.getByRole('button', { name: 'けっか', exact: true }).click();
        for (let k = 0; k < 3; ++k) await game.page.keyboard.press('+');
        const code = await game.page.locator('[aria-description="コード"]').textContent();
        const shown = await game.page.locator('[aria-description="けっか"]').allTextContents();
        const [, right] = shown.find((line) => line.startsWith('できた')).match(/^できた (\d+)もん/);
        const [, wrong, fell, points] = shown.find((line) => line.startsWith('まちがい')).match(/^まちがい (\d+)\D+(\d+)\D+得点 (\d+)点/);
        await game.close();

        const { page, problems, close } = await teacherPage(link);
        const typeIn = async (text) => {
            await page.fill('#card-code', text);
            await page.press('#card-code', 'Enter');
            await page.waitForFunction(() => document.getElementById('card-said').textContent !== '');
        };
        const rows = () => page.locator('#class-table tbody tr').evaluateAll((all) => all.map((r) => [...r.cells].map((c) => c.textContent)));
        await typeIn(code.toLowerCase());
        assert.deepEqual((await rows())[0].slice(0, 10), ['3', name, right, '', points, '', wrong, fell, '', '']);
        assert.match(await page.locator('#card-said').textContent(), /3ばん/);
        const slip = code.replace(/^./, (c) => (c === 'A' ? 'C' : 'A'));
        await typeIn(slip);
        assert.match(await page.locator('#card-said').textContent(), /^！ .*打ちまちがい/);
        await typeIn(code);
        assert.deepEqual((await rows()).map((r) => r[0]), ['3', '3（2まいめ）']);
        await page.click('#class-table th button[data-key="points"]');
        assert.equal(await page.locator('#class-table th[aria-sort]').getAttribute('aria-sort'), 'ascending');

        const [download] = await Promise.all([page.waitForEvent('download'), page.click('#class-csv')]);
        const csv = readFileSync(await download.path(), 'utf8');
        assert.ok(csv.startsWith('\uFEFF"ばんごう","コース","できた","1分の できた","得点"'), csv.slice(0, 40));
        assert.ok(csv.split('\r\n')[0].includes('"ゆっくり","時間の中央値（秒）"'), csv.slice(0, 120));
        assert.deepEqual(csv.trim().split('\r\n').slice(1).map((line) => line.split(',').slice(0, 5)),
            [['"3"', `"${name}"`, `"${right}"`, '""', `"${points}"`], ['"3（2まいめ）"', `"${name}"`, `"${right}"`, '""', `"${points}"`]]);
        assert.deepEqual(problems, []);
        await close();
    });

    test('the class\'s missed sums: the 九九 on a grid and the others listed, counted in children, and printed with the table', async () => {
        // Two children's cards, two each, as their QR codes' texts (course 1
        // the 九九, course 2 adding); then a code typed by hand.
        const cards = [
            'PMR1/8JV84KK4G932JD5TMT/40/60/100/202612091030/2/7x8,6x7/times:1-9;add:1-20',
            'PMR1/EWK786KDAFTFXRHJ08/35/60/100/202612091030/3/7x8,8x7,7x8/times:1-9;add:1-20',
            'PMR1/RG45HY3YGM2PTMPXN0/52/60/100/202612091030/2/8+7,9+4/times:1-9;add:1-20',
            'PMR1/JATDJHDE17DNFJTM6N/60/60/100/202612091030/1/8+7/times:1-9;add:1-20',
            'HF8K QV5D 5NX5 4MTF EA',
        ];
        const { page, problems, close } = await teacherPage('?course=times:1-9&course=add:1-20');
        assert.ok(await page.locator('#missed').isHidden());
        for (const text of cards) {
            await page.fill('#card-code', text);
            assert.equal(await page.inputValue('#card-code'), text, 'the field takes a QR code\'s text whole');
            await page.press('#card-code', 'Enter');
            await page.waitForFunction(() => document.getElementById('card-code').value === '');
        }
        assert.equal(await page.locator('#class-table tbody tr').count(), 5);

        // 7 × 8: both children, the darkest; 6 × 7 and 8 × 7: one each.
        const grid = page.getByRole('table', { name: /その 九九を まちがえた 子の 人数/ });
        assert.deepEqual(await grid.locator('thead th').allTextContents(), ['×', '1', '2', '3', '4', '5', '6', '7', '8', '9']);
        assert.equal(await grid.getByRole('rowheader').count(), 9);
        const expected = Array.from({ length: 9 }, (_, a) => [`${a + 1}`, ...Array(9).fill('s0')]);
        expected[6][8] = '2s4';
        expected[5][7] = expected[7][7] = '1s2';
        assert.deepEqual(await grid.locator('tbody tr').evaluateAll((rows) => rows.map((r) => [...r.cells].map((c) => c.textContent + c.className))),
            expected);
        assert.deepEqual(await page.locator('#missed-others li').allTextContents(), ['8 + 7 = 15　まちがい 2人', '9 + 4 = 13　まちがい 1人']);
        assert.match(await page.locator('#missed-note').textContent(), /2人分.*カード 1まい/);

        // On paper: the title, the day, the table and what was missed; no
        // form, button or link.
        // The browser's own print dialog is out of the driver's reach: the
        // button's call is recorded, and the page printed as it stands.
        await page.evaluate(() => { window.print = () => { window.printAsked = true; }; });
        await page.getByRole('button', { name: 'いんさつ' }).click();
        assert.ok(await page.evaluate(() => window.printAsked));
        const folder = mkdtempSync(join(tmpdir(), 'permoro-print-'));
        try {
            writeFileSync(join(folder, 'class.pdf'), await page.pdf({ format: 'A4' }));
            const text = execFileSync('pdftotext', ['-layout', join(folder, 'class.pdf'), '-'], { encoding: 'utf8' });
            for (const shown of [/クラスのけっか/, /\d{4}年\d{1,2}月\d{1,2}日/, /ばんごう/, /まちがえた\s*もんだい/,
                /\n\s*7(\s+\d+){1}\s*\n/, /8 \+ 7 = 15\s+まちがい 2人/])
                assert.match(text, shown);
            for (const hidden of ['子どもに配るリンク', 'コースをふやす', 'よむ', 'いんさつ', 'CSV'])
                assert.ok(!text.includes(hidden), `${hidden} printed:\n${text}`);
        } finally {
            rmSync(folder, { recursive: true, force: true });
        }
        assert.deepEqual(problems, []);
        await close();
    });

    test('a version 2 card: its median seconds and way of answering in the table, its slow sums marked apart on the grid', async () => {
        // The cards above with how often, the sums slow, the median time
        // and the way of answering (the last typed on the pad); their short
        // codes are unchanged.
        const cards = [
            'PMR2/8JV84KK4G932JD5TMT/40/60/100/202612091030/2/7x8*3,6x7/times:1-9;add:1-20/2/9x9*2,7x8/23/',
            'PMR2/EWK786KDAFTFXRHJ08/35/60/100/202612091030/3/7x8,8x7,7x8/times:1-9;add:1-20/1/9x9/41/',
            'PMR2/RG45HY3YGM2PTMPXN0/52/60/100/202612091030/2/8+7,9+4/times:1-9;add:1-20/1/8+7//t',
        ];
        const { page, problems, close } = await teacherPage('?course=times:1-9&course=add:1-20');
        for (const text of cards) {
            await page.fill('#card-code', text);
            await page.press('#card-code', 'Enter');
            await page.waitForFunction(() => document.getElementById('card-code').value === '');
        }
        const keys = await page.locator('#class-table thead button').evaluateAll((all) => all.map((b) => b.dataset.key));
        const rows = await page.locator('#class-table tbody tr').evaluateAll((all) => all.map((r) => [...r.cells].map((c) => c.textContent)));
        assert.deepEqual(keys.slice(0, 4), ['number', 'name', 'right', 'rightPerMinute']);
        assert.deepEqual(rows.map((r) => [r[keys.indexOf('slowCount')], r[keys.indexOf('median')]]), [['2', '2.3'], ['1', '4.1'], ['1', '']]);
        assert.deepEqual(rows.map((r) => r[keys.indexOf('answered')]), ['えらぶ', 'えらぶ', '入力']);
        // 9 × 9: no child missed it, both were slow; 7 × 8: both missed it,
        // one was slow. The slow mark is an element of its own, smaller.
        const grid = page.locator('#missed-times');
        const cellAt = (a, b) => grid.locator('tbody tr').nth(a - 1).locator('td').nth(b - 1);
        assert.equal(await cellAt(9, 9).textContent(), 'ゆ2');
        assert.equal(await cellAt(7, 8).textContent(), '2ゆ1');
        assert.equal(await cellAt(6, 7).textContent(), '1');
        const sizes = await cellAt(7, 8).evaluate((td) => [parseFloat(getComputedStyle(td).fontSize),
            parseFloat(getComputedStyle(td.querySelector('.slow')).fontSize)]);
        assert.ok(sizes[1] < sizes[0] * 0.7, `the slow mark is ${sizes[1]} px in a cell of ${sizes[0]} px`);
        assert.deepEqual(await page.locator('#missed-others li').allTextContents(), ['8 + 7 = 15　まちがい 1人　ゆっくり 1人', '9 + 4 = 13　まちがい 1人']);
        assert.deepEqual(problems, []);
        await close();
    });
});
