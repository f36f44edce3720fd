// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page in each browser engine (engines.mjs: Chromium, Firefox ESR,
// WebKitGTK): it runs, on the thread the engine allows; its controls and
// keys give the frames the URL's states give; pause holds the picture; it
// opens and runs offline after one visit; it reads right to left in Arabic;
// and its frames of the compared states agree with the desktop's, each
// engine's agreement printed and each frame written beside the desktop's with
// their difference to build-web/frame-diffs/ (Chromium's, at ratio 1 and 2
// and to the bit, in frames.test.mjs). Where the page runs the viewer in each
// engine is named in kThread, and tested.
import { describe, test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { cpSync, mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  serveSite, waitIn, counts, canvasPng, waitForFrames, waitForFrame, waitForChange, waitUntilSettled, staysStill, frameAt,
} from '../../scripts/lib/web.mjs';
import { kSite, kModules } from './session.mjs';
import { kEngines, startEngine } from './engines.mjs';
import { desktopFrameOf, readPng, agreement, kStates } from './frames.mjs';

const { kWindow } = await import(`${kModules}/viewer-facts.js`);
const root = new URL('../../', import.meta.url).pathname;
const morphFrames = process.env.MORPH_NATIVE_MORPH_FRAMES || `${root}build/tools/morph_frames`;
const diffs = process.env.MORPH_FRAME_DIFFS || `${root}build-web/frame-diffs`;

// What each engine lacks here, and so where the page runs the viewer:
// WebKitGTK gives a worker's OffscreenCanvas no WebGL 2 context, so the page
// starts the viewer on its own thread there. (Also lacking, and so tested in
// Chromium alone: an install prompt and its check, and the emulation of media
// features: colour scheme, forced colours, reduced motion. WebDriver classic
// reports no console messages from WebKit.)
const kThread = Object.freeze({ chromium: 'worker', firefox: 'worker', webkit: 'page' });

// The least share of pixels within 3/255 of the desktop's, per state and
// over all of them, for each engine. Measured on 2026-12-09: Firefox and
// WebKitGTK, which draw with Mesa's llvmpipe as the desktop does, 99.99 % and
// 100.00 %.
const kLeast = Object.freeze({
  firefox: { each: 0.999, overall: 0.9995 },
  webkit: { each: 0.999, overall: 0.9995 },
});

const stateQuery = (first, second, steps = 100) => `?first=${first}&second=${second}&steps=${steps}&paused`;

for (const name of kEngines) {
  describe(name, () => {
    let engine;
    let site;
    before(async () => {
      site = await serveSite(kSite);
      engine = await startEngine(name);
      console.log(`${name}: ${engine.version}`);
    });
    after(async () => {
      await engine?.close();
      site?.server.close();
    });

    test('it runs, on the thread the engine allows, with no console error where the engine reports them', async () => {
      const tab = await engine.open(site.url);
      await waitForFrames(tab, 3);
      const shown = await tab.evaluate(() => ({ thread: document.body.dataset.thread, title: document.title,
        status: document.getElementById('status').textContent }));
      assert.deepEqual(shown, { thread: kThread[name], title: kWindow.title, status: 'Running.' });
      if (tab.problems !== null) assert.deepEqual(tab.problems, []);
      await tab.close();
    });

    test('controls and keys give the frames of the states they lead to; pause holds the picture', async () => {
      // The frames of the states the control and the key lead to, from a
      // tab of their own (in WebKitGTK, the one window before the page).
      const reference = await engine.open('about:blank');
      const wanted = [await frameAt(reference, site.url + stateQuery(1, 1)),
        await frameAt(reference, site.url + stateQuery(1, 2))];
      await reference.close();
      const tab = await engine.open(site.url + stateQuery(0, 1));
      await waitForFrames(tab, 1);
      await tab.click('#first');
      assert.ok(await waitForFrame(tab, wanted[0]), 'a click on the first control');
      await tab.press('2');
      assert.ok(await waitForFrame(tab, wanted[1]), 'the key "2"');
      // Play, then pause: the picture moves, then stands still and no idle
      // call is made.
      await tab.click('#pause');
      await waitIn(tab, () => document.getElementById('pause').textContent === 'Pause', 'play');
      assert.ok(await waitForChange(tab, await canvasPng(tab), 10000), 'play did not move the picture');
      await tab.click('#pause');
      assert.ok(await waitUntilSettled(tab), 'frames or idle calls went on after the pause');
      const idle = (await counts(tab)).idleCalls;
      assert.ok(await staysStill(tab, 500), 'the picture moved while paused');
      assert.equal((await counts(tab)).idleCalls, idle, 'idle calls went on while paused');
      await tab.press('Escape');
      await waitIn(tab, () => document.body.dataset.viewer === 'ended', 'the end after Escape');
      await tab.close();
    });

    test('Arabic reads right to left', async () => {
      const tab = await engine.open(`${site.url}?lang=ar`);
      await waitIn(tab, () => document.documentElement.dir === 'rtl', 'the right-to-left page');
      await waitForFrames(tab, 1);
      const layout = await tab.evaluate(() => ({ lang: document.documentElement.lang,
        mirrored: document.getElementById('first').getBoundingClientRect().left >
          document.getElementById('second').getBoundingClientRect().left }));
      assert.deepEqual(layout, { lang: 'ar', mirrored: true });
      await tab.close();
    });

    test('after one visit it opens and runs offline', async () => {
      const folder = mkdtempSync(join(tmpdir(), `morph-site-${name}-`));
      cpSync(kSite, folder, { recursive: true });
      let own = await serveSite(folder);
      try {
        const tab = await engine.open(`${own.url}?lang=de`);
        await waitForFrames(tab, 1);
        await waitIn(tab, async () => !!(await navigator.serviceWorker.getRegistration())?.active &&
          (await caches.keys()).length === 1, 'the service worker to keep the files');
        own.server.closeAllConnections();
        await new Promise((resolve) => own.server.close(resolve));
        own = null;
        await tab.reload();
        await waitForFrames(tab, 3);
        assert.deepEqual(await tab.evaluate(() => ({ controlled: !!navigator.serviceWorker.controller,
          lang: document.documentElement.lang })), { controlled: true, lang: 'de' });
        await tab.close();
      } finally {
        own?.server.close();
        rmSync(folder, { recursive: true, force: true });
      }
    });

    // Chromium's frames are compared at ratio 1 and 2, and to the bit, in
    // frames.test.mjs.
    test('its frames of the compared states agree with the desktop\'s', { skip: name === 'chromium' &&
      'compared in frames.test.mjs' }, async () => {
      mkdirSync(diffs, { recursive: true });
      // One tab, each state loaded into it in turn.
      const tab = await engine.open('about:blank');
      let agreeing = 0;
      let pixels = 0;
      const hashes = [];
      console.log(`${name}: first second steps   agreeing  differing pixels  canvas SHA-256`);
      for (const [first, second, steps] of kStates) {
        await tab.goto(site.url + stateQuery(first, second, steps));
        await waitForFrames(tab, 1);
        const web = readPng(await canvasPng(tab));
        const result = agreement(web, desktopFrameOf(morphFrames, first, second, steps),
          `${diffs}/${name}-state-${first}-${second}-${steps}.png`);
        const hash = createHash('sha256').update(web.rgba).digest('hex');
        hashes.push(hash);
        console.log(`${name}: ${String(first).padStart(5)} ${String(second).padStart(6)} ${String(steps).padStart(5)}` +
          `  ${(100 * result.share).toFixed(2).padStart(6)} %  ${String(result.pixels - result.agreeing).padStart(6)}` +
          `            ${hash.slice(0, 16)}`);
        assert.ok(result.share >= kLeast[name].each, `${name}, state ${first} ${second} ${steps}: ` +
          `only ${(100 * result.share).toFixed(2)} % agree`);
        agreeing += result.agreeing;
        pixels += result.pixels;
      }
      const combined = createHash('sha256').update(hashes.join('')).digest('hex');
      console.log(`${name}, over all ${kStates.length} states: ${(100 * agreeing / pixels).toFixed(2)} % of ` +
        `${pixels} pixels agree within 3/255; the canvas hashes run together and hashed: ${combined}`);
      assert.ok(agreeing / pixels >= kLeast[name].overall);
      await tab.close();
    });
  });
}
