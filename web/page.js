// The program's window in a browser: the canvas fills the viewport and has
// one pixel for each of the screen's (devicePixelRatio included), drawn by
// the program's own figure code compiled to WebAssembly (rotary.wasm) and
// put on the canvas unscaled. A 100 ms timer repaints, and every repaint
// shows the next frame, as the program's paints do; a new size lays the
// engine out again and repaints at once.
'use strict';

(async () => {
  const canvas = document.getElementById('client');
  // Compiled from the bytes, so that any server's content type will do.
  const response = await fetch('rotary.wasm');
  if (!response.ok) throw new Error(`rotary.wasm: ${response.status} ${response.statusText}`.trim());
  const { instance } = await WebAssembly.instantiate(await response.arrayBuffer(),
    { env: { emscripten_notify_memory_growth() {} } });
  const page = instance.exports;
  page._initialize();
  // Only now: an opaque context is black until the first frame, while a
  // canvas without one lets the white page show through as it loads.
  const context = canvas.getContext('2d', { alpha: false });
  let pixels = 0;  // where the frame's RGBA bytes lie in the module's memory

  function paint() {
    if (!pixels) return;
    page.PaintPage();
    // A fresh view each time: growing the memory replaces its buffer.
    const bytes = new Uint8ClampedArray(page.memory.buffer, pixels,
      canvas.width * canvas.height * 4);
    context.putImageData(new ImageData(bytes, canvas.width, canvas.height), 0, 0);
  }

  function resize(width, height) {
    if (width === canvas.width && height === canvas.height && pixels) return;
    canvas.width = width;
    canvas.height = height;
    pixels = page.ResizePage(width, height);
    paint();
  }

  // The exact device pixels where the browser reports them; elsewhere the
  // CSS size times the ratio, rounded.
  const observer = new ResizeObserver(([entry]) => {
    const box = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
    if (box) resize(box.inlineSize, box.blockSize);
    else resize(Math.round(entry.contentRect.width * devicePixelRatio),
      Math.round(entry.contentRect.height * devicePixelRatio));
  });
  try {
    observer.observe(canvas, { box: 'device-pixel-content-box' });
  } catch {
    observer.observe(canvas);
  }

  // A hidden window is not painted, so a background tab stays still.
  setInterval(() => { if (!document.hidden) paint(); }, 100);
})().catch((error) => {
  // Without its module there is nothing to draw: say so in a line of text.
  const line = document.createElement('p');
  line.textContent = `読み込み失敗：${error instanceof Error ? error.message : error}`;
  document.body.replaceChildren(line);
  console.error(error);
});
