// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page as people meet it, in Debian's headless Chromium: an emulated
// phone taps each control and gets the frame the same keys give; the
// controls by keyboard alone; what the pause control says; reduced motion;
// what a screen reader is told; axe-core in the page's states; no horizontal
// scrolling on small screens, no layout shift as the page starts; a change
// of pixel density; a broken update left aside; Chromium's check of
// installability. What every engine is checked for is in engines.test.mjs.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { PNG } from 'pngjs';
import {
  serveSite, openPage, waitIn, waitForFrames, canvasPng, counts, kPhone, waitForChange, waitForFrame,
  staysStill, waitUntilSettled, framesAt,
} from '../../scripts/lib/web.mjs';
import { useSite, expectClean, kSite } from './session.mjs';
import { axeViolations } from './axe.mjs';

const kReduce = [{ name: 'prefers-reduced-motion', value: 'reduce' }];
const kNoPreference = [{ name: 'prefers-reduced-motion', value: 'no-preference' }];

let base;
let browser;
useSite((session) => ({ base, browser } = session));

const stateQuery = (first, second, steps = 100) => `?first=${first}&second=${second}&steps=${steps}&paused`;
const text = (page, id) => page.evaluate((i) => document.getElementById(i).textContent, id);
const phase = (page) => page.evaluate(() => document.body.dataset.viewer);

test('a phone taps each control: the frames are those the keys give, and End ends the viewer', async () => {
  const taps = [
    ['#first', 1, 1, ['Wave', 'Wave']],
    ['#second', 1, 2, ['Wave', 'Product wave']],
    ['#first', 2, 2, ['Product wave', 'Product wave']],
  ];
  const wanted = await framesAt(browser, taps.map(([, first, second]) => base + stateQuery(first, second)),
    { viewport: kPhone });
  const page = await openPage(browser, base + stateQuery(0, 1), { viewport: kPhone });
  await waitForFrames(page, 1);
  for (const [index, [control, first, second, names]] of taps.entries()) {
    await page.tap(control);
    assert.ok(await waitForFrame(page, wanted[index]),
      `after a tap on ${control} the frame is not that of ${first} and ${second}`);
    // The names follow the viewer's answer, which may come after the frame.
    await waitIn(page, (want) => [document.querySelector('#first .now').textContent,
      document.querySelector('#second .now').textContent].join('|') === want, `the names ${names}`, 5000,
    names.join('|'));
  }
  await page.tap('#end');
  await page.waitForFunction(() => document.body.dataset.viewer === 'ended', { timeout: 5000 });
  assert.equal(await page.evaluate(() => document.body.dataset.exitStatus), '1');
  assert.ok(await page.$$eval('.controls button', (all) => all.every((b) => b.disabled)),
    'controls still enabled after the end');
  await expectClean(page);
  await page.close();
});

test('the controls by keyboard alone: focus shows, Enter and the space bar deliver their key once', async () => {
  // The frames of the states the keys lead to, by first and second surface.
  const [at11, at21, at22, at23] = await framesAt(browser, [[1, 1], [2, 1], [2, 2], [2, 3]].map(([first, second]) =>
    base + stateQuery(first, second)));
  const page = await openPage(browser, base + stateQuery(0, 1));
  await waitForFrames(page, 1);
  const focused = () => page.evaluate(() => document.activeElement.id);
  // The language list comes first, above the canvas.
  await page.keyboard.press('Tab');
  assert.equal(await focused(), 'language');
  await page.keyboard.press('Tab');
  assert.equal(await focused(), 'first');
  assert.notEqual(await page.$eval('#first', (e) => getComputedStyle(e).outlineStyle), 'none', 'no visible focus');
  for (const [key, wanted] of [['Enter', at11], [' ', at21]]) {
    const keys = (await counts(page)).keys;
    await page.keyboard.press(key);
    assert.ok(await waitForFrame(page, wanted), `${JSON.stringify(key)} on the control`);
    assert.equal((await counts(page)).keys, keys + 1, `${JSON.stringify(key)} reached the viewer more than once`);
  }
  // A key of the viewer's own, with the focus on a control, reaches it once.
  await page.keyboard.press('2');
  assert.ok(await waitForFrame(page, at22), '"2" with the focus on a control');
  await page.keyboard.press('Tab');
  assert.equal(await focused(), 'second');
  await page.keyboard.press('Enter');
  assert.ok(await waitForFrame(page, at23), 'Enter on the second control');
  await expectClean(page);
  await page.close();
});

