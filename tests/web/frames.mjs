// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Frames of the page against frames of the desktop build: reading both, and
// how many pixels agree within 3/255 in every channel.
import { readFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { PNG } from 'pngjs';
import pixelmatch from 'pixelmatch';

export const kTolerance = 3;  // out of 255, per channel

// The compared states, [first, second, idle calls]: every function at least
// once as the first and as the second selection; weight 0 at 0 calls, 1 near
// 100, 0 near 300; one state past 100,000 calls.
export const kStates = Object.freeze([
  [0, 1, 0], [1, 2, 100], [2, 3, 50], [3, 4, 200], [4, 5, 300], [5, 0, 100], [1, 0, 150],
  [2, 5, 250], [3, 1, 350], [4, 2, 25], [5, 3, 375], [0, 4, 123456], [2, 2, 80],
]);

// The desktop renderer's frame of each state, drawn once in a test file.
const desktopFrames = new Map();
export function desktopFrameOf(morphFrames, first, second, steps) {
  const key = `${first} ${second} ${steps}`;
  if (!desktopFrames.has(key)) desktopFrames.set(key, desktopFrame(morphFrames, first, second, steps));
  return desktopFrames.get(key);
}

// Runs a command on a private X server of its own.
const kOnXvfb = new URL('../../scripts/lib/on-xvfb', import.meta.url).pathname;

// A binary PPM (P6, maxval 255) as { width, height, rgba }, rows from the top.
export function readPpm(file) {
  const bytes = readFileSync(file);
  const fields = [];
  let at = 0;
  while (fields.length < 4) {
    while (/\s/.test(String.fromCharCode(bytes[at]))) at++;
    let field = '';
    while (!/\s/.test(String.fromCharCode(bytes[at]))) field += String.fromCharCode(bytes[at++]);
    fields.push(field);
  }
  at++;  // the one white-space byte before the pixels
  const [magic, width, height, maxval] = [fields[0], Number(fields[1]), Number(fields[2]), Number(fields[3])];
  if (magic !== 'P6' || maxval !== 255) throw new Error(`${file}: not a P6 PPM with maxval 255`);
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; i++) {
    rgba[4 * i] = bytes[at + 3 * i];
    rgba[4 * i + 1] = bytes[at + 3 * i + 1];
    rgba[4 * i + 2] = bytes[at + 3 * i + 2];
    rgba[4 * i + 3] = 255;
  }
  return { width, height, rgba };
}

export function readPng(buffer) {
  const png = PNG.sync.read(buffer);
  return { width: png.width, height: png.height, rgba: png.data };
}

// The desktop renderer's frame of a state, drawn by the real program's code
// (tools/morph_frames of a Linux build) on a private X server.
export function desktopFrame(morphFrames, first, second, steps) {
  const directory = mkdtempSync(join(tmpdir(), 'morph-frame-'));
  try {
    execFileSync(kOnXvfb, [morphFrames, '--pair', String(first), String(second), '--at', String(steps), directory],
      { stdio: 'pipe' });
    return readPpm(join(directory, `frame-${String(steps).padStart(3, '0')}.ppm`));
  } finally {
    rmSync(directory, { recursive: true, force: true });
  }
}

// How many pixels of two same-sized images agree within kTolerance in every
// channel; with DIFF_FILE, writes the frames side by side with a difference
// image (pixelmatch's: differing pixels red over a faded copy).
export function agreement(a, b, diffFile) {
  if (a.width !== b.width || a.height !== b.height) {
    throw new Error(`sizes differ: ${a.width} x ${a.height} against ${b.width} x ${b.height}`);
  }
  const pixels = a.width * a.height;
  let agreeing = 0;
  for (let i = 0; i < pixels; i++) {
    let worst = 0;
    for (let c = 0; c < 3; c++) worst = Math.max(worst, Math.abs(a.rgba[4 * i + c] - b.rgba[4 * i + c]));
    if (worst <= kTolerance) agreeing++;
  }
  if (diffFile) {
    const diff = new PNG({ width: a.width, height: a.height });
    pixelmatch(a.rgba, b.rgba, diff.data, a.width, a.height, { threshold: 0.02, includeAA: true });
    const sheet = new PNG({ width: a.width * 3, height: a.height });
    for (const [k, image] of [a.rgba, b.rgba, diff.data].entries()) {
      for (let y = 0; y < a.height; y++) {
        image.copy(sheet.data, (y * a.width * 3 + k * a.width) * 4, y * a.width * 4, (y + 1) * a.width * 4);
      }
    }
    import('node:fs').then(({ writeFileSync }) => writeFileSync(diffFile, PNG.sync.write(sheet)));
  }
  return { agreeing, pixels, share: agreeing / pixels };
}
