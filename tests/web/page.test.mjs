// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser build's page in Debian's headless Chromium: title and canvas,
// keys, Escape, URL parameters, no WebGL, a lost context, a hidden tab, the
// page's content security policy, and no console errors along the way. (The
// controls, screen readers, small and dense screens and offline use are in
// access.test.mjs.)
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { PNG } from 'pngjs';
import {
  launchChromium, openPage, waitForFrames, canvasPng, counts, waitForChange, waitForFrame, waitUntilSettled,
} from '../../scripts/lib/web.mjs';
import { useSite, expectClean, kModules } from './session.mjs';
import { axeViolations } from './axe.mjs';

const { kWindow } = await import(`${kModules}/viewer-facts.js`);
import { keepWorkerContexts, loseContext, restoreContext } from './context.mjs';

let base;
let browser;
useSite((session) => ({ base, browser } = session));

const open = (query = '', on = browser) => openPage(on, base + query);


const status = (page) => page.evaluate(() => document.getElementById('status').textContent);
const note = (page) => page.evaluate(() => document.getElementById('note').textContent);
const state = (page) => page.evaluate(() => ({ ...document.body.dataset }));

// (The title is checked in every engine, in engines.test.mjs.)
test('the page: one canvas of the viewer\'s window size, drawn frames, under the policy', async () => {
  const page = await open();
  await waitForFrames(page, 5);
  assert.equal(await page.evaluate(() => document.querySelectorAll('canvas').length), 1);
  const png = PNG.sync.read(await canvasPng(page));
  assert.deepEqual([png.width, png.height], [kWindow.width, kWindow.height]);
  // Every file of the page came from the page's own server.
  const origins = await page.evaluate(() => performance.getEntriesByType('resource').map((e) => new URL(e.name).origin));
  assert.ok(origins.every((o) => o === new URL(base).origin), `resources from elsewhere: ${origins}`);
  await expectClean(page);
  await page.close();
});

test('"1" and "2" change the frame, other keys do not step the selections, keys need no click', async () => {
  const page = await open('?first=0&second=1&steps=200&paused');
  await waitForFrames(page, 1);
  const start = await canvasPng(page);
  // Keys that are not "1" or "2" redraw the same frame.
  const framesBefore = (await counts(page)).frames;
  for (const key of ['3', 'a', 'x', 'Enter', ' ', 'F1', 'ArrowLeft', 'Tab']) await page.keyboard.press(key);
  await page.waitForFunction(async (n) => (await window.morphViewer.counts()).frames > n, { timeout: 5000, polling: 50 },
    framesBefore);
  assert.ok((await canvasPng(page)).equals(start), 'a key other than 1 or 2 changed the frame');
  // With Ctrl, Alt or Meta a key is the browser's.
  await page.keyboard.down('Control');
  await page.keyboard.press('1');
  await page.keyboard.up('Control');
  await new Promise((r) => setTimeout(r, 200));
  assert.ok((await canvasPng(page)).equals(start), 'Ctrl+1 reached the viewer');
  // "1" steps the first selection: six presses come back to the start.
  await page.keyboard.press('1');
  const stepped = await waitForChange(page, start);
  assert.ok(stepped, '"1" did not change the frame');
  for (let i = 0; i < 5; i++) await page.keyboard.press('1');
  assert.ok(await waitForChange(page, stepped), 'five more "1" did not change the frame');
  assert.ok(await waitForFrame(page, start), 'six presses of "1" did not come back to the first frame');
  // "2" likewise.
  await page.keyboard.press('2');
  assert.ok(await waitForChange(page, start), '"2" did not change the frame');
  await expectClean(page);
  await page.close();
});

test('Escape ends the viewer with status 1: the page says so and the frames stop', async () => {
  const page = await open();
  await waitForFrames(page, 5);
  const first = await canvasPng(page);
  assert.ok(await waitForChange(page, first), 'the viewer does not animate');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.viewer === 'ended', { timeout: 5000 });
  assert.equal((await state(page)).exitStatus, '1');
  assert.match(await status(page), /ended with exit status 1\. Reload the page to start it again\./);
  const last = await canvasPng(page);
  await new Promise((r) => setTimeout(r, 500));
  assert.ok((await canvasPng(page)).equals(last), 'frames go on after Escape');
  assert.ok(!last.equals(await blankPng(page)), 'the last frame did not stay');
  await expectClean(page);
  await page.close();
});

// A PNG of an empty canvas of the same size, to tell a kept frame from none.
async function blankPng(page) {
  const url = await page.evaluate(({ width, height }) => {
    const c = document.createElement('canvas');
    c.width = width;
    c.height = height;
    return c.toDataURL('image/png');
  }, kWindow);
  return Buffer.from(url.split(',')[1], 'base64');
}