// That the pause holds the picture and play moves it is tested in every
// engine (engines.test.mjs); here, what the control says and that the
// surfaces still change while paused, by a tap on a phone.
test('the pause control says Pause or Play; paused, a tap still changes the surfaces and the picture then holds', async () => {
  const page = await openPage(browser, base, { viewport: kPhone });
  await waitForFrames(page, 5);
  assert.equal(await text(page, 'pause'), 'Pause');
  await page.tap('#pause');
  assert.equal(await text(page, 'pause'), 'Play');
  assert.ok(await waitUntilSettled(page), 'frames or idle calls went on after the pause');
  const held = await canvasPng(page);
  await page.tap('#second');
  assert.ok(await waitForChange(page, held), 'a tap on the second control changed nothing while paused');
  assert.ok(await staysStill(page, 500), 'the picture moved after a change while paused');
  await page.tap('#pause');
  assert.equal(await text(page, 'pause'), 'Pause');
  await expectClean(page);
  await page.close();
  // The URL's paused starts paused, with the control offering play.
  const paused = await openPage(browser, `${base}?paused`, { viewport: kPhone });
  await waitForFrames(paused, 1);
  assert.equal(await text(paused, 'pause'), 'Play');
  await expectClean(paused);
  await paused.close();
});

test('reduced motion starts still and says why; play moves; asking for it while running pauses', async () => {
  const page = await openPage(browser, base, { viewport: kPhone, media: kReduce });
  await waitForFrames(page, 1);
  assert.match(await text(page, 'status'), /reduced motion/);
  assert.equal(await text(page, 'pause'), 'Play');
  assert.ok(await staysStill(page, 500), 'the picture moved under reduced motion');
  await page.tap('#pause');
  assert.ok(await waitForChange(page, await canvasPng(page)), 'play did not move the picture');
  await page.close();

  const running = await openPage(browser, base, { media: kNoPreference });
  await waitForFrames(running, 3);
  await running.emulateMediaFeatures(kReduce);
  await running.waitForFunction(() => document.getElementById('pause').textContent === 'Play', { timeout: 5000 });
  assert.match(await text(running, 'status'), /reduced motion/);
  assert.ok(await waitUntilSettled(running), 'frames or idle calls went on after reduced motion was asked for');
  assert.ok(await staysStill(running, 500), 'the picture moved after reduced motion was asked for');
  await expectClean(running);
  await running.close();
});

test('a screen reader gets an image named by its surfaces, a main landmark, a heading, one announcement a change', async () => {
  const page = await openPage(browser, `${base}?first=0&second=1`);
  await waitForFrames(page, 1);
  const structure = await page.evaluate(() => ({
    mains: document.querySelectorAll('main').length,
    headings: [...document.querySelectorAll('h1')].map((h) => h.textContent),
    role: document.getElementById('canvas').getAttribute('role'),
    live: document.getElementById('status').getAttribute('role'),
  }));
  assert.deepEqual(structure, { mains: 1, headings: ['Morph Viewer'], role: 'img', live: 'status' });
  const label = () => page.$eval('#canvas', (c) => c.getAttribute('aria-label'));
  assert.match(await label(), /between Plane and Wave/);
  // Every text the live region takes, from here on.
  await page.evaluate(() => {
    window.announced = [];
    new MutationObserver(() => window.announced.push(document.getElementById('status').textContent))
      .observe(document.getElementById('status'), { childList: true, characterData: true, subtree: true });
  });
  await page.keyboard.press('2');
  await page.waitForFunction(() => window.announced.length > 0, { timeout: 5000 });
  await new Promise((r) => setTimeout(r, 300));
  assert.deepEqual(await page.evaluate(() => window.announced), ['Now morphing between Plane and Product wave.']);
  assert.match(await label(), /between Plane and Product wave/);
  // Frames, as the picture moves, do not touch the name.
  const named = await label();
  const shown = (await counts(page)).frames;
  await waitForFrames(page, shown + 5);
  assert.equal(await label(), named);
  await expectClean(page);
  await page.close();
});

// A paused page is checked in every language and colour scheme
// (languages.test.mjs), a page without WebGL where it is opened
// (page.test.mjs).
test('axe-core finds nothing: running, reduced motion, ended, bad parameter', async () => {
  const states = [
    ['running', '', {}, 'running'],
    ['reduced motion on a phone', '', { viewport: kPhone, media: kReduce }, 'running'],
    ['bad URL parameter', '?steps=abc', {}, 'running'],
  ];
  for (const [what, query, options, expected] of states) {
    const page = await openPage(browser, base + query, options);
    await waitForFrames(page, 1);
    assert.equal(await phase(page), expected);
    assert.deepEqual(await axeViolations(page), [], what);
    if (what === 'running') {
      await page.keyboard.press('Escape');
      await page.waitForFunction(() => document.body.dataset.viewer === 'ended', { timeout: 5000 });
      assert.deepEqual(await axeViolations(page), [], 'ended');
    }
    await page.close();
  }
});

// Every layout shift from the start (the score Lighthouse adds up).
const countShifts = (page) => page.evaluateOnNewDocument(() => {
  window.layoutShift = 0;
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) window.layoutShift += entry.value;
  }).observe({ type: 'layout-shift', buffered: true });
});

