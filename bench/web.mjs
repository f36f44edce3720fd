// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser build's benchmark (scripts/bench web), in headless Chromium:
// the site's files gzipped; for each language's page on a first visit, the
// bytes it fetches, its layout shift at three widths and its longest
// main-thread task; the time from navigation to the first frame shown, alone
// and as a ratio of the floor's (bench/floor, loaded alternately with the
// page), with the longest main-thread task while the page starts; idle calls
// per frame, frames per second and each thread's time per frame while it
// runs; and Lighthouse's mobile report in three languages. These are
// measurements: nothing here passes or fails.
// Usage: node bench/web.mjs SITE_DIR [SECONDS]
import { readFileSync, readdirSync, statSync, mkdtempSync, rmSync } from 'node:fs';
import { execFile } from 'node:child_process';
import { promisify } from 'node:util';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { serveSite, launchChromium, waitForFrames, counts, pageElements, kPhone } from '../scripts/lib/web.mjs';

const [site, seconds = '5'] = process.argv.slice(2);
const kRuns = 5;  // page loads for the start-up figures
const kStartWindow = 3000;  // ms after navigation that count as the start

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The site's files as they are; what a reader fetches is measured below.
console.log('== the site\'s files, gzipped (-9); source maps apart');
for (const file of readdirSync(site, { recursive: true }).filter((f) => statSync(join(site, f)).isFile() &&
  !f.endsWith('.map')).sort()) {
  const raw = readFileSync(join(site, file));
  console.log(`  ${file.padEnd(22)} ${kib(raw.length).padStart(10)} raw  ${kib(gzipSync(raw, { level: 9 }).length)
    .padStart(10)} gzipped`);
}
const languages = pageElements(join(site, 'index.html')).find(({ tag }) => tag === 'html')
  .attributes['data-languages'].split(' ').map((entry) => entry.split(':')[0]);

