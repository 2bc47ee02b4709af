// Takes the pictures of the game window's geometries that docs/ shows: the
// browser edition mid-game on the manual clock, in each shape of screen.
// Needs the built site (cmake --build --preset web) and tests/web's
// node_modules (npm ci there).
//
//   node tools/shoot_layouts.mjs [OUT_DIR]     (default docs/)
import { join } from 'node:path';

import { advance, closeAll, course, handOver, launch, openSite } from '../tests/web/support.mjs';

const out = process.argv[2] ?? join(import.meta.dirname ?? '.', '..', 'docs');
const SHOTS = [
    ['layout-design.png', 612, 491, false],
    ['layout-portrait.png', 360, 640, true],
    ['layout-tablet.png', 480, 640, true],
    ['layout-low.png', 640, 360, true],
];

const browser = await launch();
try {
    for (const [file, width, height, touch] of SHOTS) {
        const { page } = await openSite(browser, { viewport: { width, height }, hasTouch: touch });
        await handOver(page);
        await course(page, 'い ぬ').click();
        await advance(page, 2300);
        await page.locator('section.window').screenshot({ path: join(out, file) });
        console.log(join(out, file));
    }
} finally {
    await closeAll();
    await browser.close();
}
