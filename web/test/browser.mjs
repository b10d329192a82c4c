// Shared by the browser tests, the screenshot and the measurements: serves
// build-web/ on a free loopback port and opens the page in headless chromium.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

export const buildDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../build-web');
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm' };

export function serve() {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://x').pathname) || 'index.html';
    fs.readFile(path.join(buildDir, name), (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(name)] || 'text/plain' });
      response.end(error ? '' : data);
    });
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

export function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Root has no sandbox here; WebGL comes from chromium's software renderer.
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
           '--window-size=1500,900'],
  });
}

export const desktop = { width: 1500, height: 900 };
// A phone held upright, with a touch screen and no keys.
export const phone = { width: 390, height: 844, isMobile: true, hasTouch: true };
// The same touch screen as wide as the desktop, to look at the drawing full
// size: changing isMobile or hasTouch would reload the page.
export const widePhone = { ...phone, width: desktop.width, height: desktop.height };

// Opens the page (at the address's fragment, if given) and waits until the
// program has drawn its first frame and opened any link. Console errors and
// page errors are collected in page.problems.
export async function openPage(browser, server, { viewport = desktop, fragment = '' } = {}) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  page.problems = [];
  page.on('console', m => { if (m.type() === 'error') page.problems.push(m.text()); });
  page.on('pageerror', e => page.problems.push(String(e)));
  await page.goto(`http://127.0.0.1:${server.address().port}/${fragment}`);
  await page.waitForFunction(() => window.vialoomPage.ready && window.vialoomPage.frames > 0 &&
                                   window.vialoomPage.link !== 'pending');
  return page;
}

// Waits for a few more frames, so input has been drawn.
export async function settle(page) {
  const start = await page.evaluate(() => window.vialoomPage.frames);
  await page.waitForFunction(n => window.vialoomPage.frames >= n + 3, {}, start);
}

// The canvas as the user sees it: [width, height, RGBA bytes] from a screenshot.
export async function canvasPixels(page) {
  await settle(page);
  const canvas = await page.$('#canvas');
  const png = await canvas.screenshot({ encoding: 'base64' });
  return page.evaluate(async data => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const scratch = new OffscreenCanvas(image.width, image.height);
    const context = scratch.getContext('2d');
    context.drawImage(image, 0, 0);
    return [image.width, image.height, Array.from(context.getImageData(0, 0, image.width, image.height).data)];
  }, png);
}

const colours = { grey: [128, 128, 128], white: [255, 255, 255], orange: [255, 128, 0],
                  magenta: [255, 0, 255], red: [255, 0, 0], green: [0, 255, 0], cyan: [0, 255, 255],
                  black: [0, 0, 0], yellow: [255, 255, 0], expanded: [51, 77, 255], waiting: [0, 115, 51] };

function isColour(data, i, [r, g, b]) {
  return Math.abs(data[i] - r) < 40 && Math.abs(data[i + 1] - g) < 40 && Math.abs(data[i + 2] - b) < 40;
}

// How many pixels in the box [x0, x1) x [y0, y1) are (or, with negate, are not) the named colour.
export function countColour([width, height, data], name, [x0, y0, x1, y1] = [0, 0, width, height], negate = false) {
  let count = 0;
  for (let y = y0; y < y1; ++y)
    for (let x = x0; x < x1; ++x)
      if (isColour(data, (y * width + x) * 4, colours[name]) !== negate) ++count;
  return count;
}

// True when a pixel of the named colour lies within radius pixels of (x, y).
export function colourNear(pixels, name, x, y, radius = 3) {
  return countColour(pixels, name, [Math.max(0, x - radius), Math.max(0, y - radius),
                                    Math.min(pixels[0], x + radius + 1), Math.min(pixels[1], y + radius + 1)]) > 0;
}

// How many pixels in the box are not the background grey.
export const drawnPixels = (pixels, box) => countColour(pixels, 'grey', box, true);

// Clicks at canvas pixel (x, y) with the named modifier key ('Control', 'Shift', 'Alt') held.
export async function clickAt(page, x, y, modifier, button = 'left') {
  const box = await (await page.$('#canvas')).boundingBox();
  if (modifier) await page.keyboard.down(modifier);
  await page.mouse.click(box.x + x, box.y + y, { button });
  if (modifier) await page.keyboard.up(modifier);
}

// Taps the drawing at window pixel (x, y) of the program, wherever the canvas is shown and however large.
export async function tapAt(page, x, y) {
  const box = await (await page.$('#canvas')).boundingBox();
  await page.touchscreen.tap(box.x + x * box.width / 800, box.y + y * box.height / 600);
}

// Presses the toolbar button labelled label: a tap on a touch screen, else a click.
export async function press(page, label) {
  const [button] = await page.$$(`xpath/.//div[@id="toolbar"]//button[normalize-space(text())="${label}"]`);
  if (!button) throw new Error(`no toolbar button ${label}`);
  if (page.viewport().hasTouch) await button.tap();
  else await button.click();
}
