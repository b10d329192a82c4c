// Writes docs/web.png: the page in headless chromium with a long route on the lattice.
import path from 'node:path';
import { serve, launch, openPage, canvasPixels, countColour, buildDir } from './browser.mjs';

const output = path.resolve(buildDir, '../docs/web.png');
const server = await serve();
const browser = await launch();
try {
  const page = await openPage(browser, server);
  await page.keyboard.press('2');
  let cyan = 0;
  for (let tries = 0; tries < 60 && cyan < 400; ++tries) {
    await page.keyboard.press('f');
    cyan = countColour(await canvasPixels(page), 'cyan');
  }
  if (cyan < 400) throw new Error('no long route turned up');
  await page.mouse.move(0, 0);
  await page.screenshot({ path: output, clip: { x: 0, y: 0, width: 1420, height: 900 } });
  console.log(output);
} finally {
  await browser.close();
  server.close();
}
