// Pictures like a child's screenshot of a result card, for reading on the
// teacher's page: a coloured screen with a few lines of text and a QR code
// of the text given (none for null, one beside the other for a list),
// drawn with Debian's qrcode-generator in a blank page of the browser.
import { readFileSync } from 'node:fs';

const QRCODE_JS = '/usr/share/nodejs/qrcode-generator/qrcode.js';

// Valid cards' QR texts, as docs/result-card.md writes one: they differ in
// the device's time, which no check ties to the rest.
export const CARD_TEXT = 'PMR1/V778KMH71XD8DYYTRN/46/60/100/202612091030/4/23:4/times:7;div:2-9:rem';
export const cardTexts = (count) => Array.from({ length: count }, (_, k) => CARD_TEXT.replace('/202612091030/',
    `/20261209${String(10 + Math.floor(k / 60)).padStart(2, '0')}${String(k % 60).padStart(2, '0')}/`));

// One Buffer a picture: { text, width, height, type ('image/png' or
// 'image/jpeg'), module (pixels a module), noise (a background of random
// pixels, as heavy as a photo), screen (a PNG Buffer, a screenshot drawn
// at the top left in place of the lines of text), columns (the codes of a
// list in rows of so many, from the top; one row unless told) }.
export async function cardPictures(browser, pictures) {
    const context = await browser.newContext();
    const page = await context.newPage();
    try {
        await page.addScriptTag({ content: readFileSync(QRCODE_JS, 'utf8') });
        const encoded = await page.evaluate(async (list) => {
            const out = [];
            for (const { text, width = 800, height = 600, type = 'image/png', module = 4, noise = false, screen, columns = Infinity } of list) {
                const canvas = new OffscreenCanvas(width, height);
                const pen = canvas.getContext('2d');
                pen.fillStyle = '#C0FFC0';
                pen.fillRect(0, 0, width, height);
                if (noise) {
                    const pixels = pen.getImageData(0, 0, width, height);
                    for (let i = 0; i < pixels.data.length; i += 65536) crypto.getRandomValues(pixels.data.subarray(i, i + 65536));
                    for (let i = 3; i < pixels.data.length; i += 4) pixels.data[i] = 255;
                    pen.putImageData(pixels, 0, 0);
                }
                pen.fillStyle = '#000000';
                if (screen) {
                    const png = Uint8Array.from(atob(screen), (c) => c.charCodeAt(0));
                    pen.drawImage(await createImageBitmap(new Blob([png], { type: 'image/png' })), 0, 0);
                } else {
                    pen.font = `${Math.round(height / 12)}px sans-serif`;
                    pen.fillText('けっか', width * 0.05, height * 0.15);
                    pen.font = `${Math.round(height / 20)}px sans-serif`;
                    ['得点 100', 'できた 12  まちがい 2', 'V778 KMH7 1XDK HFMW QY'].forEach((line, i) =>
                        pen.fillText(line, width * 0.05, height * (0.35 + 0.12 * i)));
                }
                const codes = [text ?? []].flat().map((one) => {
                    const code = qrcode(0, 'M');
                    code.addData(one);
                    code.make();
                    return code;
                });
                const rows = Math.ceil(codes.length / columns);
                const cell = Math.max(0, ...codes.map((code) => (code.getModuleCount() + 10) * module));
                let right;
                for (const [k, code] of codes.entries()) {
                    if (k % columns === 0) right = width * 0.95;
                    const count = code.getModuleCount();
                    const side = (count + 8) * module;
                    const left = right - side;
                    const top = rows > 1 ? (height - rows * cell) / 2 + Math.floor(k / columns) * cell : (height - side) / 2;
                    right = left - 2 * module;
                    pen.fillStyle = '#FFFFFF';
                    pen.fillRect(left, top, side, side);
                    pen.fillStyle = '#000000';
                    for (let r = 0; r < count; ++r) {
                        for (let c = 0; c < count; ++c) {
                            if (code.isDark(r, c)) pen.fillRect(left + (c + 4) * module, top + (r + 4) * module, module, module);
                        }
                    }
                }
                const blob = await canvas.convertToBlob({ type, quality: 0.92 });
                const bytes = new Uint8Array(await blob.arrayBuffer());
                let binary = '';
                for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
                out.push(btoa(binary));
            }
            return out;
        }, pictures.map((p) => (p.screen ? { ...p, screen: p.screen.toString('base64') } : p)));
        return encoded.map((text) => Buffer.from(text, 'base64'));
    } finally {
        await context.close();
    }
}
