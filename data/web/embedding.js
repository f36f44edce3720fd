// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The HTML that embeds the page in another: a frame of the page as it is now
// (?embed: the canvas and the controls only).
import { kWindow } from './viewer-facts.js';

// The frame's size in CSS pixels: the canvas's, with the controls below it.
const kFrameWidth = kWindow.width + 20;
const kFrameHeight = kWindow.height + 180;

// A query's flags without their empty values: "paused", not "paused=".
export const bareFlags = (query) => query.replace(/=(?=&|$)/g, '');

// The snippet is written as text: an element made to be serialised would
// have its style attribute refused by the page's own policy.
const quoted = (text) => `"${String(text).replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/</g, '&lt;')}"`;

// The HTML of a frame of the page at ADDRESS (its origin and path) in the
// state { first, second, paused, lang } (lang: null for the reader's own),
// titled TITLE.
export function embeddingCode(address, { first, second, paused, lang }, title) {
  const url = new URL(address);
  url.search = '';
  url.hash = '';
  url.searchParams.set('first', first);
  url.searchParams.set('second', second);
  if (paused) url.searchParams.set('paused', '');
  if (lang) url.searchParams.set('lang', lang);
  url.searchParams.set('embed', '');
  return `<iframe src=${quoted(bareFlags(url.href))} title=${quoted(title)} width="${kFrameWidth}" ` +
    `height="${kFrameHeight}" style="border: 0; max-width: 100%;" loading="lazy"></iframe>`;
}
