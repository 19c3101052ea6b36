// The web page in a real browser: Debian's chromium, headless, driven by
// Playwright's core (tools/browser), against the page served from
// 127.0.0.1. The frames it should show are the page's own module's
// (rotary.wasm, run under Node.js here); the pixel proof holds those to GDI.
//
// Usage: node browser_test.mjs <page folder> <tools/browser>
import { readdirSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { serveFolder } from '../../tools/serve-web.mjs';
import { check, loadPage } from './common.mjs';

const [folder, driver] = process.argv.slice(2).map((p) => resolve(p));
const { chromium } = createRequire(join(driver, 'package.json'))('playwright-core');

const module = await loadPage(join(folder, 'rotary.wasm'));
// The 61 frames' RGBA bytes at one size, in the order the page shows them.
const framesAt = new Map();
function frames(width, height) {
  const key = `${width}x${height}`;
  if (!framesAt.has(key)) {
    const address = module.ResizePage(width, height);
    framesAt.set(key, Array.from({ length: 61 }, () => {
      module.PaintPage();
      return Buffer.from(module.memory.buffer, address, width * height * 4).toString('base64');
    }));
  }
  return framesAt.get(key);
}

const requests = [];
const server = await serveFolder(folder, 0, (path) => requests.push(path));
const origin = `http://127.0.0.1:${server.address().port}`;
const errors = [], strangers = [];
// The canvas's size and which frame it shows (-1: none of them), once a
// frame of the expected size is up (or after 5 s).
async function shownFrame(page, width, height) {
  const expected = frames(width, height);
  await page.waitForFunction(([w, h]) => { const c = document.querySelector('canvas');
    return c.width === w && c.height === h; }, [width, height], { timeout: 5000 }).catch(() => {});
  const shown = await page.evaluate(() => {
    const c = document.querySelector('canvas');
    const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let text = '';
    for (let i = 0; i < data.length; i += 32768) {
      text += String.fromCharCode(...data.subarray(i, i + 32768));
    }
    return { width: c.width, height: c.height, cssWidth: c.clientWidth, pixels: btoa(text),
      time: performance.now() };
  });
  return { ...shown, frame: expected.indexOf(shown.pixels) };
}

// A screen of that many device pixels to the CSS pixel, as the browser
// itself is told it (emulating the ratio alone leaves the canvas's device
// pixels at one to one), with a fresh profile, which Playwright makes.
const launch = (scale) => chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-dev-shm-usage',
    `--force-device-scale-factor=${scale}`],
});
for (const [width, height, scale] of [[480, 360, 1], [300, 200, 2]]) {
  const browser = await launch(scale);
  const page = await browser.newPage({ viewport: { width, height }, deviceScaleFactor: scale });
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('request', (r) => new URL(r.url()).origin !== origin && strangers.push(r.url()));
  await page.goto(`${origin}/`);
  check(await page.title() === 'ロータリーエンジン', `expected the title ロータリーエンジン, got ${await page.title()}`);
  const first = await shownFrame(page, width * scale, height * scale);
  check(first.width === width * scale && first.height === height * scale && first.frame >= 0 &&
    first.cssWidth === width,
    `at ${width}x${height} CSS pixels, ratio ${scale}: expected a frame of ${width * scale}x` +
    `${height * scale}, ${width} CSS pixels wide, got a ${first.width}x${first.height} canvas ` +
    `${first.cssWidth} CSS pixels wide showing frame ${first.frame}`);
  if (scale === 1) {
    // About ten frames a second, over three seconds or more, read as often
    // as a canvas of 200x150 can be read: two readings less than 50 ms
    // apart see one tick at most, so they differ by one frame at most. (A
    // tick that comes late is followed by one on time: one skip is let be.)
    await page.setViewportSize({ width: 200, height: 150 });
    const start = await shownFrame(page, 200, 150);
    let previous = start, advanced = 0, close = 0;
    const skips = [], gaps = [];
    while (previous.time - start.time < 3000 || (close < 5 && previous.time - start.time < 10000)) {
      const now = await shownFrame(page, 200, 150);
      const step = (now.frame - previous.frame + 61) % 61;
      gaps.push(now.time - previous.time);
      if (now.time - previous.time < 50) {
        close += step === 1;
        if (step > 1) skips.push(`${previous.frame} to ${now.frame}`);
      }
      advanced += step;
      previous = now;
    }
    const rate = advanced / ((previous.time - start.time) / 1000);
    const median = gaps.sort((a, b) => a - b)[gaps.length >> 1].toFixed(0);
    check(start.frame >= 0 && rate > 7 && rate < 11,
      `at 200x150 expected about 10 frames a second, got ${rate.toFixed(2)} from frame ${start.frame}`);
    check(close >= 5 && skips.length <= 1, `expected every tick to show the next frame, seen in 5 ` +
      `or more readings less than 50 ms apart, got ${close} such of ${gaps.length} readings (a ` +
      `median ${median} ms apart), skips: ${skips.join(', ')}`);
    await page.setViewportSize({ width: 333, height: 251 });
    const resized = await shownFrame(page, 333, 251);
    check(resized.frame >= 0, `after a resize to 333x251 expected a frame of that size, got a ` +
      `${resized.width}x${resized.height} canvas showing frame ${resized.frame}`);
    console.log(`browser: ${rate.toFixed(2)} frames a second at 200x150, ${close} close readings; ` +
      'resized to 333x251');
  }
  await browser.close();
}
// Without its module (here a 404) the page says so in a line of text,
// rather than leave a canvas black over the whole window.
{
  const browser = await launch(1);
  const page = await browser.newPage();
  await page.route('**/rotary.wasm', (route) => route.fulfill({ status: 404, body: 'missing' }));
  await page.goto(`${origin}/`);
  const text = await page.locator('p').textContent({ timeout: 5000 }).catch((e) => String(e));
  const canvases = await page.locator('canvas').count();
  check(text.startsWith('読み込み失敗：rotary.wasm: 404') && canvases === 0, `without rotary.wasm ` +
    `expected the line 読み込み失敗：rotary.wasm: 404 and no canvas, got "${text}", ${canvases} canvases`);
  await browser.close();
}
server.close();
check(errors.length === 0, `expected no console errors, got: ${errors.join(' | ')}`);
check(strangers.length === 0, `expected no request beyond ${origin}, got: ${strangers.join(' ')}`);
const bytes = readdirSync(folder).reduce((sum, name) => sum + statSync(join(folder, name)).size, 0);
check(bytes <= 40960, `expected the page's files to come to at most 40 KB, got ${bytes} bytes`);
console.log(`browser: the page's files ${bytes} bytes; requests: ${[...new Set(requests)].join(' ')}`);
