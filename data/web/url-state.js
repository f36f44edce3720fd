// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's start state from its URL, so that a frame is reproducible and
// shareable:
//   first, second  the starting selections, 0 to the last surface (default:
//                  the viewer's own start pair)
//   steps          idle calls run before the first frame, 0 to 100000000
//   paused         present: start paused on that frame
// A bad value is reported with its range, and the viewer starts with its
// defaults. (The page reads "lang" and "embed" itself.)
import { kSurfaces, kStart } from './viewer-facts.js';

export const kMaxSteps = 100000000;

const kRules = Object.freeze({
  first: kSurfaces.length - 1,
  second: kSurfaces.length - 1,
  steps: kMaxSteps,
});

// { start: { first, second, steps, paused }, problems } for the URL query
// SEARCH (location.search); each problem is { name, greatest, text }: the
// parameter, its greatest value and what the URL gave, for the page to say in
// its reader's language.
export function readUrlState(search) {
  const parameters = new URLSearchParams(search);
  const defaults = { first: kStart.first, second: kStart.second, steps: 0 };
  const start = { ...defaults };
  const problems = [];
  for (const [name, greatest] of Object.entries(kRules)) {
    if (!parameters.has(name)) continue;
    const text = parameters.get(name);
    const digits = new RegExp(`^[0-9]{1,${String(greatest).length}}$`);
    if (!digits.test(text) || Number(text) > greatest) {
      problems.push({ name, greatest, text });
    } else {
      start[name] = Number(text);
    }
  }
  if (problems.length > 0) return { start: { ...defaults, paused: false }, problems };
  return { start: { ...start, paused: parameters.has('paused') }, problems };
}
