// The teacher's page: the form becomes a link to the game, its QR code and
// the courses' names as the child will see them. What a link means is the
// game's own reading of it (teacher_core, compiled from the same C++ as the
// game); this script only gathers the form and shows the answer.
'use strict';

const form = {
    courses: document.getElementById('courses'),
    add: document.getElementById('add-course'),
    time: document.getElementById('time'),
    pace: document.getElementById('pace'),
    sound: document.getElementById('sound'),
};
const out = {
    notice: document.getElementById('notice'),
    names: document.getElementById('names'),
    link: document.getElementById('link'),
    copy: document.getElementById('copy'),
    copied: document.getElementById('copied'),
    try: document.getElementById('try'),
    qr: document.getElementById('qr'),
};
const MAX_COURSES = 6;
let core = null;

function addRow() {
    if (form.courses.children.length >= MAX_COURSES) return null;
    const row = document.getElementById('course-row').content.firstElementChild.cloneNode(true);
    const dans = row.querySelector('.dans');
    for (let d = 1; d <= 9; ++d) {
        const label = document.createElement('label');
        const box = document.createElement('input');
        box.type = 'checkbox';
        box.value = String(d);
        label.append(box, `${d}`);
        dans.append(label);
    }
    row.querySelector('.remove').addEventListener('click', () => { row.remove(); update(); });
    form.courses.append(row);
    showFields(row);
    form.add.disabled = form.courses.children.length >= MAX_COURSES;
    return row;
}

// A row shows the tables for × and ÷, the numbers for + and -.
function showFields(row) {
    const kind = row.querySelector('.kind').value;
    row.querySelector('.dans').hidden = kind !== 'times' && kind !== 'div';
    row.querySelector('.range').hidden = kind !== 'add' && kind !== 'sub';
    const carry = row.querySelector('.carry');
    carry.options[1].text = kind === 'sub' ? 'くりさがり あり だけ' : 'くりあがり あり だけ';
    carry.options[2].text = kind === 'sub' ? 'くりさがり なし だけ' : 'くりあがり なし だけ';
}

// The query the form asks for, part by part as the game reads it.
function formQuery() {
    const parts = [];
    for (const row of form.courses.children) {
        const kind = row.querySelector('.kind').value;
        if (kind === 'times' || kind === 'div') {
            const dans = [...row.querySelectorAll('.dans input:checked')].map((box) => box.value);
            parts.push(`course=${kind}:${dans.join(',')}`);
        } else if (kind === 'add' || kind === 'sub') {
            const carry = row.querySelector('.carry').value;
            const word = carry === 'any' ? '' : `:${carry === 'never' ? 'no' : ''}${kind === 'add' ? 'carry' : 'borrow'}`;
            parts.push(`course=${kind}:${row.querySelector('.from').value}-${row.querySelector('.to').value}${word}`);
        }
    }
    if (form.time.value !== '60') parts.push(`time=${form.time.value}`);
    if (form.pace.value !== '1') parts.push(`pace=${form.pace.value}`);
    if (form.sound.checked) parts.push('sound=off');
    return parts.map((part) => encodeURI(part)).join('&');
}

function read(query) {
    return JSON.parse(core.ccall('teacher_read', 'string', ['string'], [query]));
}

function gameLink(query) {
    const url = new URL('./', location.href);
    url.search = query;
    return url.href;
}

function drawCode(text) {
    const code = qrcode(0, 'M');
    code.addData(text);
    code.make();
    const modules = code.getModuleCount();
    const quiet = 4;
    const scale = 8;
    const side = (modules + 2 * quiet) * scale;
    out.qr.width = side;
    out.qr.height = side;
    const pen = out.qr.getContext('2d');
    pen.fillStyle = '#FFFFFF';
    pen.fillRect(0, 0, side, side);
    pen.fillStyle = '#000000';
    for (let r = 0; r < modules; ++r) {
        for (let c = 0; c < modules; ++c) {
            if (code.isDark(r, c)) pen.fillRect((c + quiet) * scale, (r + quiet) * scale, scale, scale);
        }
    }
}

function update() {
    if (!core) return;
    const reading = read(formQuery());
    const link = gameLink(reading.query);
    out.link.value = link;
    out.try.href = link;
    out.notice.hidden = !reading.notice;
    out.notice.textContent = reading.notice;
    out.names.replaceChildren(...(reading.courses.length ? reading.courses : [null]).map((course, i) => {
        const item = document.createElement('li');
        if (!course) {
            item.textContent = 'コースを選ばないと、6つの動物のコースです。';
            return item;
        }
        const name = document.createElement('b');
        name.textContent = course.short;
        item.append(name, `（${i + 1}点）${course.full}`);
        return item;
    }));
    out.copied.textContent = '';
    drawCode(link);
}

// A link opened here (teacher.html?course=...) fills the form, so that a
// teacher can change a link given before.
function fill(reading) {
    form.courses.replaceChildren();
    for (const course of reading.courses) {
        const row = addRow();
        row.querySelector('.kind').value = course.kind;
        for (const box of row.querySelectorAll('.dans input')) box.checked = (course.dans >> Number(box.value)) & 1;
        row.querySelector('.from').value = String(course.from);
        row.querySelector('.to').value = String(course.to);
        row.querySelector('.carry').value = course.carry;
        showFields(row);
    }
    if (!reading.courses.length) addRow();
    form.time.value = String(reading.seconds);
    const pace = String(reading.pace / 1000);
    if (![...form.pace.options].some((option) => option.value === pace)) form.pace.add(new Option(pace, pace));
    form.pace.value = pace;
    form.sound.checked = reading.soundOff;
}

for (const type of ['input', 'change']) {
    document.getElementById('settings').addEventListener(type, (event) => {
        const row = event.target.closest('li');
        if (row && event.target.classList.contains('kind')) showFields(row);
        update();
    });
}
form.add.addEventListener('click', () => { addRow(); update(); });
out.copy.addEventListener('click', async () => {
    try {
        await navigator.clipboard.writeText(out.link.value);
        out.copied.textContent = 'コピーしました';
    } catch {
        out.link.select();
        out.copied.textContent = 'えらんだリンクを コピーしてください';
    }
});

TeacherCore().then((module) => {
    core = module;
    fill(read(location.search));
    update();
});
