// The page on a touch screen and by link: taps, the toolbar against the
// keys it stands for, pinches, and drawings shared in the address.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { serve, launch, openPage, canvasPixels, colourNear, countColour, drawnPixels, clickAt, settle,
         desktop, phone, widePhone, tapAt, press } from './browser.mjs';

let server, browser;
before(async () => { server = await serve(); browser = await launch(); });
after(async () => { await browser?.close(); server?.close(); });

// Each page in a context of its own, as a fresh visitor opening a link.
async function withPage(body, options = {}) {
  const context = await browser.createBrowserContext();
  const page = await openPage(context, server, options);
  try {
    await body(page);
    assert.deepEqual(page.problems, []);
  } finally {
    await context.close();
  }
}

const text = (page, selector) => page.$eval(selector, element => element.textContent);
// The drawing as the Share button packs it: map, selections, algorithm, view.
const shareText = page => page.evaluate(() => {
  Module.ccall('vialoomWriteShare', 'string', ['string'], ['/tmp/probe.txt']);
  return new TextDecoder().decode(FS.readFile('/tmp/probe.txt'));
});
const vertexCount = async page => Number((await shareText(page)).match(/\nvertices (\d+)\n/)[1]);
// Below the panels (stats, with its search time) and above the status line.
async function steadyPicture(page) {
  await settle(page);
  const box = await (await page.$('#canvas')).boundingBox();
  return page.screenshot({ encoding: 'base64', clip: { x: box.x, y: box.y + 60, width: 800, height: 510 } });
}

test('on a phone the drawing and every button fit the screen, and a tap adds one vertex', () => withPage(async page => {
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth) <= phone.width, 'no sideways scroll');
  const drawing = await (await page.$('#canvas')).boundingBox();
  assert.ok(drawing.width > 350 && drawing.x >= 0 && drawing.x + drawing.width <= phone.width, `canvas ${drawing.width}`);
  const buttons = await page.$$('#toolbar button');
  assert.ok(buttons.length >= 21, `${buttons.length} buttons`);
  for (const button of buttons) {
    const box = await button.boundingBox();
    const label = await button.evaluate(b => b.textContent);
    assert.ok(box.x >= 0 && box.x + box.width <= phone.width && box.y + box.height <= phone.height, `${label} on screen`);
    assert.ok(box.height >= 30, `${label} big enough for a finger`);
  }

  await tapAt(page, 100, 100);
  await tapAt(page, 300, 400);
  assert.equal(await vertexCount(page), 2, 'one vertex a tap, none from the browser\'s own touch handling');
  // A finger that wanders is no tap.
  const box = drawing;
  await page.touchscreen.touchStart(box.x + 200, box.y + 100);
  await page.touchscreen.touchMove(box.x + 260, box.y + 140);
  await page.touchscreen.touchEnd();
  assert.equal(await vertexCount(page), 2, 'a drag adds nothing');

  await page.setViewport(widePhone);
  const pixels = await canvasPixels(page);
  assert.ok(colourNear(pixels, 'white', 100, 100, 4) && colourNear(pixels, 'white', 300, 400, 4));
}, { viewport: phone }));

test('on a phone Link, Unmark, Start and Goal make the next taps the modified clicks', () => withPage(async page => {
  for (const [x, y] of [[100, 100], [300, 100], [300, 400]]) await tapAt(page, x, y);
  await press(page, 'Link');
  await tapAt(page, 103, 98);
  await tapAt(page, 297, 102);
  await press(page, 'Link');
  assert.equal(await page.$$eval('[aria-pressed=true]', pressed => pressed.length), 0, 'Link stays until pressed again');
  let shared = await shareText(page);
  assert.match(shared, /\nvertices 3\n\S+ \S+ \S+ 1 1\n\S+ \S+ \S+ 1 0\n\S+ \S+ \S+ 0\nmarked 1\n/);
  await press(page, 'Unmark');
  await press(page, 'Start');
  await tapAt(page, 95, 104);
  await press(page, 'Goal');
  await tapAt(page, 305, 96);
  shared = await shareText(page);
  assert.match(shared, /\nstart 0\ngoal 1\nend\n$/, 'start, goal and no mark');
  await tapAt(page, 500, 300);
  assert.equal(await vertexCount(page), 4, 'Start and Goal take one tap only');

  await page.setViewport(widePhone);
  const pixels = await canvasPixels(page);
  assert.ok(colourNear(pixels, 'red', 100, 100) && colourNear(pixels, 'green', 300, 100));
  assert.ok(colourNear(pixels, 'cyan', 200, 100, 1), 'route along the link');
  assert.ok(!colourNear(pixels, 'magenta', 300, 100), 'mark cleared');
}, { viewport: phone }));

