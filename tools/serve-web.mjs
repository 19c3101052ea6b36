// Serves the web page's folder on 127.0.0.1, and nothing beyond it: only
// GET and HEAD of the files directly in that folder.
//   node tools/serve-web.mjs [folder] [port]   (defaults: build/web, 8000)
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { basename, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
};

// Resolves to the listening server; onRequest sees each request's URL.
export function serveFolder(folder, port = 0, onRequest = () => {}) {
  const server = createServer(async (request, response) => {
    onRequest(request.url);
    try {
      const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
      const name = path === '/' ? 'index.html' : path.slice(1);
      const type = types[name.slice(name.lastIndexOf('.'))];
      if (!['GET', 'HEAD'].includes(request.method) || name !== basename(name) || !type) {
        throw new Error('not served');
      }
      const body = await readFile(join(folder, name));
      response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-cache' });
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found\n');
    }
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const folder = resolve(process.argv[2] ?? 'build/web');
  const server = await serveFolder(folder, Number(process.argv[3] ?? 8000));
  console.log(`Serving ${folder} at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
