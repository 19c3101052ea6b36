// What both web tests share: a failed check names its own file:line, then
// what was expected and what was got; and the page's WebAssembly module.
import { readFileSync } from 'node:fs';

export function check(ok, message) {
  if (ok) return;
  const where = new Error().stack.split('\n')[2].match(/([^/\s(]+:\d+):\d+\)?$/)[1];
  console.error(`${where}: ${message}`);
  process.exitCode = 1;
}

// rotary.wasm as the page instantiates it: ResizePage, PaintPage, memory.
export async function loadPage(path) {
  const { instance } = await WebAssembly.instantiate(readFileSync(path),
    { env: { emscripten_notify_memory_growth() {} } });
  instance.exports._initialize();
  return instance.exports;
}
