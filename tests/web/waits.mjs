// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Bounded waits on the canvas, shared by the page's tests.
import { canvasPng, counts } from '../../scripts/lib/web.mjs';

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Waits until the canvas shows something other than BEFORE; the new frame,
// or null after TIMEOUT ms.
export async function waitForChange(page, before, timeout = 5000) {
  const end = Date.now() + timeout;
  for (;;) {
    const now = await canvasPng(page);
    if (!now.equals(before)) return now;
    if (Date.now() > end) return null;
    await pause(50);
  }
}

// Waits until the canvas shows WANTED; whether it did within TIMEOUT ms.
export async function waitForFrame(page, wanted, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    if ((await canvasPng(page)).equals(wanted)) return true;
    if (Date.now() > end) return false;
    await pause(50);
  }
}

// Whether the canvas keeps showing the same frame for MS milliseconds.
export async function staysStill(page, ms = 1000) {
  const first = await canvasPng(page);
  await pause(ms);
  return (await canvasPng(page)).equals(first);
}

// Waits until the viewer has settled after a pause: no frame shown and no
// idle call made for QUIET ms (a frame drawn just before the pause may still
// be on its way to the canvas, later on a loaded machine). Whether it
// settled within TIMEOUT ms.
export async function waitUntilSettled(page, quiet = 300, timeout = 10000) {
  const end = Date.now() + timeout;
  let last = await counts(page);
  for (;;) {
    await pause(quiet);
    const now = await counts(page);
    if (now.frames === last.frames && now.idleCalls === last.idleCalls) return true;
    if (Date.now() > end) return false;
    last = now;
  }
}
