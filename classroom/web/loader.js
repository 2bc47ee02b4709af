// What the teacher's page fetches only when it is first needed: a module
// of the page, a module compiled from the program (its script and its
// WebAssembly), a style sheet. Each is asked for once; one that failed to
// come is asked for again the next time.
const asked = new Map();

function once(key, fetch) {
    if (!asked.has(key)) {
        const coming = fetch();
        coming.catch(() => asked.delete(key));
        asked.set(key, coming);
    }
    return asked.get(key);
}

// A module of the page ('teacher_cards.js'): what it exports.
export const part = (file) => once(file, () => import(`./${file}`));

// A module of the program ('teacher_class'), started.
export const program = (name) => once(`${name}.js`, () => import(`./${name}.js`).then((made) => made.default()));

// A style sheet, added to the page: its element, once it has come.
export const style = (href) => once(href, () => new Promise((resolve, reject) => {
    const sheet = Object.assign(document.createElement('link'), { rel: 'stylesheet', href });
    sheet.addEventListener('load', () => resolve(sheet));
    sheet.addEventListener('error', () => { sheet.remove(); reject(new Error(href)); });
    document.head.append(sheet);
}));
