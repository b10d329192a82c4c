// The web page in a real headless chromium: start-up, mouse and keys drawn
// where expected, files in and out, and quitting.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve, launch, openPage, canvasPixels, colourNear, countColour, drawnPixels, clickAt, settle } from './browser.mjs';

let server, browser;
before(async () => { server = await serve(); browser = await launch(); });
after(async () => { await browser?.close(); server?.close(); });

async function withPage(body, owner = browser) {
  const page = await openPage(owner, server);
  try {
    await body(page);
    assert.deepEqual(page.problems, []);
  } finally {
    await page.close();
  }
}

const text = (page, selector) => page.$eval(selector, element => element.textContent);
const testData = fileURLToPath(new URL('../../tests/data', import.meta.url));
// The version the page must show is the one in the project() line.
const projectVersion = fs.readFileSync(new URL('../../CMakeLists.txt', import.meta.url), 'utf8')
  .match(/^project\(vialoom VERSION ([0-9.]+)/m)[1];

test('starts grey and focused, printing the usage text as the desktop does', () => withPage(async page => {
  const output = await text(page, '#output');
  assert.match(output, /^使い方:\n\[キー\]\n1:\tランダムなマップを生成\n/);
  assert.match(output, /ALT\+クリック:\t一番近い頂点をスタートに設定\n$/);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas');
  const pixels = await canvasPixels(page);
  assert.deepEqual([pixels[0], pixels[1]], [800, 600]);
  assert.equal(drawnPixels(pixels), 0);
}));

test('the list of keys is the program\'s own key table, row for row', () => withPage(async page => {
  const shown = await page.$$eval('#keys tr', rows => rows.map(row => [...row.cells].map(cell => cell.textContent).join('\t')));
  const table = await page.evaluate(() => Module.ccall('vialoomKeyTable', 'string', [], []));
  assert.deepEqual(shown, ['Input\tAction', ...table.split('\n').slice(0, -1)]);
  // Rows as --help prints them, two spaces and keys in 14 columns there.
  for (const row of ['Keys (a letter and its capital do the same)', 'u, CTRL+Z\tundo', '.  ,\treplay one expansion forward, back',
                     'q, ESC\tquit (unsaved work is kept)', 'Mouse', 'ALT+click\tmake the nearest vertex the start'])
    assert.ok(shown.includes(row), row);
  assert.equal(shown.length, 1 + 35);
  assert.match(await text(page, 'aside'), /s downloads the map \(\.vmap\) and e the picture \(\.svg\)/);
  assert.equal(await text(page, '#about'), `Vialoom ${projectVersion}, under the MIT licence.`);
}));

test('keys 3 and 4 make a maze and rooms with a route, c splits the view', () => withPage(async page => {
  for (const key of ['3', '4']) {
    await page.keyboard.press(key);
    const pixels = await canvasPixels(page);
    assert.ok(countColour(pixels, 'cyan') > 300, `a long route across the map of ${key}`);
    assert.ok(colourNear(pixels, 'red', 0, 0, 2) || colourNear(pixels, 'green', 585, 585, 2), `corners of ${key}`);
  }
  await page.keyboard.press('c');
  const split = await canvasPixels(page);
  // The map at half size in each half: the right one reaches where the whole map never does.
  assert.ok(drawnPixels(split, [600, 160, 690, 430]) > 1000, 'the right half shows the map');
}));

test('clicks draw points, links, the mark, start, goal and route', () => withPage(async page => {
  await clickAt(page, 100, 100);
  await clickAt(page, 300, 100);
  await clickAt(page, 300, 400);
  let pixels = await canvasPixels(page);
  assert.ok(colourNear(pixels, 'white', 100, 100) && colourNear(pixels, 'white', 300, 400));

  await clickAt(page, 102, 98, 'Control');
  await clickAt(page, 298, 103, 'Control');
  pixels = await canvasPixels(page);
  assert.ok(colourNear(pixels, 'orange', 200, 100, 1), 'link drawn');
  assert.ok(colourNear(pixels, 'magenta', 300, 100), 'second CTRL+click is marked');
  assert.ok(!colourNear(pixels, 'orange', 300, 250, 2), 'unlinked pair stays apart');

  await clickAt(page, 500, 500, null, 'right');
  await clickAt(page, 95, 105, 'Alt');
  await clickAt(page, 305, 95, 'Shift');
  pixels = await canvasPixels(page);
  assert.ok(!colourNear(pixels, 'magenta', 300, 100), 'right click clears the mark');
  assert.ok(colourNear(pixels, 'red', 100, 100) && colourNear(pixels, 'green', 300, 100));
  assert.ok(colourNear(pixels, 'cyan', 200, 100, 1), 'route along the link');
  const menuShown = await page.$eval('#canvas', canvas =>
    canvas.dispatchEvent(new MouseEvent('contextmenu', { bubbles: true, cancelable: true, button: 2 })));
  assert.equal(menuShown, false, 'no context menu over the drawing');
}));

// Zooming 1.25^3 about (100, 100), as the page does for a pinch: a click at
// (200, 100) then lands on the map at (151.2, 100), where it shows after 0.
test('the page zooms about a point and clicks land on the map point under it', () => withPage(async page => {
  await clickAt(page, 100, 100);
  await page.evaluate(() => Module._vialoomZoomAt(100, 100, 1.953125));
  await clickAt(page, 200, 100);
  let pixels = await canvasPixels(page);
  assert.ok(colourNear(pixels, 'white', 100, 100, 1) && colourNear(pixels, 'white', 200, 100, 1));
  await page.keyboard.press('0');
  pixels = await canvasPixels(page);
  assert.ok(colourNear(pixels, 'white', 151, 100, 1), 'the zoomed click at its map point');
  assert.ok(!colourNear(pixels, 'white', 200, 100, 2), 'nothing at the window pixel clicked');
}));

test('keys 1, 2 and f make maps and a route, letters in either case', () => withPage(async page => {
  await page.keyboard.press('1');
  let pixels = await canvasPixels(page);
  assert.ok(drawnPixels(pixels) > 100, 'random map');

  await page.keyboard.press('2');
  pixels = await canvasPixels(page);
  // 40 x 40 points 15 pixels apart from the top-left corner; nothing beyond.
  assert.ok(drawnPixels(pixels, [0, 0, 590, 590]) > 5000);
  assert.equal(drawnPixels(pixels, [600, 0, 800, 600]), 0);
  for (const [x, y] of [[0, 0], [150, 300], [585, 585]])
    assert.ok(colourNear(pixels, 'white', x, y, 1) || colourNear(pixels, 'orange', x, y, 1), `lattice point ${x},${y}`);

  let routed = false;
  for (let tries = 0; tries < 20 && !routed; ++tries) {
    await page.keyboard.press(tries % 2 ? 'F' : 'f');
    routed = countColour(await canvasPixels(page), 'cyan') > 30;
  }
  assert.ok(routed, 'a cyan route appears');
}));

// Above the status line, which comes and goes with messages.
const scene = [0, 0, 800, 570];
const sceneBytes = pixels => pixels[2].slice(0, 800 * 570 * 4);

test('u, r, CTRL+Z and CTRL+Y undo and redo; v and h show the search view and help', () => withPage(async page => {
  await page.keyboard.press('2');
  await page.keyboard.press('u');
  assert.equal(drawnPixels(await canvasPixels(page), scene), 0, 'u undoes the lattice');
  await page.keyboard.press('r');
  assert.ok(drawnPixels(await canvasPixels(page), scene) > 5000, 'r redoes it');
  for (const [key, drawn] of [['z', false], ['y', true]]) {
    await page.keyboard.down('Control');
    await page.keyboard.press(key);
    await page.keyboard.up('Control');
    assert.equal(drawnPixels(await canvasPixels(page), scene) > 5000, drawn, `CTRL+${key}`);
  }

  let viewed = false;
  for (let tries = 0; tries < 20 && !viewed; ++tries) {
    await page.keyboard.press('f');
    await page.keyboard.press('v');
    const pixels = await canvasPixels(page);
    viewed = countColour(pixels, 'expanded') > 20 && countColour(pixels, 'waiting') > 20;
    if (viewed) assert.ok(countColour(pixels, 'black', [0, 0, 400, 40]) > 50, 'stats text over the view');
    else await page.keyboard.press('v');
  }
  assert.ok(viewed, 'explored and waiting points shown');
  await page.keyboard.press('h');
  assert.ok(countColour(await canvasPixels(page), 'black', [250, 150, 550, 450]) > 200, 'help text');
  await page.keyboard.press('h');
  await page.keyboard.press('m');
  assert.ok(countColour(await canvasPixels(page), 'yellow', [0, 570, 800, 600]) > 20, 'status line text');
}));

test('a bad map file is refused in one line and changes nothing', () => withPage(async page => {
  await page.keyboard.press('2');
  const before = await canvasPixels(page);
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'vialoom-')), 'bad.vmap');
  fs.writeFileSync(file, 'not a map\n');
  await (await page.$('#open')).uploadFile(file);
  await page.waitForFunction(() => document.getElementById('message').textContent !== '');
  assert.match(await text(page, '#message'), /^vialoom: \S*bad\.vmap(:\d+)?: [^\n]+$/);
  assert.deepEqual((await canvasPixels(page))[2], before[2]);
  page.problems = page.problems.filter(problem => !problem.includes('bad.vmap'));
}));

