// The web page's pixels against Windows' GDI: every frame of the cycle at
// every size below, drawn by the page's own WebAssembly and by GDI itself
// (gdi_reference.exe under Wine), must match pixel for pixel.
//
// Usage: node pixel_proof.mjs <rotary.wasm> <gdi_reference.exe> <wine-run.sh> <scratch dir>
import { spawnSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';

const [wasmPath, referenceExe, wineRun, scratch] = process.argv.slice(2).map((p) => resolve(p));
const squares = Array.from({ length: 40 }, (_, k) => [k + 1, k + 1]);
const sizes = [...squares, [320, 17], [320, 18], [17, 40], [18, 40], [601, 400], [800, 600],
  [1000, 1000], [1366, 768], [1920, 1080], [3000, 2000],
  // Odd ones: a line, a column, nearly square, and both sides odd.
  [1, 700], [700, 1], [41, 43], [257, 255], [641, 479], [1023, 767], [2561, 1441]];
const FRAMES = 61;

// Names the check that failed by its line, then what it wanted and got.
function fail(message) {
  const where = new Error().stack.split('\n')[2].match(/([^/\s(]+:\d+):\d+\)?$/)[1];
  console.error(`${where}: ${message}`);
  process.exitCode = 1;
}

const started = Date.now();
const recordPath = join(scratch, 'gdi-frames.bin');
writeFileSync(recordPath, '');  // exists, so Wine is handed its Windows path
const run = spawnSync(wineRun, [referenceExe, recordPath, ...sizes.map(([w, h]) => `${w}x${h}`)],
  { stdio: ['ignore', 'inherit', 'inherit'] });
if (run.status !== 0) {
  fail(`gdi_reference: expected exit code 0, got ${run.status ?? run.signal}`);
  process.exit();
}
const record = new Uint32Array(readFileSync(recordPath).buffer.slice(0));

const { instance } = await WebAssembly.instantiate(readFileSync(wasmPath),
  { env: { emscripten_notify_memory_growth() {} } });
const page = instance.exports;
page._initialize();

const hex = (v) => `#${(v & 0xffffff).toString(16).padStart(6, '0')}`;
const rgbOfCanvas = (v) => ((v & 0xff) << 16) | (v & 0xff00) | ((v >> 16) & 0xff);
let cursor = 0, frames = 0, pixels = 0, badFrames = 0;
for (const [width, height] of sizes) {
  const area = width * height;
  const address = page.ResizePage(width, height);
  const expected = new Uint32Array(area);
  for (let paint = 0; paint < FRAMES; ++paint) {
    page.PaintPage();
    const got = new Uint32Array(page.memory.buffer, address, area);
    // GDI's pixel as 0xRRGGBB; the canvas's as R, G, B, A bytes.
    expected.fill(0xffffffff);
    const count = record[cursor++];
    for (let k = 0; k < count; ++k, cursor += 2) {
      const rgb = record[cursor + 1];
      expected[record[cursor]] = (0xff000000 | ((rgb & 0xff) << 16) | (rgb & 0xff00) |
        ((rgb >> 16) & 0xff)) >>> 0;
    }
    let differ = 0, first = -1;
    for (let i = 0; i < area; ++i) {
      if (got[i] !== expected[i]) {
        if (first < 0) first = i;
        ++differ;
      }
    }
    if (differ) {
      ++badFrames;
      if (badFrames <= 20) {
        fail(`${width}x${height} frame ${(paint + 1) % FRAMES}: expected no pixel to differ, ` +
          `got ${differ}; the first at (${first % width}, ${Math.floor(first / width)}): ` +
          `GDI ${hex(rgbOfCanvas(expected[first]))}, the page ${hex(rgbOfCanvas(got[first]))}`);
      }
    }
    ++frames;
    pixels += area;
  }
}
if (cursor !== record.length) fail(`expected ${record.length} words of GDI frames, read ${cursor}`);
console.log(`pixel proof: ${frames} frames at ${sizes.length} sizes, ${pixels} pixels compared, ` +
  `${badFrames} frames differ (${((Date.now() - started) / 1000).toFixed(1)} s)`);
