// Printed worksheets (プリント) on the teacher's page: their form, fetched
// with their module when プリント is first opened. The sheet's sums, its
// numbers and its answers are the game's own (teacher_sheet, compiled from
// the same C++); this script lays them out as pages for the browser's print
// dialog, one page a sheet and one for its answers, and takes them away
// again once printed. The sheets' kinds, sizes, numbers and copies are the
// module's (`rules`, as teacher_core hands them to the page).
import { link } from './link.js';
import { program, style as styleSheet } from './loader.js';
import { codePicture } from './qr.js';

// The papers' sizes for the printer (B5 as Japanese schools have it, JIS).
const PAPERS = { A4: 'A4 portrait', B5: '182mm 257mm' };

export function open(rules) {
    const styled = styleSheet('teacher_sheet.css');
    const maker = program('teacher_sheet');
    const said = document.getElementById('sheet-said');
    const linkOf = () => link.value;
    const someNumber = () => String(rules.lowest + Math.floor(Math.random() * Math.min(9999, rules.highest - rules.lowest + 1)));

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
        kind: control('select', {}, ...rules.counts.map((n) => [String(n), `${n}もん`]), ['grid', '百ます']),
        paper: control('select', {}, ...Object.keys(PAPERS).map((name) => [name, name])),
        number: control('input', { type: 'number', min: rules.lowest, max: rules.highest }),
        each: control('input', { type: 'checkbox' }),
        copies: control('input', { type: 'number', min: 1, max: rules.copies, value: rules.usualCopies }),
    };
    for (const [name, made] of Object.entries(field)) made.id = `sheet-${name}`;
    field.number.value = someNumber();
    // How many sheets of their own, only where each child gets one.
    const eachOwn = () => { field.copies.disabled = !field.each.checked; };
    field.each.addEventListener('change', eachOwn);
    eachOwn();
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
    link.addEventListener('change', showCourses);
    showCourses().then(() => field.course.focus(), () => {
        said.textContent = '！ プリントを 作る しくみを 読みこめませんでした。ページを 開きなおしてください';
    });

    // A box to write in, or the answer in it.
    const box = (text, answers) => element('span', 'box', answers ? text : '');

    // The heading every page of a sheet has: its course, its number, a
    // line for the name and the date, and the game's code in the corner.
    function heading(sheet, link, answers) {
        const title = element('div', 'sheet-title', element('h1', '', sheet.title),
            element('p', '', `プリント No.${sheet.number}`, answers ? element('b', 'answers-mark', 'こたえ') : ''));
        const who = element('p', 'sheet-who', element('span', 'date', element('span', 'gap', ''), 'がつ', element('span', 'gap', ''), 'にち'),
            element('span', 'name', 'なまえ'));
        return element('header', 'sheet-head', title, who, element('figure', 'sheet-qr', codePicture(link, 'ゲームの QR コード'), element('figcaption', '', 'ゲームでも れんしゅう')));
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
        const page = style.sheet;
        for (let i = page.cssRules.length - 1; i >= 0; --i) if (page.cssRules[i] instanceof CSSPageRule) page.deleteRule(i);
        page.insertRule(`@page { size: ${PAPERS[name]}; margin: 10mm; }`, page.cssRules.length);
        sheets.classList.toggle('b5', name === 'B5');
    }

    function done() {
        document.getElementById('sheets')?.remove();
        document.body.classList.remove('sheets');
    }
    addEventListener('afterprint', done);

    // The sheets the form asks for, for the link's courses (course 1 of
    // another link where it is given): one, or with ひとりずつ ちがう as
    // many as asked, numbered one after another.
    let style = null;
    async function printSheets(link, course = Number(field.course.value)) {
        if (!link) return;
        const [module] = await Promise.all([maker, styled]);
        style = await styled;
        const number = field.number;
        if (number.value === '') number.value = someNumber();
        const first = Math.trunc(number.valueAsNumber) || 0;
        const copies = field.each.checked ? Math.max(1, Math.min(rules.copies, Math.trunc(field.copies.valueAsNumber) || 1)) : 1;
        const kind = field.kind.value;
        const query = new URL(link).search;
        const made = [];
        for (let k = 0; k < copies; ++k) {
            const sheet = JSON.parse(module.ccall('teacher_sheet', 'string', ['string', 'number', 'number', 'number', 'number'],
                [query, Number(kind === 'grid'), course, Number(kind), first + k]));
            if (!sheet.ok) {
                said.replaceChildren(`！ ${sheet.why}`);
                if (sheet.instead) said.append(' ', offer(link, sheet));
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

    // A course that makes no 百ます, offered one of its kind that does: its
    // sheet carries a link to that course.
    function offer(link, sheet) {
        const other = new URL(link);
        other.search = `?${sheet.instead}`;
        const button = element('button', '', `${sheet.insteadName}の 百ますに する`);
        button.type = 'button';
        button.addEventListener('click', () => printSheets(other.href, 1));
        return button;
    }

    form.addEventListener('submit', (event) => {
        event.preventDefault();
        said.textContent = '';
        printSheets(linkOf());
    });
}
