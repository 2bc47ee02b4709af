import { chromium } from 'playwright-core';
import { serve } from './support.mjs';
const server = await serve('/work/main/build/web/site');
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
for (const [w, h] of [[412, 823], [820, 1180], [1280, 900]]) {
  for (const file of ['teacher.html', '']) {
    const page = await browser.newPage({ viewport: { width: w, height: h } });
    await page.addInitScript(() => { window.shifts = []; new PerformanceObserver((l) => { for (const e of l.getEntries()) if (!e.hadRecentInput) window.shifts.push([e.startTime|0, e.value.toFixed(4), e.sources.map((s) => s.node?.id || s.node?.nodeName || '?').join(' ')]); }).observe({ type: 'layout-shift', buffered: true }); });
    await page.goto(server.address + file);
    await page.waitForTimeout(3000);
    console.log(w, h, file || 'index', JSON.stringify(await page.evaluate(() => window.shifts)));
    await page.close();
  }
}
await browser.close(); await server.close();
