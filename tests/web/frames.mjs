// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Frames of the page against frames of the desktop build: reading both, and
// how many pixels agree within 3/255 in every channel.
import { createHash } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, renameSync, rmSync } from 'node:fs';
import { dirname, join } from 'node:path';
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

// Where the desktop's frames of the states are kept, in a folder named after
// the program that drew them (its SHA-256): drawn once for a build of it,
// whichever test file asks first, and never taken from another build.
const kDesktopFrames = process.env.MORPH_DESKTOP_FRAMES ||
  new URL('../../build-web/desktop-frames', import.meta.url).pathname;
const stateFile = (first, second, steps) => `state-${first}-${second}-${steps}.ppm`;

// The desktop renderer's frame of a compared state, { width, height, rgba }.
const desktopFrames = new Map();
export function desktopFrameOf(morphFrames, first, second, steps) {
  const key = stateFile(first, second, steps);
  if (!desktopFrames.has(key)) {
    desktopFrames.set(key, readPpm(join(desktopFramesFolder(morphFrames), key)));
  }
  return desktopFrames.get(key);
}

// The folder of the desktop's frames of every compared state, drawn by the
// real program's code (tools/morph_frames of a Linux build) on one private X
// server if they are not there yet.
function desktopFramesFolder(morphFrames) {
  const program = createHash('sha256').update(readFileSync(morphFrames)).digest('hex').slice(0, 16);
  const folder = join(kDesktopFrames, program);
  if (kStates.every((state) => existsSync(join(folder, stateFile(...state))))) return folder;
  mkdirSync(kDesktopFrames, { recursive: true });
  const work = mkdtempSync(join(kDesktopFrames, 'drawing-'));
  try {
    // Each state in a folder of its own (two states may share their idle
    // calls, and so the name of their frame); the program prints the name of
    // the file it saved.
    const loop = 'program=$1; shift; while [ $# -gt 0 ]; do mkdir -p "$1" && "$program" --pair "$2" "$3" --at "$4" "$1" ' +
      '|| exit 1; shift 4; done';
    const saved = execFileSync(kOnXvfb, ['sh', '-c', loop, 'sh', morphFrames,
      ...kStates.flatMap(([first, second, steps]) => [join(work, `${first}-${second}-${steps}`), first, second, steps]
        .map(String))], { stdio: 'pipe', encoding: 'utf8' }).trim().split('\n');
    if (saved.length !== kStates.length) throw new Error(`morph_frames saved ${saved.length} frames, not ${kStates.length}`);
    kStates.forEach((state, i) => {
      renameSync(saved[i], join(work, stateFile(...state)));
      rmSync(dirname(saved[i]), { recursive: true });
    });
    try {
      renameSync(work, folder);
    } catch (error) {
      if (!existsSync(folder)) throw error;  // another test file drew them meanwhile
    }
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
  return folder;
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
