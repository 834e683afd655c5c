// What the page test, the benchmark and the screenshot share: build/web/
// served on 127.0.0.1 at a free port (what any static server does), and
// Debian's chromium driven by the playwright-core that tests/web installs.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { extname, join } from 'node:path';

const { chromium } = createRequire(new URL('../../../tests/web/package.json', import.meta.url))('playwright-core');

export const launchChromium = () => chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });

const site = new URL('../../../build/web/', import.meta.url).pathname;
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };

// Answers the origin and a close().
export async function serveSite() {
  const server = createServer((request, response) => {
    const path = join(site, new URL(request.url, 'http://x').pathname.replace(/\/$/, '/index.html'));
    try {
      const body = readFileSync(path);
      response.writeHead(200, { 'content-type': types[extname(path)] ?? 'application/octet-stream' }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { origin: `http://127.0.0.1:${server.address().port}`, close: () => server.close() };
}

// Resolves once the page has drawn a frame and has none pending.
export const settled = (page) => page.waitForFunction(() => window.designer && window.designer.shown > 0 &&
  !window.designer.inFlight && !window.designer.again);
