// The teacher's page's QR code reader, in a worker of its own so that the
// page never waits on it. It is handed a picture (a file, or a frame of the
// camera) and answers with the texts of the QR codes in it. The browser's
// own reader is used where it has one; elsewhere zxing-wasm (ZXing-C++ for
// WebAssembly), fetched from this site when first needed.
'use strict';

// Longer sides are scaled down to this before reading: a QR code of 57
// modules over a tenth of such a picture still has 4 pixels a module.
const LONGEST = 2400;
// A file larger than this is no screenshot nor a phone's photo.
const LARGEST_FILE = 64 * 1024 * 1024;
// Nor is a picture of more pixels than this (a phone's 48-megapixel photo
// has fewer); its header is read before it is decoded, since a tiny file
// may claim 20,000 × 20,000 pixels, 1.6 GB decoded.
const MOST_PIXELS = 64 * 1000 * 1000;
// The codes a picture may hold: a photo of a class's cards side by side.
// One more is looked for, to tell a picture that held more.
const MOST_CODES = 60;

let reader = null;

async function qrReader() {
    if ('BarcodeDetector' in self && (await BarcodeDetector.getSupportedFormats()).includes('qr_code')) {
        const detector = new BarcodeDetector({ formats: ['qr_code'] });
        return async (bitmap) => (await detector.detect(bitmap)).map((code) => code.rawValue).slice(0, MOST_CODES + 1);
    }
    importScripts('zxing_reader.js');
    // Its WebAssembly from this site, never from anywhere else.
    ZXingWASM.prepareZXingModule({
        overrides: { locateFile: (path, prefix) => (path.endsWith('.wasm') ? new URL(path, self.location.href).href : prefix + path) },
        fireImmediately: true,
    });
    // A screenshot's code stands upright and dark on light: looked for so
    // first, eight times faster; turned and inverted only when none is found.
    const upright = { formats: ['QRCode'], tryHarder: true, tryRotate: false, tryInvert: false, maxNumberOfSymbols: MOST_CODES + 1 };
    const any = { ...upright, tryRotate: true, tryInvert: true };
    return async (bitmap) => {
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const pen = canvas.getContext('2d', { willReadFrequently: true });
        pen.drawImage(bitmap, 0, 0);
        const pixels = pen.getImageData(0, 0, bitmap.width, bitmap.height);
        let found = (await ZXingWASM.readBarcodes(pixels, upright)).filter((code) => code.isValid);
        if (!found.length) found = (await ZXingWASM.readBarcodes(pixels, any)).filter((code) => code.isValid);
        return found.map((code) => code.text);
    };
}

// A file's width and height as its header says, for the kinds of picture
// read (PNG, JPEG, WebP, GIF, BMP, AVIF); null for anything else, an SVG
// too, which is never decoded here.
async function sizeOf(file) {
    const at = async (start, length) => new DataView(await file.slice(start, start + length).arrayBuffer());
    const head = await at(0, 32);
    const text = (start, length) => String.fromCharCode(...new Uint8Array(head.buffer, start, Math.min(length, head.byteLength - start)));
    if (head.byteLength < 26) return null;
    if (text(0, 8) === '\x89PNG\r\n\x1a\n' && text(12, 4) === 'IHDR') return [head.getUint32(16), head.getUint32(20)];
    if (text(0, 6) === 'GIF87a' || text(0, 6) === 'GIF89a') return [head.getUint16(6, true), head.getUint16(8, true)];
    if (text(0, 2) === 'BM') return [Math.abs(head.getInt32(18, true)), Math.abs(head.getInt32(22, true))];
    if (text(0, 4) === 'RIFF' && text(8, 4) === 'WEBP' && head.byteLength >= 31) {
        const kind = text(12, 4);
        const bits = head.getUint32(21, true);
        if (kind === 'VP8 ') return [head.getUint16(26, true) & 0x3fff, head.getUint16(28, true) & 0x3fff];
        if (kind === 'VP8L') return [(bits & 0x3fff) + 1, ((bits >>> 14) & 0x3fff) + 1];
        if (kind === 'VP8X') return [1 + (head.getUint32(24, true) & 0xffffff), 1 + (head.getUint32(27, true) & 0xffffff)];
        return null;
    }
    if (text(4, 4) === 'ftyp') {
        // An AVIF's sizes stand in its 'ispe' boxes near its start, one for
        // each image in it (the picture, its tiles, its alpha): the largest
        // is the picture's.
        const start = await at(0, 65536);
        let largest = null;
        for (let i = 0; i + 16 <= start.byteLength; ++i) {
            if (start.getUint32(i) !== 0x69737065) continue;
            const size = [start.getUint32(i + 8), start.getUint32(i + 12)];
            if (!largest || size[0] * size[1] > largest[0] * largest[1]) largest = size;
        }
        return largest;
    }
    if (head.getUint16(0) !== 0xffd8) return null;
    // A JPEG's segments, up to its frame's header (SOF0 to SOF15, but for
    // the markers C4, C8 and CC that share their range); a few dozen come
    // before it, so a file of fill bytes is not walked to its end.
    for (let start = 2, step = 0; start + 9 <= file.size && step < 1000; ++step) {
        const segment = await at(start, 9);
        const marker = segment.getUint16(0);
        if (marker >>> 8 !== 0xff) return null;
        if (marker === 0xffff) ++start;
        else if (marker === 0xff01 || (marker >= 0xffd0 && marker <= 0xffd8)) start += 2;
        else if (marker >= 0xffc0 && marker <= 0xffcf && ![0xffc4, 0xffc8, 0xffcc].includes(marker)) {
            return [segment.getUint16(7), segment.getUint16(5)];
        } else start += 2 + segment.getUint16(2);
    }
    return null;
}

// The picture as a bitmap no longer than LONGEST on either side; a file's
// size is checked before it is decoded.
class TooLarge extends Error {}
async function bitmapOf(picture) {
    if (picture instanceof Blob) {
        if (picture.size > LARGEST_FILE) throw new TooLarge();
        const size = await sizeOf(picture);
        if (!size?.[0] || !size[1]) throw new TypeError('no picture');
        if (size[0] * size[1] > MOST_PIXELS) throw new TooLarge();
    }
    const whole = await createImageBitmap(picture);
    const scale = LONGEST / Math.max(whole.width, whole.height);
    if (scale >= 1) return whole;
    const smaller = await createImageBitmap(whole, {
        resizeWidth: Math.max(1, Math.round(whole.width * scale)),
        resizeHeight: Math.max(1, Math.round(whole.height * scale)),
        resizeQuality: 'high',
    });
    whole.close();
    return smaller;
}

self.addEventListener('message', async ({ data: { id, picture } }) => {
    let bitmap = null;
    try {
        bitmap = await bitmapOf(picture);
    } catch (error) {
        self.postMessage({ id, ...(error instanceof TooLarge ? { large: true } : { unreadable: true }) });
        return;
    }
    try {
        reader ??= qrReader();
        const texts = [...new Set(await (await reader)(bitmap))];
        self.postMessage({ id, texts: texts.slice(0, MOST_CODES), more: texts.length > MOST_CODES });
    } catch {
        reader = null;
        self.postMessage({ id, failed: true });
    } finally {
        bitmap.close();
    }
});
