// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's frames against the desktop renderer's: for 13 states (every
// function at least once as the first and as the second selection; weights 0,
// 1 and between; one state past 100,000 idle calls) the page's frame at
// ?first=A&second=B&steps=N&paused and the frame of the real program's code on
// Xvfb (tools/morph_frames of a Linux build, --pair A B --at N) agree within
// 3/255 in every channel on most pixels. Prints the table, with the SHA-256 of
// each state's canvas pixels (RGBA, rows from the top), which shows whether a
// change to the browser layer left its frames alone, and writes each state's
// frames and their difference image to build-web/frame-diffs/ (the hashes in
// full to canvas-sha256.txt there).
//
// The outlines lie 0.001 above their facets, about a third of a depth step
// there, so which of the two shows along an outline is decided by the last bit
// of each depth; the page computes depths as llvmpipe does. What still differs
// is where the two renderers (Chromium's SwiftShader, Mesa's llvmpipe) put the
// edges of lines and facets: single pixels where outlines meet and at line ends.
import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { mkdirSync, writeFileSync } from 'node:fs';
import { openPage, waitForFrames, canvasPng } from '../../scripts/lib/web.mjs';
import { useSite } from './session.mjs';
import { desktopFrameOf as desktopFrameOfState, readPng, agreement, kTolerance, kStates } from './frames.mjs';

const root = new URL('../../', import.meta.url).pathname;
const morphFrames = process.env.MORPH_NATIVE_MORPH_FRAMES || `${root}build/tools/morph_frames`;
const diffs = process.env.MORPH_FRAME_DIFFS || `${root}build-web/frame-diffs`;

// The least share of agreeing pixels in each state and over all of them
// (measured: 99.86 % in the least alike state, 99.91 % over all).
const kLeastEach = 0.995;
const kLeastOverall = 0.998;


let base;
let browser;
useSite((session) => ({ base, browser } = session));
before(() => {
  mkdirSync(diffs, { recursive: true });
});

// The page's frame of a state, at a device pixel ratio.
async function pageFrame(first, second, steps, deviceScaleFactor = 1) {
  const page = await openPage(browser, `${base}?first=${first}&second=${second}&steps=${steps}&paused`,
    { viewport: { width: 800, height: 700, deviceScaleFactor } });
  await waitForFrames(page, 1);
  const web = readPng(await canvasPng(page));
  assert.deepEqual(page.problems, []);
  assert.deepEqual(await page.evaluate(() => window.policyViolations), []);
  await page.close();
  return web;
}

const desktopFrameOf = (first, second, steps) => desktopFrameOfState(morphFrames, first, second, steps);

test(`the page's frames agree with the desktop's within ${kTolerance}/255`, async () => {
  const rows = [];
  let agreeing = 0;
  let pixels = 0;
  for (const [first, second, steps] of kStates) {
    const web = await pageFrame(first, second, steps);
    const desktop = desktopFrameOf(first, second, steps);
    const result = agreement(web, desktop, `${diffs}/state-${first}-${second}-${steps}.png`);
    rows.push({ first, second, steps, agreeing: `${(100 * result.share).toFixed(2)} %`,
      differing: result.pixels - result.agreeing, hash: createHash('sha256').update(web.rgba).digest('hex') });
    agreeing += result.agreeing;
    pixels += result.pixels;
  }
  console.log('first second steps   agreeing  differing pixels  canvas SHA-256');
  for (const r of rows) {
    console.log(`${String(r.first).padStart(5)} ${String(r.second).padStart(6)} ${String(r.steps).padStart(7)}` +
      `  ${r.agreeing.padStart(8)}  ${String(r.differing).padStart(6)}            ${r.hash.slice(0, 16)}`);
  }
  writeFileSync(`${diffs}/canvas-sha256.txt`,
    rows.map((r) => `${r.hash}  first=${r.first}&second=${r.second}&steps=${r.steps}&paused\n`).join(''));
  console.log(`over all ${kStates.length} states: ${(100 * agreeing / pixels).toFixed(2)} % of ${pixels} pixels agree`);
  // One figure for all the states: their hashes run together, and hashed.
  const combined = createHash('sha256').update(rows.map((r) => r.hash).join('')).digest('hex');
  console.log(`the ${kStates.length} canvas hashes run together and hashed: ${combined}`);
  for (const r of rows) {
    assert.ok(parseFloat(r.agreeing) / 100 >= kLeastEach,
      `state ${r.first} ${r.second} ${r.steps}: only ${r.agreeing} agree`);
  }
  assert.ok(agreeing / pixels >= kLeastOverall, `only ${(100 * agreeing / pixels).toFixed(2)} % agree over all`);
});

// At a device pixel ratio of 2 the page draws the desktop's picture at twice
// the resolution: 800 x 800 pixels, which averaged two by two come close to
// the desktop's frame. Facets and the caption agree; along every outline and
// axis the finer line's edges average to half-covered pixels where the
// desktop's line has whole ones (measured: 93.93 % over all, 90.72 % in the
// least alike state).
const kLeastAtRatioTwo = 0.92;

test('at a device pixel ratio of 2 the frames are 800 x 800 and, averaged down, near the desktop\'s', async () => {
  let agreeing = 0;
  let pixels = 0;
  const lines = [];
  for (const [first, second, steps] of kStates) {
    const web = await pageFrame(first, second, steps, 2);
    assert.deepEqual([web.width, web.height], [800, 800]);
    const result = agreement(halved(web), desktopFrameOf(first, second, steps),
      `${diffs}/ratio2-state-${first}-${second}-${steps}.png`);
    lines.push(`${String(first).padStart(5)} ${String(second).padStart(6)} ${String(steps).padStart(7)}` +
      `  ${(100 * result.share).toFixed(2).padStart(6)} %`);
    agreeing += result.agreeing;
    pixels += result.pixels;
  }
  console.log('ratio 2, averaged down to 400 x 400:\nfirst second steps   agreeing');
  for (const line of lines) console.log(line);
  console.log(`over all ${kStates.length} states: ${(100 * agreeing / pixels).toFixed(2)} % of ${pixels} pixels agree`);
  assert.ok(agreeing / pixels >= kLeastAtRatioTwo, `only ${(100 * agreeing / pixels).toFixed(2)} % agree at ratio 2`);
});

// An image averaged two by two, rounded to the nearest level.
function halved(image) {
  const width = image.width / 2;
  const height = image.height / 2;
  const rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      for (let c = 0; c < 4; c++) {
        const at = (row, column) => image.rgba[(row * image.width + column) * 4 + c];
        const sum = at(2 * y, 2 * x) + at(2 * y, 2 * x + 1) + at(2 * y + 1, 2 * x) + at(2 * y + 1, 2 * x + 1);
        rgba[(y * width + x) * 4 + c] = Math.round(sum / 4);
      }
    }
  }
  return { width, height, rgba };
}