test('s downloads a .vmap that opens back into the same scene; e downloads the picture', () => withPage(async page => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vialoom-'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await page.keyboard.press('2');
  const before = await canvasPixels(page);
  await page.keyboard.press('S');
  await page.waitForFunction(() => window.vialoomPage.downloads.length > 0, { timeout: 5000 });
  const name = await page.evaluate(() => window.vialoomPage.downloads[0]);
  assert.match(name, /^vialoom-\d{8}-\d{6}\.vmap$/);
  for (let i = 0; i < 50 && !fs.existsSync(path.join(folder, name)); ++i) await new Promise(r => setTimeout(r, 100));
  assert.match(fs.readFileSync(path.join(folder, name), 'utf8'), /^vialoom-map 1\n[^]*\nvertices 1600\n/);
  await page.keyboard.press('1');
  await (await page.$('#open')).uploadFile(path.join(folder, name));
  await settle(page);
  assert.equal(await text(page, '#message'), '');
  assert.deepEqual(sceneBytes(await canvasPixels(page)), sceneBytes(before));
  await page.keyboard.press('e');
  await page.waitForFunction(() => window.vialoomPage.downloads.length > 1, { timeout: 5000 });
  assert.match(await page.evaluate(() => window.vialoomPage.downloads[1]), /\.svg$/);
}));

