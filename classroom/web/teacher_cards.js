// The class's cards on the teacher's page, fetched when the first card is
// read (typed, off a picture or by the camera): the table of the class,
// what the class missed, the CSV and the print. Each card is read by the
// game's own reader (teacher_class, a module of its own) and kept in this
// page alone; nothing of them leaves it.
import { link } from './link.js';
import { part, program } from './loader.js';

// The cards, in the order read.
const klass = {
    form: document.getElementById('card-form'),
    code: document.getElementById('card-code'),
    said: document.getElementById('card-said'),
    table: document.getElementById('class-table'),
    csv: document.getElementById('class-csv'),
    clear: document.getElementById('class-clear'),
    print: document.getElementById('class-print'),
    cards: [],
    sortKey: 'order',
    ascending: true,
    saved: true,
};
const COLUMNS = ['number', 'name', 'right', 'rightPerMinute', 'points', 'perMinute', 'wrong', 'fell', 'slowCount', 'median', 'answered', 'order'];
// How the child gave the answers: chosen from three, or typed on the pad
// (answer=type); a short code does not say.
const ANSWERED = { chosen: 'えらぶ', typed: '入力', '': '' };

// The card reader, a module of its own, fetched when the first card is read.
const cardModule = () => program('teacher_class');

// A card read by the game's own reader, with the form's link to name a
// typed code's course: what it holds, or why it is no card.
async function readCard(text) {
    const reader = await cardModule();
    return JSON.parse(reader.ccall('teacher_card', 'string', ['string', 'string'], [text, link.query]));
}

function cellText(card, key) {
    if (key === 'number') return card.number ? `${card.number}${card.copy > 1 ? `（${card.copy}まいめ）` : ''}` : '—';
    if (key === 'name') return card.name || `べつの リンクの コース${card.course}`;
    if (key === 'order') return card.when || String(card.order);
    if (key === 'median') return card.median < 0 ? '' : (card.median / 10).toFixed(1);
    if (key === 'answered') return ANSWERED[card.answered];
    return card[key] < 0 ? '' : String(card[key]);
}

function showClass() {
    const sorted = [...klass.cards].sort((a, b) => {
        const x = a[klass.sortKey], y = b[klass.sortKey];
        const order = typeof x === 'string' ? x.localeCompare(y, 'ja') : x - y;
        return (klass.ascending ? order : -order) || a.order - b.order;
    });
    const body = klass.table.tBodies[0];
    body.replaceChildren(...sorted.map((card) => {
        const row = document.createElement('tr');
        for (const key of COLUMNS) row.insertCell().textContent = cellText(card, key);
        return row;
    }));
    for (const th of klass.table.tHead.rows[0].cells) {
        const key = th.firstElementChild.dataset.key;
        if (key === klass.sortKey) th.setAttribute('aria-sort', klass.ascending ? 'ascending' : 'descending');
        else th.removeAttribute('aria-sort');
    }
    klass.table.hidden = klass.cards.length === 0;
    klass.csv.disabled = klass.clear.disabled = klass.print.disabled = klass.cards.length === 0;
}

// A card read: listed at once; a second card of the same number and course
// is listed as such, never merged. Says what it read, or why it is no card.
async function addCard(text) {
    let card;
    try {
        card = await readCard(text);
    } catch {
        card = { ok: false, why: 'カードを 読む しくみを 読みこめませんでした。ページを 開きなおしてください' };
    }
    if (!card.ok) {
        klass.said.textContent = `！ ${card.why}`;
        return card;
    }
    card.text = text;
    card.order = klass.cards.length + 1;
    card.copy = 1 + klass.cards.filter((c) => c.number && c.number === card.number && c.link === card.link &&
        c.course === card.course).length;
    klass.cards.push(card);
    klass.saved = false;
    klass.said.textContent = `${card.number ? `${card.number}ばん` : 'ばんごう なし'}の カードを 読みました（${card.name || 'コース' + card.course}、${card.points}点）`;
    showClass();
    await showMissed();
    return card;
}

