// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page as the release's web server serves it (MORPH_WEB_URL, over HTTPS:
// tests/release/hosting.sh starts nginx), in Debian's headless Chromium: it
// starts under the server's headers, and after one visit it opens and runs
// offline, once the server is stopped (MORPH_WEB_STOP, a shell command). The
// page's start and embedding tests run against the same server
// (tests/web/page.test.mjs, tests/web/embed.test.mjs).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execSync } from 'node:child_process';
import { launchChromium, openPage, waitForFrames, waitIn } from '../../scripts/lib/web.mjs';
import { expectClean } from '../web/session.mjs';

const base = process.env.MORPH_WEB_URL;
let browser;
before(async () => {
  browser = await launchChromium();
});
after(async () => {
  await browser?.close();
});

test('the page starts under the server\'s policy and headers; after one visit it runs with the server gone', async () => {
  const page = await openPage(browser, `${base}?lang=de`);
  const response = await page.reload({ waitUntil: 'load' });
  const headers = response.headers();
  assert.match(headers['content-security-policy'] ?? '', /frame-ancestors/, 'the policy came not as a header');
  assert.equal(headers['x-content-type-options'], 'nosniff');
  await waitForFrames(page, 3);
  await waitIn(page, async () => !!(await navigator.serviceWorker.getRegistration())?.active &&
    (await caches.keys()).length === 1, 'the service worker to keep the files');
  await expectClean(page);

  execSync(process.env.MORPH_WEB_STOP, { stdio: 'inherit' });
  await page.reload({ waitUntil: 'load' });
  await waitForFrames(page, 3);
  assert.deepEqual(await page.evaluate(() => ({ controlled: !!navigator.serviceWorker.controller,
    lang: document.documentElement.lang })), { controlled: true, lang: 'de' });
  await page.close();
});
