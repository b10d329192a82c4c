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

// Opens the page and waits until the program has drawn its first frame.
// Console errors and page errors are collected in page.problems.
export async function openPage(browser, server) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1500, height: 900 });
  page.problems = [];
  page.on('console', m => { if (m.type() === 'error') page.problems.push(m.text()); });
  page.on('pageerror', e => page.problems.push(String(e)));
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => window.vialoomPage.ready && window.vialoomPage.frames > 0);
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
                  magenta: [255, 0, 255], red: [255, 0, 0], green: [0, 255, 0], cyan: [0, 255, 255] };

// True when a pixel of the named colour lies within radius pixels of (x, y).
export function colourNear([width, height, data], name, x, y, radius = 3) {
  const [r, g, b] = colours[name];
  for (let py = Math.max(0, y - radius); py <= Math.min(height - 1, y + radius); ++py)
    for (let px = Math.max(0, x - radius); px <= Math.min(width - 1, x + radius); ++px) {
      const i = (py * width + px) * 4;
      if (Math.abs(data[i] - r) < 40 && Math.abs(data[i + 1] - g) < 40 && Math.abs(data[i + 2] - b) < 40)
        return true;
    }
  return false;
}

// How many pixels in the box [x0, x1) x [y0, y1) are not the background grey.
export function drawnPixels([width, , data], x0, y0, x1, y1) {
  let count = 0;
  for (let y = y0; y < y1; ++y)
    for (let x = x0; x < x1; ++x) {
      const i = (y * width + x) * 4;
      if (Math.abs(data[i] - 128) > 20 || Math.abs(data[i + 1] - 128) > 20 || Math.abs(data[i + 2] - 128) > 20)
        ++count;
    }
  return count;
}

// Clicks at canvas pixel (x, y) with the named modifier key ('Control', 'Shift', 'Alt') held.
export async function clickAt(page, x, y, modifier, button = 'left') {
  const box = await (await page.$('#canvas')).boundingBox();
  if (modifier) await page.keyboard.down(modifier);
  await page.mouse.click(box.x + x, box.y + y, { button });
  if (modifier) await page.keyboard.up(modifier);
}
