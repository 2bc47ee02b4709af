// The teacher's page: the form becomes a link to the game, its QR code and
// the courses' names as the child will see them. The kinds of course, how
// each is chosen, the link itself and what it means are the game's own
// (teacher_core, compiled from the same C++ as the game); this script only
// builds the form from them, hands over its values and shows the answer.
// A row the game cannot play holds the link back until it is mended. The
// form's bounds and choices are the module's too: the site's build wrote
// the units, the time's bounds and the paces into the page, and the rest
// comes with the module. What the page does with the link (its sheets, the
// class's cards) comes as modules of its own when first asked for.
import TeacherCore from './teacher_core.js';
import { link } from './link.js';
import { part } from './loader.js';
import { drawCode } from './qr.js';

const form = {
    courses: document.getElementById('courses'),
    add: document.getElementById('add-course'),
    time: document.getElementById('time'),
    pace: document.getElementById('pace'),
    sound: document.getElementById('sound'),
    againOff: document.getElementById('again-off'),
    slow: document.getElementById('slow'),
    keep: document.getElementById('miss-keep'),
    typed: document.getElementById('answer-type'),
};
const out = {
    notice: document.getElementById('notice'),
    names: document.getElementById('names'),
    link: document.getElementById('link'),
    copy: document.getElementById('copy'),
    copied: document.getElementById('copied'),
    try: document.getElementById('try'),
    wait: document.getElementById('wait'),
    code: document.getElementById('code'),
    qr: document.getElementById('qr'),
    gameSaid: document.getElementById('game-said'),
};
const unitDone = document.getElementById('unit-done');
// What the names say without a course, as the page is written.
const animals = out.names.firstElementChild;
let core = null;
let kinds = [];
// The form's bounds and choices, as the site's build wrote them.
const rules = JSON.parse(document.getElementById('rules').textContent);
// The order a link opened here gave a row's tables ("times:5,2:up").
const linkOrder = new WeakMap();
// What the link opened here left out, shown until the form is changed.
let openedNotice = '';
// Each row's line saying why it is left out, named by its controls.
let lines = 0;

const call = (name, result, ...args) => core.ccall(name, result, args.map(() => 'number'), args);
const field = (row, name) => row.querySelector(`.${name}`);
const kindOf = (row) => kinds[field(row, 'kind').value];

function addRow() {
    if (form.courses.children.length >= rules.courses) return null;
    const row = document.getElementById('course-row').content.firstElementChild.cloneNode(true);
    kinds.forEach((kind, i) => field(row, 'kind').add(new Option(kind.label, String(i))));
    for (let d = 1; d <= 9; ++d) {
        const label = document.createElement('label');
        const box = document.createElement('input');
        box.type = 'checkbox';
        box.value = String(d);
        label.append(box, `${d}`);
        field(row, 'tables').append(label);
    }
    field(row, 'why').id = `why-${++lines}`;
    field(row, 'remove').addEventListener('click', () => {
        row.remove();
        form.add.disabled = false;
        changed();
    });
    form.courses.append(row);
    showFields(row);
    form.add.disabled = form.courses.children.length >= rules.courses;
    return row;
}

// A row shows what its kind asks for: the tables, or two numbers within
// the kind's bounds; and the kind's options, if it has any.
function showFields(row) {
    const kind = kindOf(row);
    field(row, 'tables').hidden = !kind?.tables;
    field(row, 'range').hidden = !kind || kind.tables;
    if (kind && !kind.tables) {
        field(row, 'numbers').textContent = kind.numbers;
        for (const [input, usual] of [[field(row, 'from'), 1], [field(row, 'to'), 9]]) {
            input.min = String(kind.lowest);
            input.max = String(kind.highest);
            const value = input.value === '' ? usual : Number(input.value);
            input.value = String(Math.min(kind.highest, Math.max(kind.lowest, value)));
        }
    }
    const option = field(row, 'option');
    option.replaceChildren();
    if (kind) [kind.plain, ...kind.options.map((o) => o.label)].forEach((text, i) => option.add(new Option(text, String(i))));
    option.hidden = !kind?.options.length;
}

// The ticked tables: those a link gave in its order, then the others.
function tablesOf(row) {
    const ticked = [...row.querySelectorAll('.tables input:checked')].map((box) => Number(box.value));
    const given = (linkOrder.get(row) ?? []).filter((d) => ticked.includes(d));
    return [...given, ...ticked.filter((d) => !given.includes(d))];
}

