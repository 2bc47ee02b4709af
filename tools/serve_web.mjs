#!/usr/bin/env node
// Serves a folder on the loopback address only, for playing the browser
// edition on this machine and for its tests. Only GET and HEAD of files
// inside the folder; nothing is logged or kept.
//
//   node tools/serve_web.mjs FOLDER [PORT] [--open]
//
// PORT 0 or none: any free port; --open: open a browser at the address.

import { spawn, spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { readFile, stat } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.wasm': 'application/wasm',
    '.woff2': 'font/woff2',
    '.gif': 'image/gif',
    '.png': 'image/png',
    '.webmanifest': 'application/manifest+json',
};

// Resolves with the running server and its address; `requests` lists the
// paths asked for, in order.
export function serve(folder, port = 0) {
    const root = resolve(folder);
    const requests = [];
    const server = createServer(async (request, response) => {
        const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
        requests.push(path);
        const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
        if ((request.method !== 'GET' && request.method !== 'HEAD') || !file.startsWith(root + sep)) {
            response.writeHead(405).end();
            return;
        }
        try {
            // Browsers ask again each time (no-cache) and get "not modified"
            // for a file they already hold.
            const { size, mtimeMs } = await stat(file);
            const tag = `"${size.toString(16)}-${Math.floor(mtimeMs).toString(16)}"`;
            const headers = { 'Cache-Control': 'no-cache', ETag: tag, 'X-Content-Type-Options': 'nosniff' };
            if (request.headers['if-none-match'] === tag) {
                response.writeHead(304, headers).end();
                return;
            }
            const body = await readFile(file);
            response.writeHead(200, {
                ...headers,
                'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream',
                'Content-Length': body.length,
            });
            response.end(request.method === 'HEAD' ? undefined : body);
        } catch {
            response.writeHead(404).end();
        }
    });
    return new Promise((done, fail) => {
        server.once('error', fail);
        server.listen(port, '127.0.0.1', () => {
            const address = `http://127.0.0.1:${server.address().port}/`;
            done({ server, address, requests, close: () => new Promise((closed) => { server.close(closed); server.closeAllConnections(); }) });
        });
    });
}

// A browser for the address, where the desktop has one; none is fine.
function openBrowser(address) {
    if (!process.env.DISPLAY && !process.env.WAYLAND_DISPLAY) return;
    for (const command of ['xdg-open', 'sensible-browser', 'chromium']) {
        const found = spawnSync('sh', ['-c', `command -v ${command}`]).status === 0;
        if (found) {
            spawn(command, [address], { detached: true, stdio: 'ignore' }).unref();
            return;
        }
    }
}

if (import.meta.url === pathToFileURL(process.argv[1] ?? '').href) {
    const args = process.argv.slice(2);
    const open = args.includes('--open');
    const [folder, port] = args.filter((a) => a !== '--open');
    if (!folder) {
        console.error('usage: serve_web.mjs FOLDER [PORT] [--open]');
        process.exit(2);
    }
    // The same port each time keeps the same origin, and with it the
    // offline copy; if it is taken, any free one.
    const served = await serve(folder, Number(port ?? 0)).catch(() => serve(folder, 0));
    console.log(`ペルモロプラス: ${served.address}`);
    if (open) openBrowser(served.address);
}