test('a bad parameter is named with its range, and the viewer starts with the defaults', async () => {
  // One tab, each address loaded into it in turn.
  const page = await openPage(browser, 'about:blank');
  for (const [query, named] of [
    ['?first=9', '"first" must be a whole number from 0 to 5, not "9"'],
    ['?second=-2', '"second" must be a whole number from 0 to 5, not "-2"'],
    ['?steps=-1', '"steps" must be a whole number from 0 to 100000000, not "-1"'],
    ['?steps=abc', '"steps" must be a whole number from 0 to 100000000, not "abc"'],
    ['?steps=100000001', '"steps" must be a whole number from 0 to 100000000, not "100000001"'],
  ]) {
    await page.goto(base + query, { waitUntil: 'load' });
    await waitForFrames(page, 2);
    const text = await note(page);
    assert.ok(text.includes(named), `${query}: note: ${text}`);
    assert.match(text, /starts with its defaults/, query);
    await expectClean(page);
  }
  await page.close();
});

test('the defaults: ?first=0&second=1&steps=0&paused shows the frame the page starts with', async () => {
  const plain = await open('?paused');
  await waitForFrames(plain, 1);
  const explicit = await open('?first=0&second=1&steps=0&paused');
  await waitForFrames(explicit, 1);
  assert.ok((await canvasPng(plain)).equals(await canvasPng(explicit)));
  await plain.close();
  await explicit.close();
});

test('a lost and restored WebGL context draws again, with the same state', async () => {
  const page = await openPage(browser, `${base}?first=2&second=3&steps=50&paused`, { prepare: keepWorkerContexts });
  await waitForFrames(page, 1);
  const before = await canvasPng(page);
  await loseContext(page);
  await restoreContext(page);
  assert.ok(await waitForFrame(page, before), 'the frame after the context came back is not the frame before');
  await expectClean(page);
  await page.close();
});

test('without WebGL the page says so plainly, after trying a worker and then its own thread, and axe-core finds nothing', async () => {
  // No GL at all: neither the worker's OffscreenCanvas nor the page's canvas
  // gets a context (--disable-3d-apis leaves workers theirs).
  const noGl = await launchChromium(['--use-gl=disabled']);
  try {
    const page = await open('', noGl);
    await page.waitForFunction(() => document.body.dataset.viewer === 'no-webgl', { timeout: 10000 });
    assert.match(await status(page), /needs WebGL 2, which this browser does not offer or has turned off/);
    assert.deepEqual(await axeViolations(page), [], 'axe-core on the page without WebGL');
    await expectClean(page);
  } finally {
    await noGl.close();
  }
});

test('a browser that cannot hand a canvas to a worker runs the viewer on the page: the same frames', async () => {
  const query = '?first=4&second=2&steps=25&paused';
  const inWorker = await open(query);
  await waitForFrames(inWorker, 1);
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    delete HTMLCanvasElement.prototype.transferControlToOffscreen;
  });
  await page.goto(base + query, { waitUntil: 'load' });
  await waitForFrames(page, 1);
  assert.equal(await page.evaluate(() => document.body.dataset.thread), 'page', 'the viewer did not run on the page');
  assert.equal(page.workers().length, 0, 'the viewer ran in a worker');
  const pixels = async (p) => PNG.sync.read(await canvasPng(p)).data;
  assert.ok((await pixels(page)).equals(await pixels(inWorker)), 'the frames differ');
  // Keys reach it the same way.
  const before = await canvasPng(page);
  await page.keyboard.press('2');
  assert.ok(await waitForChange(page, before), '"2" did not change the frame');
  await inWorker.close();
  await page.close();
});

test('a hidden tab pauses: no idle calls while another tab is in front, then it goes on', async () => {
  const page = await open();
  await waitForFrames(page, 5);
  const both = async () => {
    const c = await counts(page);
    return [c.frames, c.idleCalls];
  };
  // Another tab in front; the counts once the viewer has settled. A frame
  // the browser had already asked for may still come, and so may the turn a
  // shown frame lets run: counted before that turn, a frame would lack its
  // idle call.
  const hide = async () => {
    const other = await browser.newPage();
    await other.bringToFront();
    await page.waitForFunction(() => document.visibilityState === 'hidden', { timeout: 5000 });
    assert.ok(await waitUntilSettled(page), 'frames or idle calls went on after the tab was hidden');
    return other;
  };
  let other = await hide();
  const hidden = await both();
  // Longer than a second: a timer-driven loop would run at least once, as
  // browsers let a hidden tab's timers fire once a second.
  await new Promise((r) => setTimeout(r, 1500));
  assert.deepEqual(await both(), hidden, 'frames or idle calls went on in a hidden tab');
  await other.close();
  await page.bringToFront();
  await waitForFrames(page, hidden[0] + 5);
  other = await hide();
  const [frames, idleCalls] = await both();
  assert.equal(idleCalls - hidden[1], frames - hidden[0], 'not one idle call per frame after the pause');
  await other.close();
  await expectClean(page);
  await page.close();
});
