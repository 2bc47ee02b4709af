// The teacher's page's QR codes: the game's link on screen, on the
// projector and on paper. Error correction M; qrcode-generator encodes, and
// the modules are drawn here, on a canvas or as shapes that print sharp.
import qrcode from './qrcode_module.js';

const QUIET = 4;  // modules of white around the code

function modules(text) {
    const code = qrcode(0, 'M');
    code.addData(text);
    code.make();
    return code;
}

// On a canvas, `scale` pixels a module.
export function drawCode(canvas, text, scale = 8) {
    const code = modules(text);
    const n = code.getModuleCount();
    const side = (n + 2 * QUIET) * scale;
    canvas.width = side;
    canvas.height = side;
    const pen = canvas.getContext('2d');
    pen.fillStyle = '#FFFFFF';
    pen.fillRect(0, 0, side, side);
    pen.fillStyle = '#000000';
    for (let r = 0; r < n; ++r) {
        for (let c = 0; c < n; ++c) {
            if (code.isDark(r, c)) pen.fillRect((c + QUIET) * scale, (r + QUIET) * scale, scale, scale);
        }
    }
}

// As an SVG picture a screen reader calls `label`, one unit a module.
export function codePicture(text, label) {
    const code = modules(text);
    const n = code.getModuleCount();
    let path = '';
    for (let r = 0; r < n; ++r) {
        for (let c = 0; c < n; ++c) if (code.isDark(r, c)) path += `M${c} ${r}h1v1h-1z`;
    }
    const svg = (tag, attributes) => {
        const made = document.createElementNS('http://www.w3.org/2000/svg', tag);
        for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
        return made;
    };
    const side = n + 2 * QUIET;
    const picture = svg('svg', { viewBox: `${-QUIET} ${-QUIET} ${side} ${side}`, role: 'img', 'aria-label': label });
    picture.append(svg('rect', { x: -QUIET, y: -QUIET, width: side, height: side, fill: '#FFFFFF' }),
        svg('path', { d: path, fill: '#000000', 'shape-rendering': 'crispEdges' }));
    return picture;
}