test('fits any screen: no horizontal scrolling at 320 and 360 pixels, the canvas square, 400 pixels on a wide one, 44-pixel controls, nothing moves as it starts', async () => {
  for (const [width, height, expected] of [[320, 640, null], [360, 740, null], [412, 823, null], [1280, 800, 400]]) {
    const page = await openPage(browser, base, { viewport: { width, height, deviceScaleFactor: 1 }, prepare: countShifts });
    await waitForFrames(page, 1);
    // The page is whole once its texts are in and the viewer draws; what the
    // script adds then (the language list, the texts) must not move it.
    await page.waitForFunction(() => document.getElementById('language').options.length > 1 &&
      !('text' in document.getElementById('status').dataset), { timeout: 5000 });
    assert.equal(await page.evaluate(() => window.layoutShift), 0, `${width} px: the page moved as it started`);
    const layout = await page.evaluate(() => {
      const box = document.getElementById('canvas').getBoundingClientRect();
      return { scroll: document.documentElement.scrollWidth, client: document.documentElement.clientWidth,
        width: box.width, height: box.height, right: box.right };
    });
    assert.ok(layout.scroll <= layout.client, `${width} px: the page scrolls sideways (${layout.scroll} > ${layout.client})`);
    assert.ok(layout.right <= width, `${width} px: the canvas reaches past the screen`);
    assert.equal(layout.width, layout.height, `${width} px: the canvas is not square`);
    if (expected) assert.equal(layout.width, expected);
    // Every control a target of at least 44 x 44 CSS pixels (WCAG 2.5.5).
    const small = await page.$$eval('button', (all) => all.map((b) => b.getBoundingClientRect())
      .filter((box) => box.width < 44 || box.height < 44).length);
    assert.equal(small, 0, `${width} px: a control is smaller than 44 x 44`);
    await page.close();
  }
});

test('the drawing buffer follows the pixel density: 800 x 800 at ratio 2, and a change of ratio is followed', async () => {
  const size = async (page) => {
    const png = PNG.sync.read(await canvasPng(page));
    return [png.width, png.height];
  };
  const page = await openPage(browser, `${base}?paused`, { viewport: { width: 800, height: 700, deviceScaleFactor: 2 } });
  await waitForFrames(page, 1);
  assert.deepEqual(await size(page), [800, 800]);
  const shown = (await counts(page)).frames;
  // The protocol's emulation changes the ratio but sends no event; a zoom
  // sends a resize event.
  await page.setViewport({ width: 800, height: 700, deviceScaleFactor: 1.5 });
  await page.evaluate(() => window.dispatchEvent(new Event('resize')));
  await page.waitForFunction(async (n) => (await window.morphViewer.counts()).frames > n, { timeout: 5000, polling: 50 },
    shown);
  assert.deepEqual(await size(page), [600, 600]);
  await expectClean(page);
  await page.close();
});

// That the page opens and runs offline after one visit is tested in every
// engine (engines.test.mjs); here, that a broken update keeps the old build
// whole, and Chromium's check of installability.
test('a broken update leaves the kept build whole; nothing keeps the page from being installed', async () => {
  // A folder of its own, whose files the test changes, served on a port of
  // its own: another origin, whose service worker serves no other test.
  const folder = mkdtempSync(join(tmpdir(), 'morph-site-'));
  cpSync(kSite, folder, { recursive: true });
  const own = await serveSite(folder);
  try {
    const page = await openPage(browser, own.url);
    await waitForFrames(page, 1);
    // Every file the worker keeps, by cache.
    const keptFiles = () => page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      const names = await caches.keys();
      return Promise.all(names.map(async (name) => ({ name,
        files: (await (await caches.open(name)).keys()).map((r) => new URL(r.url).pathname.slice(1)).sort() })));
    });
    const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
    // (The build minifies the worker: its quotes are double.)
    const files = [...worker.matchAll(/"([^"]+)":"[0-9a-f]{64}"/g)].map((m) => m[1]).sort();
    assert.ok(files.length > 10, `the worker keeps only ${files.length} files, as read here`);
    await waitIn(page, async (n) => (await caches.keys()).length === 1 &&
      (await (await caches.open((await caches.keys())[0])).keys()).length === n, 'the worker to keep every file',
    20000, files.length);
    const kept = await keptFiles();
    assert.equal(kept.length, 1);
    assert.deepEqual(kept[0].files, files);

    // Chromium's own check: nothing keeps the page from being installed.
    const session = await page.createCDPSession();
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);

    // A new build, half deployed: its worker names a page.js the folder does
    // not hold. Its install fails; the kept build stays, alone and whole.
    const broken = worker.replace(/kBuild="[0-9a-f]+"/, 'kBuild="another"')
      .replace(/"page\.js":"[0-9a-f]+"/, `"page.js":"${'0'.repeat(64)}"`);
    assert.equal(broken.match(/"another"|"0{64}"/g)?.length, 2, 'the worker, as read here, is not the one changed');
    writeFileSync(join(folder, 'sw.js'), broken);
    const update = await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.ready;
      await registration.update().catch(() => {});
      for (let i = 0; i < 100 && registration.installing; i++) await new Promise((r) => setTimeout(r, 50));
      return { installing: !!registration.installing, waiting: !!registration.waiting };
    });
    assert.deepEqual(update, { installing: false, waiting: false });
    assert.deepEqual(await keptFiles(), kept);
    await expectClean(page);
    await page.close();
  } finally {
    own.server.close();
    rmSync(folder, { recursive: true, force: true });
  }
});
