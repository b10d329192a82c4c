// Prints the page's sizes and speeds in headless chromium: the .wasm and .js,
// the first frame after loading, and frames a second on the lattice with a
// route, or on the map file given as the argument.
//   node web/test/measure.mjs [MAP]
import fs from 'node:fs';
import path from 'node:path';
import { serve, launch, openPage, buildDir } from './browser.mjs';

const seconds = 5;
const size = name => (fs.statSync(path.join(buildDir, name)).size / 1024).toFixed(0) + ' KiB';

async function framesPerSecond(page) {
  const start = await page.evaluate(() => [window.vialoomPage.frames, performance.now()]);
  await new Promise(resolve => setTimeout(resolve, seconds * 1000));
  const end = await page.evaluate(() => [window.vialoomPage.frames, performance.now()]);
  return ((end[0] - start[0]) * 1000 / (end[1] - start[1])).toFixed(1);
}

const server = await serve();
const browser = await launch();
try {
  console.log(`vialoom.wasm ${size('vialoom.wasm')}, vialoom.js ${size('vialoom.js')}`);
  const firsts = [];
  for (let run = 0; run < 5; ++run) {
    const page = await openPage(browser, server);
    firsts.push(await page.evaluate(() => window.vialoomPage.firstFrameMs));
    await page.close();
  }
  firsts.sort((a, b) => a - b);
  console.log(`first frame: median ${firsts[2].toFixed(0)} ms after navigation (of 5 loads)`);

  const page = await openPage(browser, server);
  await page.keyboard.press('2');
  await page.keyboard.press('f');
  console.log(`lattice with a route: ${await framesPerSecond(page)} frames a second`);
  if (process.argv[2]) {
    const started = performance.now();
    await (await page.$('#open')).uploadFile(path.resolve(process.argv[2]));
    await page.waitForFunction(() => window.vialoomPage.opened > 0, { timeout: 600000 });
    await page.waitForFunction(n => window.vialoomPage.frames > n + 2, { timeout: 600000 },
                               await page.evaluate(() => window.vialoomPage.frames));
    console.log(`${path.basename(process.argv[2])}: opened in ${((performance.now() - started) / 1000).toFixed(1)} s, ` +
                `${await framesPerSecond(page)} frames a second; ` +
                (await page.$eval('#message', m => m.textContent) || 'no message'));
  }
} finally {
  await browser.close();
  server.close();
}