test('a map with given costs and painted ground opens and saves back byte for byte', () => withPage(async page => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vialoom-'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await (await page.$('#open')).uploadFile(path.join(testData, 'dear.vmap'));
  await settle(page);
  assert.equal(await text(page, '#message'), '');
  await page.keyboard.press('S');
  await page.waitForFunction(() => window.vialoomPage.downloads.length > 0, { timeout: 5000 });
  const name = await page.evaluate(() => window.vialoomPage.downloads[0]);
  for (let i = 0; i < 50 && !fs.existsSync(path.join(folder, name)); ++i) await new Promise(r => setTimeout(r, 100));
  assert.equal(fs.readFileSync(path.join(folder, name), 'utf8'), fs.readFileSync(path.join(testData, 'dear.vmap'), 'utf8'));
}));

test('a Moving AI map opens by the picker and a .vmap by dropping it', () => withPage(async page => {
  // 160,000 open cells: far more points and links than one GL run can hold.
  const side = 400;
  const grid = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'vialoom-')), 'open.map');
  fs.writeFileSync(grid, `type octile\nheight ${side}\nwidth ${side}\nmap\n` + `${'.'.repeat(side)}\n`.repeat(side));
  await (await page.$('#open')).uploadFile(grid);
  await page.waitForFunction(() => window.vialoomPage.opened > 0, { timeout: 20000 });
  assert.equal(await text(page, '#message'), '');
  const pixels = await canvasPixels(page);
  const opened = drawnPixels(pixels, scene);
  assert.ok(countColour(pixels, 'orange', [200, 100, 600, 500]) > 150000, 'links cover the grid');
  const vmap = fs.readFileSync(path.join(testData, 'triangle.vmap'), 'utf8');
  await page.$eval('#canvas', (canvas, content) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([content], 'triangle.vmap'));
    canvas.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, vmap);
  await page.waitForFunction(n => window.vialoomPage.frames > n + 3, {}, await page.evaluate(() => window.vialoomPage.frames));
  const dropped = drawnPixels(await canvasPixels(page), scene);
  assert.ok(dropped > 0 && dropped !== opened, `${dropped} pixels of the triangle`);
}));

test('unsaved work is kept in browser storage and offered on the next visit', async () => {
  const context = await browser.createBrowserContext();
  await withPage(async page => {
    await clickAt(page, 200, 200);
    await page.evaluate(() => {
      Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    });
    await page.waitForFunction(() => window.vialoomPage.stored > 0);
    await page.reload();
    await page.waitForSelector('#recovery:not([hidden])');
    await page.waitForFunction(() => window.vialoomPage.ready && window.vialoomPage.frames > 0);
    assert.equal(drawnPixels(await canvasPixels(page), scene), 0);
    await page.click('#recovery-restore');
    assert.ok(colourNear(await canvasPixels(page), 'white', 200, 200), 'point restored');
    assert.equal(await page.$eval('#recovery', offer => offer.hidden), true);
  }, context).finally(() => context.close());
});

for (const key of ['q', 'Q', 'Escape']) {
  test(`${key} ends the program and the page offers to start again`, () => withPage(async page => {
    await page.keyboard.press(key);
    await page.waitForSelector('#ended:not([hidden])');
    assert.equal(await page.evaluate(() => window.vialoomPage.exitStatus), 0);
    await page.click('#restart');
    await page.waitForFunction(() => window.vialoomPage?.ready && !window.vialoomPage.ended);
  }));
}
