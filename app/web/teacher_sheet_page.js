// Printed worksheets (プリント) on the teacher's page: their form, fetched
// with their module when プリント is first opened. The sheet's sums, its
// numbers and its answers are the game's own (teacher_sheet, compiled from
// the same C++); this script lays them out as pages for the browser's print
// dialog, one page a sheet and one for its answers, and takes them away
// again once printed.
'use strict';

(() => {
    // The papers' sizes for the printer (B5 as Japanese schools have it, JIS).
    const PAPERS = { A4: 'A4 portrait', B5: '182mm 257mm' };
    const MOST_COPIES = 40;
    // A file of the sheets added to the page, and when it has come.
    const added = (made, then) => new Promise((resolve, reject) => {
        made.addEventListener('load', () => resolve(then()));
        made.addEventListener('error', reject);
        document.head.append(made);
    });
    const style = Object.assign(document.createElement('link'), { rel: 'stylesheet', href: 'teacher_sheet.css' });
    const styled = added(style, () => style);
    const maker = added(Object.assign(document.createElement('script'), { src: 'teacher_sheet.js' }), () => TeacherSheet());
    const said = document.getElementById('sheet-said');
    const linkOf = () => document.getElementById('link').value;

    function element(tag, className, ...children) {
        const made = document.createElement(tag);
        if (className) made.className = className;
        made.append(...children);
        return made;
    }

    // The form, in the place of the button that asked for it.
    const control = (tag, properties, ...options) => {
        const made = Object.assign(document.createElement(tag), properties);
        for (const [value, text] of options) made.add(new Option(text, value));
        return made;
    };
    const field = {
        course: control('select'),
        kind: control('select', {}, ['20', '20もん'], ['30', '30もん'], ['50', '50もん'], ['grid', '百ます']),
        paper: control('select', {}, ['A4', 'A4'], ['B5', 'B5']),
        number: control('input', { type: 'number', min: 1, max: 99999 }),
        each: control('input', { type: 'checkbox' }),
        copies: control('input', { type: 'number', min: 1, max: MOST_COPIES, value: 30 }),
    };
    for (const [name, made] of Object.entries(field)) made.id = `sheet-${name}`;
    field.number.value = String(1 + Math.floor(Math.random() * 9999));
    const button = element('button', '', '印刷する');
    button.id = 'sheet-print';
    const labelled = (before, made, after = '') => element('label', '', before, made, after);
    const form = element('form', '', labelled('コース ', field.course), ' ', labelled('もんだい ', field.kind), ' ',
        labelled('用紙 ', field.paper), ' ', labelled('番号 ', field.number), ' ', labelled('', field.each, ' ひとりずつ ちがう'), ' ',
        labelled('', field.copies, ' まい'), ' ', button);
    form.id = 'sheet-form';
    form.autocomplete = 'off';
    const opener = document.getElementById('sheet-open').parentElement;
    opener.replaceWith(element('p', '', 'リンクの コースの 計算プリントと、2ページめに こたえを 印刷します。同じ 番号なら 何度でも 同じ 問題です。'), form);

    // The link's courses, whenever the link is written anew: all mixed, or one.
    async function showCourses() {
        const module = await maker;
        const link = linkOf();
        const names = link ? JSON.parse(module.ccall('teacher_sheet_courses', 'string', ['string'], [new URL(link).search])) : [];
        const chosen = field.course.value;
        field.course.replaceChildren(new Option('ぜんぶ まぜて', '0'), ...names.map((name, i) => new Option(name, String(i + 1))));
        field.course.value = chosen;
        if (!field.course.value) field.course.value = '0';
        button.disabled = !link;
    }
    new MutationObserver(showCourses).observe(document.getElementById('link-text'), { childList: true, characterData: true, subtree: true });
    showCourses().then(() => field.course.focus(), () => {
        said.textContent = '！ プリントを 作る しくみを 読みこめませんでした。ページを 開きなおしてください';
    });

    // A box to write in, or the answer in it.
    const box = (text, answers) => element('span', 'box', answers ? text : '');

    // The game's link as a QR code: dark squares on white, drawn as shapes
    // so that it prints sharp at any size.
    function code(link) {
        const qr = qrcode(0, 'M');
        qr.addData(link);
        qr.make();
        const n = qr.getModuleCount();
        let path = '';
        for (let r = 0; r < n; ++r) {
            for (let c = 0; c < n; ++c) if (qr.isDark(r, c)) path += `M${c} ${r}h1v1h-1z`;
        }
        const svg = (tag, attributes) => {
            const made = document.createElementNS('http://www.w3.org/2000/svg', tag);
            for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
            return made;
        };
        const picture = svg('svg', { viewBox: `-4 -4 ${n + 8} ${n + 8}`, role: 'img', 'aria-label': 'ゲームの QR コード' });
        picture.append(svg('rect', { x: -4, y: -4, width: n + 8, height: n + 8, fill: '#FFFFFF' }),
            svg('path', { d: path, fill: '#000000', 'shape-rendering': 'crispEdges' }));
        return picture;
    }

    // The heading every page of a sheet has: its course, its number, a
    // line for the name and the date, and the game's code in the corner.
    function heading(sheet, link, answers) {
        const title = element('div', 'sheet-title', element('h1', '', sheet.title),
            element('p', '', `プリント No.${sheet.number}`, answers ? element('b', 'answers-mark', 'こたえ') : ''));
        const who = element('p', 'sheet-who', element('span', 'date', element('span', 'gap', ''), 'がつ', element('span', 'gap', ''), 'にち'),
            element('span', 'name', 'なまえ'));
        return element('header', 'sheet-head', title, who, element('figure', 'sheet-qr', code(link), element('figcaption', '', 'ゲームでも れんしゅう')));
    }

    function list(sheet, answers) {
        const sums = element('ol', `sums n${sheet.lines.length}`);
        sheet.lines.forEach((line, i) => {
            const item = element('li', '', element('span', 'at', `(${i + 1})`), `${line.before} `, box(line.value, answers),
                line.after);
            if ('rest' in line) item.append(' あまり ', box(line.rest, answers));
            sums.append(item);
        });
        return sums;
    }

    function grid(sheet, answers) {
        const table = element('table', 'grid');
        const top = table.insertRow();
        top.append(element('th', 'sign', sheet.grid.sign), ...sheet.grid.top.map((n) => element('th', '', String(n))));
        sheet.grid.left.forEach((n, r) => {
            const row = table.insertRow();
            row.append(element('th', '', String(n)));
            for (const answer of sheet.grid.cells[r]) row.insertCell().textContent = answers ? String(answer) : '';
        });
        const time = element('p', 'time', 'タイム', element('span', 'gap', ''), 'ふん', element('span', 'gap', ''), 'びょう');
        return element('div', 'grid-part', table, time);
    }

    function page(sheet, link, answers) {
        return element('article', answers ? 'page answers' : 'page', heading(sheet, link, answers),
            sheet.grid ? grid(sheet, answers) : list(sheet, answers));
    }

    // The paper's size for the printer, and the pages' scale on it.
    function paper(name, sheets) {
        const rules = style.sheet;
        for (let i = rules.cssRules.length - 1; i >= 0; --i) if (rules.cssRules[i] instanceof CSSPageRule) rules.deleteRule(i);
        rules.insertRule(`@page { size: ${PAPERS[name]}; margin: 10mm; }`, rules.cssRules.length);
        sheets.classList.toggle('b5', name === 'B5');
    }

    function done() {
        document.getElementById('sheets')?.remove();
        document.body.classList.remove('sheets');
    }
    addEventListener('afterprint', done);

    // The sheets the form asks for, for the link's courses: one, or with
    // ひとりずつ ちがう as many as asked, numbered one after another.
    async function printSheets(link) {
        if (!link) return;
        const [module] = await Promise.all([maker, styled]);
        const number = field.number;
        if (number.value === '') number.value = String(1 + Math.floor(Math.random() * 9999));
        const first = Math.trunc(number.valueAsNumber) || 0;
        const copies = field.each.checked ? Math.max(1, Math.min(MOST_COPIES, Math.trunc(field.copies.valueAsNumber) || 1)) : 1;
        const kind = field.kind.value;
        const query = new URL(link).search;
        const made = [];
        for (let k = 0; k < copies; ++k) {
            const sheet = JSON.parse(module.ccall('teacher_sheet', 'string', ['string', 'number', 'number', 'number', 'number'],
                [query, Number(kind === 'grid'), Number(field.course.value), Number(kind), first + k]));
            if (!sheet.ok) {
                said.textContent = `！ ${sheet.why}`;
                return;
            }
            made.push(sheet);
        }
        done();
        const sheets = element('div', '');
        sheets.id = 'sheets';
        paper(field.paper.value, sheets);
        for (const sheet of made) sheets.append(page(sheet, link, false), page(sheet, link, true));
        document.body.append(sheets);
        document.body.classList.add('sheets');
        const numbers = copies > 1 ? `${made[0].number}〜${made.at(-1).number} の ${copies}まい` : `${made[0].number} `;
        said.textContent = [made[0].notice, `プリント No.${numbers}と こたえを 印刷します。`].filter((line) => line).join(' ');
        window.print();
    }

    form.addEventListener('submit', (event) => {
        event.preventDefault();
        said.textContent = '';
        printSheets(linkOf());
    });
})();