const { server, url } = await serveSite(site);
const floor = await serveSite(new URL('floor/', import.meta.url).pathname);
const browser = await launchChromium();
try {
  // What a page notes as it starts: every main-thread task over 50 ms, the
  // summed layout shift, and the time the first frame is shown (the floor
  // notes its own).
  const probe = () => {
    window.longTasks = [];
    window.layoutShift = 0;
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) window.longTasks.push(entry.duration);
    }).observe({ type: 'longtask', buffered: true });
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) window.layoutShift += entry.value;
    }).observe({ type: 'layout-shift', buffered: true });
    const look = async () => {
      if (window.firstFrameAt !== undefined) return;
      const c = window.morphViewer && (await window.morphViewer.counts());
      if (c && c.frames >= 1) window.firstFrameAt = performance.now();
      else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  };
  // Loads ADDRESS in a new tab of CONTEXT at VIEWPORT and watches it until
  // kStartWindow ms after its first frame.
  const load = async (address, viewport = kPhone, context = browser) => {
    const page = await context.newPage();
    await page.setViewport(viewport);
    await page.evaluateOnNewDocument(probe);
    await page.goto(address, { waitUntil: 'load' });
    await page.waitForFunction(() => window.firstFrameAt !== undefined, { timeout: 20000 });
    await pause(kStartWindow);
    const shown = await page.evaluate(() => ({ first: window.firstFrameAt, shift: window.layoutShift,
      longest: Math.max(0, ...window.longTasks) }));
    await page.close();
    return shown;
  };

  // Each language's page as a reader meets it on a first visit (a browser
  // context of its own: no cache, no service worker): the bytes the server
  // sends until kStartWindow ms after the first frame, the page's apart from
  // the service worker's (its offline copy, which it fetches once the page has
  // loaded); then the layout shift at two phones' widths and a wide screen.
  console.log(`== each language, a first visit on a phone (${kPhone.width} x ${kPhone.height}, ratio ` +
    `${kPhone.deviceScaleFactor}): bytes sent gzipped until ${kStartWindow / 1000} s after the first frame; ` +
    'the layout shift while starting at 360, 320 and 1280 px; the longest main-thread task; the first frame');
  let most = 0;
  for (const tag of languages) {
    const address = tag === languages[0] ? url : `${url}${tag}/`;
    const context = await browser.createBrowserContext();
    const from = server.sent.length;
    const phone = await load(address, kPhone, context);
    const sent = server.sent.slice(from);
    const others = [];
    for (const width of [320, 1280]) {
      others.push(await load(address, width === 320 ? { ...kPhone, width } : { width, height: 800 }, context));
    }
    await context.close();
    const byWorker = sent.filter(({ referer }) => referer.endsWith('/sw.js'));
    const byPage = sent.filter((entry) => !byWorker.includes(entry));
    const sum = (entries) => entries.reduce((total, { bytes }) => total + bytes, 0);
    most = Math.max(most, sum(byPage));
    console.log(`  ${tag.padEnd(6)} ${kib(sum(byPage)).padStart(9)} in ${byPage.length} files; the offline copy ` +
      `${kib(sum(byWorker))} in ${byWorker.length}; shift ${[phone, ...others].map((s) => s.shift.toFixed(3))
      .join(', ')}; longest task ${phone.longest.toFixed(0)} ms; first frame ${phone.first.toFixed(0)} ms`);
    console.log(`         ${byPage.map(({ path, bytes }) => `${path} ${bytes}`).join(', ')}`);
  }
  console.log(`  the most a language's page fetched: ${kib(most)} (goal: at most 40 KiB); ` +
    'the layout shift\'s goal: 0; a longest task of 0: none over 50 ms');

  // The page's loads alternate with the floor's (bench/floor: a worker handed
  // the canvas clears it with WebGL 2 and says when that frame is shown), in
  // the same browser, so that both meet the machine as it is.
  console.log(`== the start on a phone, ${kRuns} loads of the page and of the floor, alternately`);
  const firsts = [];
  const floors = [];
  const longest = [];
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
// and a CPU four times slower), against Debian's Chromium, kLighthouseRuns
// times for each of three languages (one of them right to left). Run as a
// child process while this one goes on serving the site.
const kLighthouseRuns = 3;
const kLighthouseLanguages = ['en', 'ar', 'zh-CN'].filter((tag) => languages.includes(tag));
console.log(`== Lighthouse, mobile, ${kLighthouseRuns} runs in each of ${kLighthouseLanguages.join(', ')} ` +
  '(goal: 100 in every category of every run)');
const output = join(mkdtempSync(join(tmpdir(), 'morph-lighthouse-')), 'report.json');
try {
  for (const tag of kLighthouseLanguages) {
    for (let run = 0; run < kLighthouseRuns; run++) {
      await promisify(execFile)(new URL('../node_modules/.bin/lighthouse', import.meta.url).pathname,
        [tag === languages[0] ? url : `${url}${tag}/`, '--quiet', '--output=json', `--output-path=${output}`,
          '--chrome-flags=--headless=new --no-sandbox --enable-unsafe-swiftshader --no-first-run ' +
          '--disable-background-networking --disable-component-update --disable-sync --disable-quic'],
        { env: { ...process.env, CHROME_PATH: process.env.MORPH_CHROMIUM || '/usr/bin/chromium' } });
      const report = JSON.parse(readFileSync(output, 'utf8'));
      const audit = (id) => report.audits[id].displayValue;
      console.log(`  ${tag.padEnd(6)} ${Object.values(report.categories).map((c) => `${c.title} ` +
        `${Math.round(c.score * 100)}`).join(', ')}; FCP ${audit('first-contentful-paint')}, LCP ` +
        `${audit('largest-contentful-paint')}, TBT ${audit('total-blocking-time')}, CLS ` +
        `${audit('cumulative-layout-shift')}`);
    }
  }
} finally {
  rmSync(output, { force: true });
  server.close();
  floor.server.close();
}
