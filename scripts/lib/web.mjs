// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The one harness of scripts/web, the page's tests and its benchmark: a
// static server for the site folder (with the page's content security
// policy), Debian's Chromium, headless, driven by puppeteer-core, and the
// bounded waits and readings of the viewer's counts and canvas that work on a
// tab of any engine.
import { createServer } from 'node:http';
import { readFileSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';
import { gzipSync } from 'node:zlib';
import { parse } from 'parse5';

// Every element of the page's HTML (data/web/index.html), read by an HTML
// parser, in document order, each as { tag, attributes: { name: value },
// text: its own text nodes' }.
export function pageElements(file = new URL('../../data/web/index.html', import.meta.url)) {
  const elements = [];
  const visit = (node) => {
    if (node.tagName) {
      elements.push({ tag: node.tagName, attributes: Object.fromEntries(node.attrs.map((a) => [a.name, a.value])),
        text: (node.childNodes ?? []).filter((c) => c.nodeName === '#text').map((c) => c.value).join('') });
    }
    for (const child of node.childNodes ?? []) visit(child);
    if (node.content) visit(node.content);  // a template's
  };
  visit(parse(readFileSync(file, 'utf8')));
  return elements;
}

// The policy the site must work under, as the page states it in its own
// <meta http-equiv="Content-Security-Policy">: its own files only, no eval.
export const kPolicy = pageElements().find(({ tag, attributes }) => tag === 'meta' &&
  attributes['http-equiv']?.toLowerCase() === 'content-security-policy').attributes.content;

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.txt': 'text/plain; charset=utf-8',
};

// Files a static host sends compressed, to browsers that accept it.
const kCompressed = new Set(['.html', '.js', '.css', '.webmanifest', '.wasm', '.txt']);

// Serves DIRECTORY on 127.0.0.1:PORT (0: any free port), with the header
// Content-Security-Policy: POLICY (none when null), as a host would; resolves
// to { server, url } once it listens. Only files below DIRECTORY are served;
// text and WebAssembly gzipped where the browser accepts it. Each file sent is
// noted in server.sent as { path, bytes (the body as sent), referer }.
export function serveSite(directory, port = 0, policy = kPolicy) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname));
    const file = join(directory, path.endsWith('/') ? join(path, 'index.html') : path);
    if (!file.startsWith(normalize(directory))) {
      response.writeHead(403).end();
      return;
    }
    try {
      let body = await readFile(file);
      const headers = {
        'Content-Type': kTypes[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-store',
        Vary: 'Accept-Encoding',
      };
      if (policy !== null) headers['Content-Security-Policy'] = policy;
      if (kCompressed.has(extname(file)) && /\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
        body = gzipSync(body, { level: 9 });
        headers['Content-Encoding'] = 'gzip';
      }
      response.writeHead(200, headers);
      response.end(body);
      server.sent.push({ path, bytes: body.length, referer: request.headers.referer ?? '' });
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
    }
  });
  server.sent = [];
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      resolve({ server, url: `http://127.0.0.1:${server.address().port}/` });
    });
  });
}

// puppeteer-core 23 numbers the browser's own commands and each session's
// commands apart, each from 1. Chromium answers a command sent to a session
// that has just gone (puppeteer letting go of a service worker while a tab's
// context is closed) with "Session with given id not found", code -32001, but
// without the session's id: puppeteer then takes that answer for the
// browser's own command of the same number, and a test fails with, e.g.,
// "Protocol error (Target.createBrowserContext): Session with given id not
// found". A command sent to no session cannot get that answer, so such an
// answer is dropped here and the command's own answer, which follows, is
// taken. Mended in puppeteer-core 25 (puppeteer/puppeteer#14975), which needs
// Node 22.12 or later; the machines here have Node 18 (Debian 12) or 20.
export const kStrayAnswerCode = -32001;
let strayAnswersDropped = false;
export async function dropStrayAnswers() {
  if (strayAnswersDropped) return;
  strayAnswersDropped = true;
  const { Connection } = await import('puppeteer-core/internal/cdp/Connection.js');
  const onMessage = Connection.prototype.onMessage;
  Connection.prototype.onMessage = function onMessageWithoutStrays(message) {
    if (message.includes(`"code":${kStrayAnswerCode}`)) {
      const object = JSON.parse(message);
      if (object.id !== undefined && object.sessionId === undefined && object.error?.code === kStrayAnswerCode) {
        return Promise.resolve();
      }
    }
    return onMessage.call(this, message);
  };
}

// Debian's Chromium, headless. As root it needs --no-sandbox; WebGL runs on
// SwiftShader, which --enable-unsafe-swiftshader allows explicitly; the other
// switches keep it from reaching out to the network. A server certificate
// whose key is MORPH_WEB_SPKI (the base64 SHA-256 of its public key: a test's
// own) is taken as valid.
export async function launchChromium(extraArguments = []) {
  const { default: puppeteer } = await import('puppeteer-core');
  await dropStrayAnswers();
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
      ...(process.env.MORPH_WEB_SPKI ? [`--ignore-certificate-errors-spki-list=${process.env.MORPH_WEB_SPKI}`] : []),
      ...extraArguments,
    ],
  });
}

