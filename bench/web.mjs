// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser build's benchmark (scripts/bench web): the site's size
// gzipped; the time from navigation to the first frame shown, alone and as a
// ratio of the floor's (bench/floor, loaded alternately with the page), and
// the longest main-thread task while the page starts, in headless Chromium; idle calls
// per frame, frames per second and each thread's time per frame while it
// runs; and Lighthouse's mobile report (scores and start-up figures). These
// are measurements: nothing here passes or fails.
// Usage: node bench/web.mjs SITE_DIR [SECONDS]
import { readFileSync, readdirSync, mkdtempSync, rmSync } from 'node:fs';
import { execFile } from 'node:child_process';
import { promisify } from 'node:util';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { serveSite, launchChromium, waitForFrames, counts } from '../scripts/lib/web.mjs';

const [site, seconds = '5'] = process.argv.slice(2);
const kRuns = 5;  // page loads for the start-up figures
const kStartWindow = 3000;  // ms after navigation that count as the start

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What a reader loads: every file but the icons, the notices, the source
// maps (for developer tools) and viewer.js (for a browser whose workers
// cannot draw), the English texts, and those of one other language (the page
// fetches the texts of its language on demand), the largest of them, with
// that language's page in place of the English one where it is larger.
console.log('== size of the site, gzipped (-9); icons and notices apart; the texts of English and the largest other language');
const sizeOf = (file) => {
  const raw = readFileSync(`${site}/${file}`);
  const zipped = gzipSync(raw, { level: 9 }).length;
  console.log(`  ${file.padEnd(22)} ${kib(raw.length).padStart(10)} raw  ${kib(zipped).padStart(10)} gzipped`);
  return zipped;
};
let total = 0;
const folders = readdirSync(site, { withFileTypes: true }).filter((entry) => entry.isDirectory())
  .map((entry) => entry.name).filter((name) => name !== 'texts').sort();
const kNotLoaded = new Set(['notices.txt', 'texts', 'viewer.js']);
for (const file of readdirSync(site).filter((f) => !f.endsWith('.png') && !f.endsWith('.map') && !kNotLoaded.has(f) &&
  !folders.includes(f)).sort()) {
  total += sizeOf(file);
}
const englishPage = gzipSync(readFileSync(`${site}/index.html`), { level: 9 }).length;
total += Math.max(0, ...folders.map((tag) => sizeOf(`${tag}/index.html`) - englishPage));
const catalogs = readdirSync(`${site}/texts`).sort().map((file) => [file, sizeOf(`texts/${file}`)]);
total += catalogs.find(([file]) => file === 'en.json')[1];
total += Math.max(...catalogs.filter(([file]) => file !== 'en.json').map(([, size]) => size));
console.log(`  ${'what a reader loads'.padEnd(22)} ${''.padStart(14)} ${kib(total).padStart(10)} gzipped (goal: at most 40 KiB)`);

