// Result cards read off pictures and the camera, for the teacher's page:
// fetched when reading starts. The pictures are decoded in a worker
// (teacher_read_worker.js), so that a hundred screenshots or one huge photo
// never hold the page up; each QR code's text goes to the page's addCard,
// which reads it with the game's own reader and says what it holds or why
// it is no card. Nothing read is put in the page as markup, and nothing is
// sent anywhere.

// The camera's frames read in a second.
const SCANS_PER_SECOND = 4;
// A code out of the camera's sight this long is a new showing.
const GONE_MS = 1500;
// The refusals a summary names one by one.
const NAMED = 3;

export function teacherRead(page) {
    const element = (id) => document.getElementById(id);
    const view = {
        going: element('read-going'),
        bar: element('read-bar'),
        count: element('read-count'),
        stop: element('read-stop'),
        files: element('card-files'),
        camera: element('camera'),
        video: element('camera-view'),
    };

    // The worker decodes one picture at a time; a batch stopped ends it, so
    // that a picture half read stops at once.
    let worker = null;
    let asked = 0;
    const waiting = new Map();
    function decode(picture) {
        if (!worker) {
            worker = new Worker('teacher_read_worker.js');
            worker.addEventListener('message', ({ data }) => {
                waiting.get(data.id)?.(data);
                waiting.delete(data.id);
            });
            // A worker that cannot start or stops short answers nothing
            // more: the next picture gets a new one.
            worker.addEventListener('error', () => endWorker({ failed: true }));
        }
        const id = ++asked;
        return new Promise((resolve) => {
            waiting.set(id, resolve);
            worker.postMessage({ id, picture }, picture instanceof ImageBitmap ? [picture] : []);
        });
    }
    function endWorker(answer) {
        worker?.terminate();
        worker = null;
        for (const done of waiting.values()) done(answer);
        waiting.clear();
    }

    // A code's text handed to the page: 'added', 'known' or the reason it
    // is no card.
    async function take(text) {
        if (page.known(text)) return 'known';
        const card = await page.addCard(text);
        return card.ok ? 'added' : card.why;
    }

    // Each code's card is listed in a task of its own: the rows of a
    // picture of sixty cards, made at once, would hold the page up.
    const nextTask = () => (globalThis.scheduler?.yield ? scheduler.yield() : new Promise((resolve) => setTimeout(resolve)));

    // The pictures chosen or dropped, one after another, the bar showing
    // how many are done; pictures given meanwhile join the batch. The
    // summary says what they gave.
    let batch = null;
    async function readFiles(files) {
        if (batch) {
            batch.files.push(...files);
            view.bar.max = batch.files.length;
            return;
        }
        const mine = batch = { files: [...files], stopped: false };
        const tally = { pictures: 0, added: 0, known: 0, none: [], refused: [] };
        view.bar.max = files.length;
        view.going.hidden = false;
        for (let done = 0; done < mine.files.length && !mine.stopped; ++done) {
            const file = mine.files[done];
            view.bar.value = done;
            view.count.textContent = `${done} / ${mine.files.length}まい`;
            const found = await decode(file);
            if (mine.stopped) break;
            ++tally.pictures;
            if (found.unreadable) tally.refused.push(`${file.name}（画像として 読めません）`);
            else if (found.large) tally.refused.push(`${file.name}（画像が 大きすぎます）`);
            else if (found.failed) tally.refused.push(`${file.name}（QR コードを 読む しくみが うごきませんでした）`);
            else if (!found.texts.length) tally.none.push(file.name);
            if (found.more) tally.refused.push(`${file.name}（QR コードが 多すぎて、${found.texts.length}こまでしか 読んでいません）`);
            for (const text of found.texts ?? []) {
                await nextTask();
                if (mine.stopped) break;
                const result = await take(text);
                if (result === 'added' || result === 'known') ++tally[result];
                else tally.refused.push(`${file.name}（${result}）`);
            }
        }
        if (batch === mine) endBatch();
        page.said.textContent = summary(tally, mine.files.length);
    }

    function endBatch() {
        batch = null;
        if (document.activeElement === view.stop) view.files.focus();
        view.going.hidden = true;
    }

    function summary(tally, given) {
        const left = given - tally.pictures;
        const parts = [`${left ? `とちゅうで やめました（のこり ${left}まい）。` : ''}画像 ${tally.pictures}まいから カードを ${tally.added}まい 読みました`];
        if (tally.known) parts.push(`もう 読んだ カード ${tally.known}まい`);
        if (tally.none.length) parts.push(`カードの ない 画像 ${tally.none.length}まい（${named(tally.none)}）`);
        if (tally.refused.length) parts.push(`読めなかった もの ${tally.refused.length}つ：${named(tally.refused)}`);
        return `${parts.join('。')}。`;
    }
    const named = (list) => list.slice(0, NAMED).join('、') + (list.length > NAMED ? ` ほか ${list.length - NAMED}` : '');

    view.stop.addEventListener('click', () => {
        if (!batch) return;
        batch.stopped = true;
        endBatch();
        endWorker({ stopped: true });
    });

    // The camera: a few frames a second to the worker, one at a time. A
    // code in sight is answered once, when it comes into sight: a card
    // joins the table with a flash and a beep, one read before is named as
    // such, anything else is refused with its reason.
    let camera = null;
    let sound = null;
    async function openCamera() {
        const mine = camera = { stream: null, timer: 0, busy: false, seen: new Map() };
        sound ??= new AudioContext();
        sound.resume().catch(() => {});
        showCamera(true);
        page.said.textContent = 'カメラを ひらいています…';
        try {
            mine.stream = await navigator.mediaDevices.getUserMedia({
                video: { facingMode: 'environment', width: { ideal: 1280 }, height: { ideal: 720 } }, audio: false });
        } catch (error) {
            const why = !window.isSecureContext ? 'https で ひらいた ページでだけ つかえます'
                : error.name === 'NotAllowedError' ? 'カメラが ゆるされていません' : 'カメラが 見つかりません';
            if (camera === mine) closeCamera(`！ カメラを つかえません（${why}）`);
            return;
        }
        if (camera !== mine) {
            mine.stream.getTracks().forEach((track) => track.stop());
            return;
        }
        view.video.srcObject = mine.stream;
        await view.video.play().catch(() => {});
        page.said.textContent = 'カードの QR コードを カメラに 見せてください';
        mine.timer = setInterval(() => scan(mine), 1000 / SCANS_PER_SECOND);
    }

    async function scan(mine) {
        if (mine.busy || view.video.readyState < 2) return;
        mine.busy = true;
        let found = {};
        try {
            found = await decode(await createImageBitmap(view.video));
        } catch {
            // A frame not ready yet: the next one.
        }
        const now = performance.now();
        for (const text of found.texts ?? []) {
            const last = mine.seen.get(text);
            mine.seen.set(text, now);
            if (camera !== mine || (last !== undefined && now - last < GONE_MS)) continue;
            const result = await take(text);
            if (camera !== mine) break;
            if (result === 'added') {
                beep();
                view.video.classList.remove('read');
                void view.video.offsetWidth;
                view.video.classList.add('read');
            } else if (result === 'known') {
                page.said.textContent = 'この カードは もう 読みました';
            }
        }
        mine.busy = false;
    }

    function closeCamera(said) {
        if (!camera) return;
        clearInterval(camera.timer);
        camera.stream?.getTracks().forEach((track) => track.stop());
        camera = null;
        view.video.srcObject = null;
        showCamera(false);
        page.said.textContent = said;
    }

    function showCamera(open) {
        view.video.hidden = !open;
        // Its name says what it does now, so it is not also a toggle.
        view.camera.textContent = open ? 'カメラを とめる' : 'カメラで 読む';
    }

    // A short high tone, made here: no sound file.
    function beep() {
        const start = sound.currentTime;
        const tone = new OscillatorNode(sound, { frequency: 1320 });
        const level = new GainNode(sound, { gain: 0 });
        level.gain.setValueAtTime(0, start);
        level.gain.linearRampToValueAtTime(0.3, start + 0.01);
        level.gain.exponentialRampToValueAtTime(0.001, start + 0.15);
        tone.connect(level).connect(sound.destination);
        tone.start(start);
        tone.stop(start + 0.16);
    }

    // The camera stops when the page is put away.
    document.addEventListener('visibilitychange', () => {
        if (document.hidden) closeCamera('カメラを とめました');
    });

    return (files) => {
        if (files) readFiles(files);
        else if (camera) closeCamera('カメラを とめました');
        else openCamera();
    };
}