// Opens URL in a new page and collects its console errors, uncaught
// exceptions and failed requests in page.problems, and the page's content
// security policy violations in its window.policyViolations. OPTIONS, applied
// before the page loads: viewport (puppeteer's setViewport: width, height,
// deviceScaleFactor, isMobile, hasTouch), media (emulated media features,
// e.g. [{ name: 'prefers-reduced-motion', value: 'reduce' }]) and prepare (a
// function given the new page before it loads).
export async function openPage(browser, url, options = {}) {
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
  if (options.viewport) await page.setViewport(options.viewport);
  if (options.media) await page.emulateMediaFeatures(options.media);
  if (options.prepare) await options.prepare(page);
  await page.goto(url, { waitUntil: 'load' });
  return page;
}

// An emulated phone: 360 x 740 CSS pixels at a device pixel ratio of 3, touch.
export const kPhone = { width: 360, height: 740, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

// What follows reads and waits on a TAB: a puppeteer page, or a tab of any
// engine of the tests (tests/web/engines.mjs), through its evaluate(). Every
// wait is bounded and says what it waited for.

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Waits until FN, evaluated in TAB with ARGS, is true; throws after TIMEOUT ms,
// naming WHAT. A page on its way to another (language.js sends a reader to
// their language's page) may fail to evaluate: that is a "not yet", and the
// last such failure is named if the wait runs out.
export async function waitIn(tab, fn, what, timeout = 20000, ...args) {
  const end = Date.now() + timeout;
  let failure = null;
  for (;;) {
    try {
      if (await tab.evaluate(fn, ...args)) return;
      failure = null;
    } catch (error) {
      failure = error;
    }
    if (Date.now() > end) throw new Error(`waited ${timeout} ms for ${what}${failure ? ` (${failure.message})` : ''}`);
    await pause(50);
  }
}

// The viewer's counts: frames shown on the canvas and idle calls made by its
// loop (the page's window.morphViewer asks the viewer, in its worker or not).
export function counts(tab) {
  return tab.evaluate(() => window.morphViewer.counts());
}

// Waits until the viewer runs and has shown at least COUNT frames.
export function waitForFrames(tab, count = 1, timeout = 20000) {
  return waitIn(tab, async (n) => document.body.dataset.viewer === 'running' && !!window.morphViewer &&
    ((await window.morphViewer.counts()) || { frames: 0 }).frames >= n, `${count} frames`, timeout, count);
}

// The canvas's drawing buffer as a PNG (a Buffer), exactly its pixels.
export async function canvasPng(tab) {
  const dataUrl = await tab.evaluate(() => window.morphViewer.picture());
  return Buffer.from(dataUrl.replace(/^data:image\/png;base64,/, ''), 'base64');
}

// The frame a held state shows: loads URL into TAB, a tab kept for such
// frames (a load into it costs about half a new tab's), and returns its
// canvas as a PNG.
export async function frameAt(tab, url) {
  await tab.goto(url);
  await waitForFrames(tab, 1);
  return canvasPng(tab);
}

// The frames of held states, one for each of URLS, loaded in turn into a tab
// of BROWSER opened for them with OPTIONS (openPage's) and closed before the
// page they are compared with is opened: a tab behind another is hidden, and
// a hidden page draws nothing.
export async function framesAt(browser, urls, options) {
  const tab = await openPage(browser, 'about:blank', options);
  const frames = [];
  for (const url of urls) frames.push(await frameAt(tab, url));
  await tab.close();
  return frames;
}

// Waits until the canvas shows something other than BEFORE; the new frame,
// or null after TIMEOUT ms.
export async function waitForChange(tab, before, timeout = 5000) {
  const end = Date.now() + timeout;
  for (;;) {
    const now = await canvasPng(tab);
    if (!now.equals(before)) return now;
    if (Date.now() > end) return null;
    await pause(50);
  }
}

// Waits until the canvas shows WANTED; whether it did within TIMEOUT ms.
export async function waitForFrame(tab, wanted, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    if ((await canvasPng(tab)).equals(wanted)) return true;
    if (Date.now() > end) return false;
    await pause(50);
  }
}

// Whether the canvas keeps showing the same frame for MS milliseconds.
export async function staysStill(tab, ms = 1000) {
  const first = await canvasPng(tab);
  await pause(ms);
  return (await canvasPng(tab)).equals(first);
}

// Waits until the viewer has settled after a pause: no frame shown and no
// idle call made for QUIET ms (a frame drawn just before the pause may still
// be on its way to the canvas, later on a loaded machine). Whether it
// settled within TIMEOUT ms.
export async function waitUntilSettled(tab, quiet = 300, timeout = 10000) {
  const end = Date.now() + timeout;
  let last = await counts(tab);
  for (;;) {
    await pause(quiet);
    const now = await counts(tab);
    if (now.frames === last.frames && now.idleCalls === last.idleCalls) return true;
    if (Date.now() > end) return false;
    last = now;
  }
}
