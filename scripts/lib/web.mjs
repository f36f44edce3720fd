// Shared by scripts/web, the page's tests and its benchmark: a static server
// for the site folder (with the page's content security policy), and Debian's
// Chromium, headless, driven by puppeteer-core.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';

// The policy the site must work under: its own files only, no eval.
export const kPolicy = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'";

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

// Serves DIRECTORY on 127.0.0.1:PORT (0: any free port); resolves to
// { server, url } once it listens. Only files below DIRECTORY are served.
export function serveSite(directory, port = 0) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname));
    const file = join(directory, path.endsWith('/') ? join(path, 'index.html') : path);
    if (!file.startsWith(normalize(directory))) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': kTypes[extname(file)] || 'application/octet-stream',
        'Content-Security-Policy': kPolicy,
        'Cache-Control': 'no-store',
      });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
    }
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

// Debian's Chromium, headless. As root it needs --no-sandbox; WebGL runs on
// SwiftShader, which --enable-unsafe-swiftshader allows explicitly; the other
// switches keep it from reaching out to the network.
export async function launchChromium(extraArguments = []) {
  const { default: puppeteer } = await import('puppeteer-core');
  return puppeteer.launch({
    executablePath: process.env.MORPH_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: [
      '--no-sandbox',
      '--enable-unsafe-swiftshader',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--disable-quic',
      '--window-size=800,700',
      ...extraArguments,
    ],
  });
}

// Opens URL in a new page and collects its console errors, uncaught
// exceptions and failed requests in page.problems, and the page's content
// security policy violations in its window.policyViolations.
export async function openPage(browser, url) {
  const page = await browser.newPage();
  page.problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') page.problems.push(`console error: ${message.text()}`);
  });
  page.on('pageerror', (error) => page.problems.push(`uncaught: ${error.message}`));
  page.on('requestfailed', (request) => page.problems.push(`request failed: ${request.url()}`));
  await page.evaluateOnNewDocument(() => {
    window.policyViolations = [];
    document.addEventListener('securitypolicyviolation', (e) => window.policyViolations.push(e.violatedDirective));
  });
  await page.goto(url, { waitUntil: 'load' });
  return page;
}

// Waits until the viewer has drawn at least COUNT frames (bounded).
export async function waitForFrames(page, count, timeout = 20000) {
  await page.waitForFunction(
    (n) => document.body.dataset.viewer === 'running' && typeof Module !== 'undefined' &&
      Module._morph_web_frames && Module._morph_web_frames() >= n,
    { timeout, polling: 20 },
    count,
  );
}

// The canvas's drawing buffer as a PNG (a Buffer), exactly its 400 x 400 pixels.
export async function canvasPng(page) {
  const dataUrl = await page.evaluate(() => document.getElementById('canvas').toDataURL('image/png'));
  return Buffer.from(dataUrl.replace(/^data:image\/png;base64,/, ''), 'base64');
}