test('two fingers never tap; a pinch zooms when the program offers it', () => withPage(async page => {
  await page.keyboard.press('2');
  await page.setViewport(widePhone);
  const before = await canvasPixels(page);
  await page.setViewport(phone);
  const box = await (await page.$('#canvas')).boundingBox();
  const session = await page.createCDPSession();
  const fingers = spread => [{ x: box.x + 190 - spread, y: box.y + 140, id: 1 }, { x: box.x + 190 + spread, y: box.y + 140, id: 2 }];
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: fingers(20) });
  for (let spread = 25; spread <= 80; spread += 5)
    await session.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: fingers(spread) });
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  assert.equal(await vertexCount(page), 1600, 'no vertex added');
  const zooms = await page.evaluate(() => typeof Module._vialoomZoomAt === 'function');
  await page.setViewport(widePhone);
  const after = await canvasPixels(page);
  if (zooms) {
    assert.ok(await page.evaluate(() => window.vialoomPage.gestures) > 0);
    assert.notDeepEqual(after[2], before[2], 'the picture is zoomed');
  }
}, { viewport: phone }));

// The same steps by key (or modified click) in one page and by toolbar in
// another: the pictures must agree after every step.
// Two browsers, as a tab behind another draws no frames.
test('every toolbar button does what its key does', async () => {
  const other = await launch();
  try {
    const keys = await openPage(browser, server);
    const buttons = await openPage(other, server);
    const table = await buttons.$$eval('#toolbar button', all => all.map(b => [b.textContent, b.dataset.does ?? 'share']));
    const byKey = Object.fromEntries(table);
    for (const [label, code] of [['Lattice', '2'], ['Random map', '1'], ['Random route', 'f'], ['Save', 's'],
                                 ['Undo', 'u'], ['Redo', 'r'], ['Search view', 'v'], ['Algorithm', 'm'],
                                 ['Play/pause', ' '], ['Step +1', '.'], ['Step -1', ','], ['Faster', '+'],
                                 ['Slower', '-'], ['SVG picture', 'e'], ['Help', 'h'], ['Brush', 't']])
      assert.equal(byKey[label], `key ${code.charCodeAt(0)}`, label);
    assert.equal(byKey.Inspect, `key-at ${'i'.charCodeAt(0)}`);
    assert.equal(byKey.Share, 'share');
    assert.ok(!table.some(([, does]) => does === `key ${'q'.charCodeAt(0)}`), 'no button quits');

    // Lattices have random gaps: the button's is handed over to the keys' page.
    await keys.keyboard.press('2');
    await press(buttons, 'Lattice');
    assert.equal(await vertexCount(keys), 1600);
    assert.equal(await vertexCount(buttons), 1600);
    const lattice = (await shareText(buttons)).replace(/^[^]*?(?=vialoom-map)/, '');
    assert.equal(await keys.evaluate(map => {
      FS.writeFile('/tmp/lattice.vmap', map);
      return Module.ccall('vialoomOpenMap', 'string', ['string'], ['/tmp/lattice.vmap']);
    }, lattice), '');
    const steps = [
      [() => clickAt(keys, 45, 75, 'Alt'), async () => { await press(buttons, 'Start'); await clickAt(buttons, 45, 75); }],
      [() => clickAt(keys, 450, 375, 'Shift'), async () => { await press(buttons, 'Goal'); await clickAt(buttons, 450, 375); }],
      [() => keys.keyboard.press('v'), () => press(buttons, 'Search view')],
      [() => keys.keyboard.press('.'), () => press(buttons, 'Step +1')],
      [() => keys.keyboard.press('.'), () => press(buttons, 'Step +1')],
      [() => keys.keyboard.press('.'), () => press(buttons, 'Step +1')],
      [() => keys.keyboard.press(','), () => press(buttons, 'Step -1')],
      [() => keys.keyboard.press('m'), () => press(buttons, 'Algorithm')],
      [async () => { await keys.mouse.move(...await canvasSpot(keys, 300, 300)); await keys.keyboard.press('i'); },
       async () => { await press(buttons, 'Inspect'); await clickAt(buttons, 300, 300); }],
      [() => keys.keyboard.press('h'), () => press(buttons, 'Help')],
      [() => keys.keyboard.press('h'), () => press(buttons, 'Help')],
      [() => keys.keyboard.press('u'), () => press(buttons, 'Undo')],
      [() => keys.keyboard.press('u'), () => press(buttons, 'Undo')],
      [() => keys.keyboard.press('r'), () => press(buttons, 'Redo')],
      [() => keys.keyboard.press('m'), () => press(buttons, 'Algorithm')],
    ];
    for (const [index, [byKeys, byButtons]] of steps.entries()) {
      await byKeys();
      await byButtons();
      const [a, b] = await Promise.all([steadyPicture(keys), steadyPicture(buttons)]);
      assert.ok(a === b, `step ${index}: same picture`);
    }
    assert.equal(await shareText(buttons), await shareText(keys), 'same drawing, algorithm and view');
    assert.equal(await buttons.$$eval('[aria-pressed=true]', pressed => pressed.length), 0, 'nothing left armed');

    await press(buttons, 'Save');
    await press(buttons, 'SVG picture');
    await buttons.waitForFunction(() => window.vialoomPage.downloads.length >= 2, { timeout: 5000 })
      .catch(() => undefined);
    const names = await buttons.evaluate(() => window.vialoomPage.downloads);
    assert.equal(names.length, 2, `downloads ${names}`);
    assert.match(names[0], /^vialoom-\d{8}-\d{6}\.vmap$/);
    assert.match(names[1], /\.svg$/);
    assert.deepEqual([...keys.problems, ...buttons.problems], []);
    await keys.close();
  } finally {
    await other.close();
  }
});