// A number box's whole number, as the module takes it (within an int);
// -1, which no setting accepts, when it holds none.
function whole(input) {
    const value = input.valueAsNumber;
    return Number.isFinite(value) ? Math.max(-1, Math.min(99999, Math.trunc(value))) : -1;
}

// A row marked as left out, or not: a line under it says why and how to
// mend it, and its controls point to that line.
function mark(row, left) {
    const line = field(row, 'why');
    row.classList.toggle('left-out', !!left);
    line.hidden = !left;
    line.textContent = left ? `！ ${[left.why, left.fix].filter((text) => text).join('。')}` : '';
    for (const control of row.querySelectorAll('select, input')) {
        if (left) {
            control.setAttribute('aria-invalid', 'true');
            control.setAttribute('aria-describedby', line.id);
        } else {
            control.removeAttribute('aria-invalid');
            control.removeAttribute('aria-describedby');
        }
    }
}

// The form's link as the game writes and reads it; the rows without a
// kind give nothing, and each other row learns whether the link keeps it.
function compose() {
    call('teacher_begin', null);
    const rows = [...form.courses.children].filter((row) => {
        mark(row, null);
        return kindOf(row);
    });
    for (const row of rows) {
        call('teacher_course', null, Number(field(row, 'kind').value), Number(tablesOf(row).join('')),
            whole(field(row, 'from')), whole(field(row, 'to')), Number(field(row, 'option').value));
    }
    const reading = JSON.parse(call('teacher_link', 'string', whole(form.time), Number(form.pace.value),
        Number(form.sound.checked), Number(form.againOff.checked), Number(form.slow.value), Number(form.keep.checked),
        Number(form.typed.checked)));
    rows.forEach((row, i) => { if (!reading.rows[i].kept) mark(row, reading.rows[i]); });
    reading.held = reading.rows.some((row) => !row.kept);
    return reading;
}

function read(query) {
    return JSON.parse(core.ccall('teacher_read', 'string', ['string'], [query]));
}

function gameLink(query) {
    const url = new URL('./', location.href);
    url.search = query;
    return url.href;
}

function update() {
    if (!core) return;
    const reading = compose();
    // While a row is left out, no link is handed out: it would not be
    // the one the form shows.
    const made = reading.held ? '' : gameLink(reading.query);
    out.link.value = made;
    document.getElementById('link-text').textContent = made;
    // A link waiting has no address: read as a link that cannot be followed.
    if (made) {
        out.try.href = made;
        out.try.removeAttribute('role');
        out.try.removeAttribute('aria-disabled');
    } else {
        out.try.removeAttribute('href');
        out.try.setAttribute('role', 'link');
        out.try.setAttribute('aria-disabled', 'true');
    }
    out.copy.disabled = !made;
    out.wait.textContent = made ? '' : '！の ついた コースを なおすか けすと、リンクと QR コードが できます。';
    out.code.classList.toggle('held', !made);
    const notice = [openedNotice, reading.notice].filter((line) => line).join('\n');
    out.notice.hidden = !notice;
    out.notice.textContent = notice;
    out.names.replaceChildren(...(reading.courses.length ? reading.courses : [null]).map((course, i) => {
        if (!course) return animals;
        const item = document.createElement('li');
        const name = document.createElement('b');
        name.textContent = course.short;
        // The whole name begins with the button's: said once.
        const rest = course.full.startsWith(course.short) ? course.full.slice(course.short.length).trim() : course.full;
        item.append(name, `（${i + 1}点）${rest}`);
        return item;
    }));
    out.gameSaid.textContent = `1回の時間 ${reading.seconds}びょう・おちる速さ ${form.pace.selectedOptions[0]?.text}`;
    out.copied.textContent = '';
    if (made) drawCode(out.qr, made);
    link.set(made);
}

// Printed sheets: their form, layout and module are fetched when first
// asked for.
document.getElementById('sheet-open').addEventListener('click', (event) => {
    event.target.disabled = true;
    part('teacher_sheet_page.js').then((sheets) => sheets.open(rules.sheets)).catch(() => {
        event.target.disabled = false;
        document.getElementById('sheet-said').textContent = '！ プリントを 作る しくみを 読みこめませんでした。ページを 開きなおしてください';
    });
});

