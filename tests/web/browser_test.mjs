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
function frames(width, height) {
  const address = module.ResizePage(width, height);
  return Array.from({ length: 61 }, () => {
    module.PaintPage();
    return Buffer.from(module.memory.buffer, address, width * height * 4).toString('base64');
  });
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

for (const [width, height, scale] of [[480, 360, 1], [300, 200, 2]]) {
  // A screen of that many device pixels to the CSS pixel, as the browser
  // itself is told it (emulating the ratio alone leaves the canvas's device
  // pixels at one to one), with a fresh profile, which Playwright makes.
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-dev-shm-usage',
      `--force-device-scale-factor=${scale}`],
  });
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
    // About ten frames a second: the advance over some three seconds.
    let previous = first, advanced = 0;
    for (let k = 0; k < 12; ++k) {
      await page.waitForTimeout(250);
      const now = await shownFrame(page, width, height);
      advanced += (now.frame - previous.frame + 61) % 61;
      previous = now;
    }
    const rate = advanced / ((previous.time - first.time) / 1000);
    check(rate > 7 && rate < 11, `expected about 10 frames a second, got ${rate.toFixed(2)}`);
    await page.setViewportSize({ width: 333, height: 251 });
    const resized = await shownFrame(page, 333, 251);
    check(resized.frame >= 0, `after a resize to 333x251 expected a frame of that size, got a ` +
      `${resized.width}x${resized.height} canvas showing frame ${resized.frame}`);
    console.log(`browser: ${rate.toFixed(2)} frames a second at 480x360; resized to 333x251`);
  }
  await browser.close();
}
server.close();
check(errors.length === 0, `expected no console errors, got: ${errors.join(' | ')}`);
check(strangers.length === 0, `expected no request beyond ${origin}, got: ${strangers.join(' ')}`);
const bytes = readdirSync(folder).reduce((sum, name) => sum + statSync(join(folder, name)).size, 0);
check(bytes <= 40960, `expected the page's files to come to at most 40 KB, got ${bytes} bytes`);
console.log(`browser: the page's files ${bytes} bytes; requests: ${[...new Set(requests)].join(' ')}`);
