import { serve, launch, openPage } from './browser.mjs';
const server = await serve(); const browser = await launch();
const page = await openPage(browser, server);
page.on('console', m => console.log('console', m.type(), m.text().slice(0, 200)));
await (await page.$('#open')).uploadFile(process.argv[2]);
await page.waitForFunction(() => window.vialoomPage.opened > 0, { timeout: 600000 });
for (let i = 0; i < 6; ++i) {
  await new Promise(r => setTimeout(r, 5000));
  console.log(await page.evaluate(() => [window.vialoomPage.frames, performance.now()]));
}
await page.screenshot({ path: '/tmp/web2dbg/million.png', clip: { x: 0, y: 0, width: 820, height: 620 } });
console.log(page.problems, await page.$eval('#message', e => e.textContent));
await browser.close(); server.close();