// A link opened here (teacher.html?course=...) fills the form, so that a
// teacher can change a link given before; a unit adds its courses to the
// rows with a course (as many as there is room for) and leaves the
// settings. Every course the link names keeps its row, one that gives no
// sums too, marked by the reading as the form's own rows are.
function fill(reading, adding = false) {
    if (adding) [...form.courses.children].filter((row) => !kindOf(row)).forEach((row) => row.remove());
    else form.courses.replaceChildren();
    for (const course of reading.rows) {
        const row = addRow();
        if (!row) break;
        field(row, 'kind').value = String(course.kind);
        showFields(row);
        for (const box of row.querySelectorAll('.tables input')) box.checked = course.tables.includes(Number(box.value));
        linkOrder.set(row, course.tables);
        field(row, 'from').value = String(course.from);
        field(row, 'to').value = String(course.to);
        field(row, 'option').value = String(course.option);
    }
    if (!form.courses.children.length) addRow();
    form.add.disabled = form.courses.children.length >= rules.courses;
    if (adding) return;
    form.time.value = String(reading.seconds);
    const pace = String(reading.pace);
    if (![...form.pace.options].some((option) => option.value === pace)) form.pace.add(new Option(String(reading.pace / 1000), pace));
    form.pace.value = pace;
    form.sound.checked = reading.soundOff;
    form.againOff.checked = !reading.again;
    form.slow.value = String(reading.slow);
    form.keep.checked = reading.keepScore;
    form.typed.checked = reading.typed;
    openedNotice = reading.notice;
}

function changed() {
    openedNotice = '';
    unitDone.textContent = '';
    update();
}

// The ready-made units, written into the page by the site's build: each
// adds its courses to the form (two units make one lesson); the form can
// start afresh.
for (const button of document.querySelectorAll('#units button[data-link]')) {
    button.addEventListener('click', () => {
        if (!core) return;
        const room = rules.courses - [...form.courses.children].filter((row) => kindOf(row)).length;
        const reading = read(button.dataset.link);
        fill(reading, true);
        update();
        unitDone.textContent = reading.rows.length <= room ? `「${button.textContent}」の コースを 入れました。`
            : `「${button.textContent}」の コースを ${Math.max(0, room)}つ 入れました（コースは ${rules.courses}つまでです）。`;
    });
}
document.getElementById('units-afresh').addEventListener('click', () => {
    if (!core) return;
    form.courses.replaceChildren();
    addRow();
    changed();
    unitDone.textContent = 'コースを けしました。';
});

for (const type of ['input', 'change']) {
    document.getElementById('settings').addEventListener(type, (event) => {
        const row = event.target.closest('li');
        if (row && event.target.classList.contains('kind')) showFields(row);
        changed();
    });
}
form.add.addEventListener('click', () => { addRow(); changed(); });
out.copy.addEventListener('click', async () => {
    try {
        await navigator.clipboard.writeText(out.link.value);
        out.copied.textContent = 'コピーしました';
    } catch {
        out.link.select();
        out.copied.textContent = 'えらんだリンクを コピーしてください';
    }
});

// The class's cards come with a module of their own (teacher_cards.js),
// fetched when the first card is read, typed, off a picture or by the
// camera: the page that makes links stays light.
function withCards(then) {
    part('teacher_cards.js').then(then, () => {
        document.getElementById('card-said').textContent = '！ カードを 読む しくみを 読みこめませんでした。ページを 開きなおしてください';
    });
}
const readCards = (files) => withCards((cards) => cards.readPictures(files));
document.getElementById('card-form').addEventListener('submit', (event) => {
    event.preventDefault();
    withCards((cards) => cards.typedCode());
});
const picked = document.getElementById('card-files');
picked.addEventListener('change', () => { readCards([...picked.files]); picked.value = ''; });
document.getElementById('camera').addEventListener('click', () => readCards(null));
// Files dropped on the section; text dropped in the code's box stays text.
const section = document.getElementById('class');
function dropped(event) {
    const files = event.dataTransfer.types.includes('Files');
    if (files) event.preventDefault();
    return files;
}
section.addEventListener('dragover', dropped);
section.addEventListener('drop', (event) => { if (dropped(event)) readCards([...event.dataTransfer.files]); });

TeacherCore().then((module) => {
    core = module;
    kinds = JSON.parse(module.ccall('teacher_kinds', 'string', [], []));
    fill(read(location.search));
    update();
});