const { server, url } = await serveSite(site);
const floor = await serveSite(new URL('floor/', import.meta.url).pathname);
const browser = await launchChromium();
try {
  // The page's loads alternate with the floor's (bench/floor: a worker handed
  // the canvas clears it with WebGL 2 and says when that frame is shown), in
  // the same browser, so that both meet the machine as it is.
  console.log(`== the start, ${kRuns} loads of the page and of the floor, alternately (the first in a browser just started)`);
  const firsts = [];
  const floors = [];
  const longest = [];
  const load = async (address) => {
    const page = await browser.newPage();
    // Every main-thread task over 50 ms, and the time the first frame is shown
    // (the floor notes its own).
    await page.evaluateOnNewDocument(() => {
      window.longTasks = [];
      new PerformanceObserver((list) => {
        for (const entry of list.getEntries()) window.longTasks.push(entry.duration);
      }).observe({ type: 'longtask', buffered: true });
      const look = async () => {
        if (window.firstFrameAt !== undefined) return;
        const c = window.morphViewer && (await window.morphViewer.counts());
        if (c && c.frames >= 1) window.firstFrameAt = performance.now();
        else requestAnimationFrame(look);
      };
      requestAnimationFrame(look);
    });
    await page.goto(address, { waitUntil: 'load' });
    await page.waitForFunction(() => window.firstFrameAt !== undefined, { timeout: 20000 });
    await pause(kStartWindow);
    const shown = { first: await page.evaluate(() => window.firstFrameAt),
      longest: Math.max(0, ...(await page.evaluate(() => window.longTasks))) };
    await page.close();
    return shown;
  };
  for (let run = 0; run < kRuns; run++) {
    const shown = await load(url);
    firsts.push(shown.first);
    longest.push(shown.longest);
    floors.push((await load(floor.url)).first);
  }
  const list = (values) => values.map((t) => t.toFixed(0)).join(', ');
  console.log(`  navigation to the first frame shown: ${median(firsts).toFixed(0)} ms median (loads: ${list(firsts)} ms; goal: under 1 s)`);
  console.log(`  the floor's first frame: ${median(floors).toFixed(0)} ms median (loads: ${list(floors)} ms)`);
  console.log(`  the page's first frame as a ratio of the floor's, medians: ${(median(firsts) / median(floors)).toFixed(2)} ` +
    '(goal: at most 2)');
  console.log(`  longest main-thread task in the first ${kStartWindow / 1000} s: ${list(longest)} ms ` +
    '(0: none over 50 ms; goal: none over 50 ms)');

  console.log(`== running for ${seconds} s`);
  const page = await browser.newPage();
  await page.goto(url, { waitUntil: 'load' });
  await waitForFrames(page, 10);
  const trace = join(mkdtempSync(join(tmpdir(), 'morph-bench-')), 'trace.json');
  const start = await counts(page);
  const startedAt = performance.now();
  await page.tracing.start({ path: trace, categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline'] });
  await pause(Number(seconds) * 1000);
  await page.tracing.stop();
  const end = await counts(page);
  const elapsed = (performance.now() - startedAt) / 1000;
  const frames = end.frames - start.frames;
  // Each thread's tasks and script in the trace, per frame shown.
  const events = JSON.parse(readFileSync(trace, 'utf8')).traceEvents;
  rmSync(trace, { force: true });
  const threads = {};
  for (const e of events) if (e.ph === 'M' && e.name === 'thread_name') threads[`${e.pid}:${e.tid}`] = e.args.name;
  const sum = (thread, name) => events.filter((e) => e.ph === 'X' && e.name === name &&
    threads[`${e.pid}:${e.tid}`] === thread).reduce((s, e) => s + e.dur, 0) / 1000 / frames;
  console.log(`  frames shown: ${frames}, idle calls: ${end.idleCalls - start.idleCalls} ` +
    `(${((end.idleCalls - start.idleCalls) / frames).toFixed(3)} per frame)`);
  console.log(`  frames per second: ${(frames / elapsed).toFixed(1)}`);
  console.log(`  the viewer's worker, script per frame (WebAssembly and JavaScript): ${sum('DedicatedWorker thread', 'FunctionCall').toFixed(3)} ms (goal: under 1 ms)`);
  console.log(`  the viewer's worker, busy per frame (all its tasks): ${sum('DedicatedWorker thread', 'RunTask').toFixed(3)} ms`);
  console.log(`  the page's main thread, busy per frame (all its tasks): ${sum('CrRendererMain', 'RunTask').toFixed(3)} ms`);
  await page.close();
} finally {
  await browser.close();
}

// Lighthouse, mobile (its default: an emulated phone, simulated slow network
// and a CPU four times slower), against Debian's Chromium. Run as a child
// process while this one goes on serving the site.
console.log('== Lighthouse, mobile');
const output = join(mkdtempSync(join(tmpdir(), 'morph-lighthouse-')), 'report.json');
try {
  await promisify(execFile)(new URL('../node_modules/.bin/lighthouse', import.meta.url).pathname, [url, '--quiet',
    '--output=json', `--output-path=${output}`, '--chrome-flags=--headless=new --no-sandbox ' +
    '--enable-unsafe-swiftshader --no-first-run --disable-background-networking --disable-component-update ' +
    '--disable-sync --disable-quic'], { env: { ...process.env, CHROME_PATH: process.env.MORPH_CHROMIUM || '/usr/bin/chromium' } });
  const report = JSON.parse(readFileSync(output, 'utf8'));
  console.log('  ' + Object.values(report.categories).map((c) => `${c.title} ${Math.round(c.score * 100)}`).join(', ') +
    ' (goal: performance at least 95, the others 100)');
  for (const id of ['first-contentful-paint', 'largest-contentful-paint', 'speed-index', 'total-blocking-time',
    'max-potential-fid', 'cumulative-layout-shift', 'interactive']) {
    console.log(`  ${report.audits[id].title}: ${report.audits[id].displayValue}`);
  }
} finally {
  rmSync(output, { force: true });
  server.close();
  floor.server.close();
}
