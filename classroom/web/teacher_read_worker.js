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
// The codes a picture may hold: a screenshot of several cards.
const MOST_CODES = 12;

let reader = null;

async function qrReader() {
    if ('BarcodeDetector' in self && (await BarcodeDetector.getSupportedFormats()).includes('qr_code')) {
        const detector = new BarcodeDetector({ formats: ['qr_code'] });
        return async (bitmap) => (await detector.detect(bitmap)).map((code) => code.rawValue);
    }
    importScripts('zxing_reader.js');
    // Its WebAssembly from this site, never from anywhere else.
    ZXingWASM.prepareZXingModule({
        overrides: { locateFile: (path, prefix) => (path.endsWith('.wasm') ? new URL(path, self.location.href).href : prefix + path) },
        fireImmediately: true,
    });
    // A screenshot's code stands upright and dark on light: looked for so
    // first, eight times faster; turned and inverted only when none is found.
    const upright = { formats: ['QRCode'], tryHarder: true, tryRotate: false, tryInvert: false, maxNumberOfSymbols: MOST_CODES };
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

// The picture as a bitmap no longer than LONGEST on either side.
async function bitmapOf(picture) {
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
        if (picture instanceof Blob && picture.size > LARGEST_FILE) throw new RangeError('too large');
        bitmap = await bitmapOf(picture);
    } catch {
        self.postMessage({ id, unreadable: true });
        return;
    }
    try {
        reader ??= qrReader();
        const texts = await (await reader)(bitmap);
        self.postMessage({ id, texts: [...new Set(texts)] });
    } catch {
        reader = null;
        self.postMessage({ id, failed: true });
    } finally {
        bitmap.close();
    }
});
