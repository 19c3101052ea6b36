// The web page's pixels against GDI's: every frame of the cycle at every
// size below, drawn by the page's own WebAssembly and by GDI itself
// (gdi_reference.exe; on Debian, Wine's GDI), must match pixel for pixel.
//
// Usage: node pixel_proof.mjs <rotary.wasm> <gdi_reference.exe> <wine-run.sh> <scratch dir>
import { spawnSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { check, loadPage } from './common.mjs';

const [wasmPath, referenceExe, wineRun, scratch] = process.argv.slice(2).map((p) => resolve(p));
const squares = Array.from({ length: 40 }, (_, k) => [k + 1, k + 1]);
const sizes = [...squares, [320, 17], [320, 18], [17, 40], [18, 40], [601, 400], [800, 600],
  [1000, 1000], [1366, 768], [1920, 1080], [3000, 2000],
  // Odd ones: a line, a column, nearly square, and both sides odd.
  [1, 700], [700, 1], [41, 43], [257, 255], [641, 479], [1023, 767], [2561, 1441]];
const FRAMES = 61;

const started = Date.now();
const recordPath = join(scratch, 'gdi-frames.bin');
writeFileSync(recordPath, '');  // exists, so Wine is handed its Windows path
const run = spawnSync(wineRun, [referenceExe, recordPath, ...sizes.map(([w, h]) => `${w}x${h}`)],
  { stdio: ['ignore', 'inherit', 'inherit'] });
check(run.status === 0, `gdi_reference: expected exit code 0, got ${run.status ?? run.signal}`);
if (run.status !== 0) process.exit();
const bytes = readFileSync(recordPath);
const record = new Uint32Array(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length));

const page = await loadPage(wasmPath);

// GDI's pixels are 0x00RRGGBB; the canvas's R, G, B, A bytes read 0xAABBGGRR.
const swapRB = (v) => ((v & 0xff) << 16) | (v & 0xff00) | ((v >> 16) & 0xff);
const hex = (v) => `#${swapRB(v).toString(16).padStart(6, '0')}`;
let cursor = 0, frames = 0, pixels = 0, badFrames = 0;
for (const [width, height] of sizes) {
  const area = width * height;
  const address = page.ResizePage(width, height);
  const expected = new Uint32Array(area);
  for (let paint = 0; paint < FRAMES; ++paint) {
    page.PaintPage();
    const got = new Uint32Array(page.memory.buffer, address, area);
    expected.fill(0xffffffff);
    const count = record[cursor++];
    for (let k = 0; k < count; ++k, cursor += 2) {
      expected[record[cursor]] = (0xff000000 | swapRB(record[cursor + 1])) >>> 0;
    }
    let differ = 0, first = -1;
    for (let i = 0; i < area; ++i) {
      if (got[i] !== expected[i]) {
        if (first < 0) first = i;
        ++differ;
      }
    }
    if (differ) ++badFrames;
    check(!differ || badFrames > 20, `${width}x${height} frame ${(paint + 1) % FRAMES}: ` +
      `expected no pixel to differ, got ${differ}; the first at (${first % width}, ` +
      `${Math.floor(first / width)}): GDI ${hex(expected[first])}, the page ${hex(got[first])}`);
    ++frames;
    pixels += area;
  }
}
check(cursor === record.length, `expected ${record.length} words of GDI frames, read ${cursor}`);
console.log(`pixel proof: ${frames} frames at ${sizes.length} sizes, ${pixels} pixels compared, ` +
  `${badFrames} frames differ (${((Date.now() - started) / 1000).toFixed(1)} s)`);