async function canvasSpot(page, x, y) {
  const box = await (await page.$('#canvas')).boundingBox();
  return [box.x + x, box.y + y];
}

async function shareLink(page) {
  await page.click('#share');
  await page.waitForFunction(() => window.vialoomPage.shared !== null);
  return page.evaluate(() => window.vialoomPage.shared);
}

test('a shared link reopens the same drawing, algorithm and view in a fresh page', async () => {
  let link, shared, picture;
  await withPage(async page => {
    await page.keyboard.press('2');
    await clickAt(page, 15, 15, 'Alt');
    await clickAt(page, 570, 420, 'Shift');
    await clickAt(page, 300, 300, 'Control');
    await page.keyboard.press('m');
    await page.keyboard.press('m');
    await page.keyboard.press('v');
    await page.evaluate(() => Module._vialoomZoomAt(300, 200, 2));
    shared = await shareText(page);
    assert.match(shared, /^vialoom-share 1\nalgorithm greedy\nsearch-view on\nview 2 150 100\nvialoom-map 1\n(#[^\n]*\n)?vertices 1600\n/);
    picture = await steadyPicture(page);
    link = await shareLink(page);
    assert.match(link, /^http:\/\/127\.0\.0\.1:\d+\/#map=[A-Za-z0-9_-]+$/);
    assert.equal(page.url(), link, 'the link is the address');
    assert.equal(await page.$eval('#share-link', field => field.value), link);
    assert.equal(await page.$eval('#share-box', box => box.hidden), false);
  });
  await withPage(async page => {
    assert.equal(await page.evaluate(() => window.vialoomPage.link), 'opened');
    assert.equal(await text(page, '#message'), '');
    assert.equal(await shareText(page), shared);
    assert.ok(await steadyPicture(page) === picture, 'the same picture');
    const pixels = await canvasPixels(page);
    assert.ok(countColour(pixels, 'black', [0, 0, 400, 40]) > 50, 'stats panel shown');
    // The link's drawing is new work: s saves it under a new name.
    await page.keyboard.press('s');
    await page.waitForFunction(() => window.vialoomPage.downloads.length > 0, { timeout: 5000 });
    assert.match(await page.evaluate(() => window.vialoomPage.downloads[0]), /^vialoom-\d{8}-\d{6}\.vmap$/);
  }, { fragment: link.slice(link.indexOf('#')) });
});

const packed = content => zlib.deflateSync(Buffer.from(content)).toString('base64url');
const twoVertices = 'vialoom-share 1\nalgorithm astar\nsearch-view off\nvialoom-map 1\nvertices 2\n0 0 0 0\n1 1 0 0\nend\n';

test('a damaged or cut link opens an empty page with one message', async () => {
  assert.equal(twoVertices.length, twoVertices.trim().length + 1);
  const whole = packed(twoVertices.replace('vertices 2', 'vertices 2 # fine'));
  const cases = [
    ['#map=' + whole.slice(0, whole.length - 6), /its data does not unpack/],
    ['#map=' + whole.slice(0, 10) + (whole[10] === 'A' ? 'B' : 'A') + whole.slice(11), /./],
    ['#map=' + whole + '@@', /characters a link never has/],
    ['#somewhere', /does not begin with #map=/],
    ['#map=' + Buffer.from('plain text').toString('base64url'), /its data does not unpack/],
    ['#map=' + packed(twoVertices.replace('1 1 0 0\n', '')), /the link's drawing: line 7: /],
    ['#map=' + packed(twoVertices.replace('algorithm astar', 'algorithm fastest')), /line 2: unknown algorithm/],
    ['#map=' + packed('x'.repeat(1032 * 64 * 1024 + 8192)), /unpacks to more than any shared drawing/],
  ];
  for (const [fragment, reason] of cases) {
    await withPage(async page => {
      assert.equal(await page.evaluate(() => window.vialoomPage.link), 'damaged', fragment.slice(0, 40));
      const message = await text(page, '#message');
      assert.match(message, /^vialoom: this link is damaged or cut short \([^\n]+\); nothing was opened$/);
      assert.match(message, reason);
      assert.equal(await vertexCount(page), 0);
      assert.equal(drawnPixels(await canvasPixels(page), [0, 0, 800, 570]), 0);
    }, { fragment });
  }
  // The same link undamaged opens.
  await withPage(async page => {
    assert.equal(await page.evaluate(() => window.vialoomPage.link), 'opened');
    assert.equal(await vertexCount(page), 2);
  }, { fragment: '#map=' + whole });
});

test('a drawing too large for a link is offered as a .vmap download', () => withPage(async page => {
  const side = 200;
  const grid = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'vialoom-')), 'large.map');
  fs.writeFileSync(grid, `type octile\nheight ${side}\nwidth ${side}\nmap\n` + `${'.'.repeat(side)}\n`.repeat(side));
  await (await page.$('#open')).uploadFile(grid);
  await page.waitForFunction(() => window.vialoomPage.opened > 0, { timeout: 20000 });
  const address = page.url();
  assert.equal(await shareLink(page), '');
  assert.equal(page.url(), address, 'the address is left alone');
  assert.match(await text(page, '#share-note'), /^This drawing is too large for a link \(\d+ KiB packed, a link holds 64 KiB\)/);
  assert.equal(await page.$eval('#share-link', field => field.hidden), true);
  await page.click('#share-download');
  await page.waitForFunction(() => window.vialoomPage.downloads.length > 0, { timeout: 5000 });
  assert.equal(await page.evaluate(() => window.vialoomPage.downloads[0]), 'large.vmap');
}));
