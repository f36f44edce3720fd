// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// What the page's test files share: the site folder served and Debian's
// Chromium started once for a file (node:test hooks), and the check a page's
// test ends with.
import { before, after } from 'node:test';
import assert from 'node:assert/strict';
import { serveSite, launchChromium } from '../../scripts/lib/web.mjs';

export const kSite = process.env.MORPH_WEB_SITE || new URL('../../build-web/site', import.meta.url).pathname;
// The page's modules as written, before they are bundled for the site: the
// tests import the viewer's facts, the languages and the texts from here.
export const kModules = process.env.MORPH_WEB_MODULES ||
  new URL('../../build-web/modules', import.meta.url).pathname;
// The page as a web server already serves it (the release's test: nginx over
// HTTPS, its certificate taken by its key, MORPH_WEB_SPKI), in place of the
// site folder served here.
const kServed = process.env.MORPH_WEB_URL;

// Serves the site (unless it is served already) and starts the browser before
// the file's tests, hands { server, base, browser } to RECEIVE, and stops both
// after them.
export function useSite(receive) {
  let session = {};
  before(async () => {
    const { server, url } = kServed ? { server: null, url: kServed } : await serveSite(kSite);
    session = { server, base: url, browser: await launchChromium() };
    receive(session);
  });
  after(async () => {
    await session.browser?.close();
    session.server?.close();
  });
}

// No console errors, uncaught exceptions or policy violations on PAGE.
export async function expectClean(page) {
  assert.deepEqual(page.problems, [], 'console errors or uncaught exceptions');
  assert.deepEqual(await page.evaluate(() => window.policyViolations), [], 'content security policy violations');
}