// The sums the class missed, counted by the game's own rule in children,
// not cards: the 九九 on a grid, the other sums listed, most first.
const missed = {
    section: document.getElementById('missed'),
    note: document.getElementById('missed-note'),
    times: document.getElementById('missed-times'),
    others: document.getElementById('missed-others'),
};
async function showMissed() {
    const reader = await cardModule();
    reader.ccall('teacher_missed_begin', null, [], []);
    for (const card of klass.cards) reader.ccall('teacher_missed_card', null, ['string'], [card.text]);
    const m = JSON.parse(reader.ccall('teacher_missed', 'string', [], []));
    missed.section.hidden = !m.sums;
    missed.note.textContent = `QR コードの カードから ${m.children}人分を 数えました。`
        + (m.typed ? `手で 打った コードの カード ${m.typed}まいには、まちがえた もんだいが 入っていません。` : '')
        + (m.cut ? `まちがえた もんだいが カードに 入りきらず、はじめの 分だけ 数えた カードが ${m.cut}まい あります。` : '');
    const line = (cells) => {
        const row = document.createElement('tr');
        row.append(...cells);
        return row;
    };
    const cell = (tag, text, props) => Object.assign(document.createElement(tag), { textContent: text, ...props });
    missed.times.hidden = !m.times;
    missed.times.tHead.replaceChildren(line([cell('th', '×'), ...m.steps.map((_, b) => cell('th', b + 1, { scope: 'col' }))]));
    // The children who missed a fact in large type, those slow on it in a
    // small 「ゆ2」 under it.
    const fact = (n, slow, shade) => {
        const td = cell('td', n || '', { className: `s${shade}` });
        if (slow) td.append(cell('span', `ゆ${slow}`, { className: 'slow' }));
        return td;
    };
    missed.times.tBodies[0].replaceChildren(...(m.times ?? []).map((counts, a) => line([cell('th', a + 1, { scope: 'row' }),
        ...counts.map((n, b) => fact(n, m.slow[a][b], m.steps[a][b]))])));
    missed.others.hidden = !m.others.length;
    missed.others.querySelector('ol').replaceChildren(...m.others.map((o) => cell('li',
        [o.sum, o.children && `まちがい ${o.children}人`, o.slow && `ゆっくり ${o.slow}人`].filter(Boolean).join('　'))));
    missed.others.querySelector('p').textContent = m.more ? `ほかにも ${m.more}もん あります。` : '';
}

// The table as a file that Excel opens in Japanese: UTF-8 with its mark.
function classCsv() {
    const quoted = (text) => `"${String(text).replace(/^[=+\-@]/, "'$&").replaceAll('"', '""')}"`;
    const head = [...klass.table.tHead.rows[0].cells].map((th) => th.textContent);
    const lines = [head, ...klass.cards.map((card) => COLUMNS.map((key) => cellText(card, key)))];
    return `\uFEFF${lines.map((line) => line.map(quoted).join(',')).join('\r\n')}\r\n`;
}

// The code typed in the form.
export async function typedCode() {
    klass.said.textContent = '';
    if ((await addCard(klass.code.value)).ok) klass.code.value = '';
    klass.code.focus();
}
klass.table.tHead.addEventListener('click', (event) => {
    const key = event.target.closest('button')?.dataset.key;
    if (!key) return;
    klass.ascending = key === klass.sortKey ? !klass.ascending : true;
    klass.sortKey = key;
    showClass();
});
klass.csv.addEventListener('click', () => {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([classCsv()], { type: 'text/csv' }));
    link.download = 'class.csv';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
    klass.saved = true;
});
klass.clear.addEventListener('click', () => {
    if (!klass.saved && !confirm('保存して いない 表を けしますか？')) return;
    klass.cards = [];
    klass.saved = true;
    klass.said.textContent = '表を けしました';
    showClass();
    showMissed();
});
// On paper: the class's table and what it missed, under the day's date.
klass.print.addEventListener('click', () => {
    document.getElementById('class-date').textContent = new Date().toLocaleDateString('ja-JP', { dateStyle: 'long' });
    document.body.classList.add('print-class');
    print();
});
addEventListener('afterprint', () => document.body.classList.remove('print-class'));

// Cards read off pictures (chosen or dropped) and the camera: a module of
// its own, fetched when reading starts, that goes on from there.
let reader = null;
export function readPictures(files) {
    reader ??= part('teacher_read.js').then(({ teacherRead }) => teacherRead({ addCard, said: klass.said,
        known: (text) => klass.cards.some((card) => card.text === text) }));
    reader.then((read) => read(files), () => {
        reader = null;
        klass.said.textContent = '！ 画像と カメラで 読む しくみを 読みこめませんでした';
    });
}

// A class not yet saved is not lost without a word.
addEventListener('beforeunload', (event) => {
    if (!klass.saved) event.preventDefault();
});
