import { launch, serve, SITE } from './support.mjs';
const browser = await launch();
const site = await serve(SITE);
for (let run = 0; run < 4; ++run) {
  const context = await browser.newContext({ viewport: { width: 612, height: 491 } });
  const page = await context.newPage();
  await page.addInitScript(() => { new MutationObserver(() => { if (document.title === 'オープニング' && !window.openingAt) window.openingAt = performance.now(); }).observe(document, { subtree: true, childList: true, characterData: true }); });
  await page.goto(site.address);
  await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0);
  const r = await page.evaluate(() => {
    const nav = performance.getEntriesByType('navigation')[0];
    const res = performance.getEntriesByType('resource').map((e) => `${e.name.split('/').pop()}:${e.startTime.toFixed(0)}-${e.responseEnd.toFixed(0)}`);
    return { resp: nav.responseEnd.toFixed(0), dcl: nav.domContentLoadedEventEnd.toFixed(0), opening: window.openingAt?.toFixed(0), fcp: performance.getEntriesByName('first-contentful-paint')[0].startTime.toFixed(0), res };
  });
  console.log(JSON.stringify(r));
  await context.close();
}
await browser.close(); await site.close();
