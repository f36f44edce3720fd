// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Loads the site in headless Chromium, waits for the viewer's frames and
// saves the canvas as a PNG; with "phone", the whole page as an emulated
// phone shows it (360 x 740 CSS pixels at a pixel ratio of 3, touch).
// Usage: node web-screenshot.mjs SITE_DIR FILE [QUERY] [phone]
import { writeFile } from 'node:fs/promises';
import { serveSite, launchChromium, openPage, waitForFrames, canvasPng, kPhone } from './web.mjs';

const [site, file, given = '', mode = ''] = process.argv.slice(2);
if (!site || !file) {
  console.error('usage: node web-screenshot.mjs SITE_DIR FILE [QUERY] [phone]');
  process.exit(2);
}
// The URL parameters, with or without their leading "?".
const query = given === '' || given.startsWith('?') ? given : `?${given}`;
const phone = mode === 'phone';
const { server, url } = await serveSite(site);
const browser = await launchChromium();
try {
  const page = await openPage(browser, url + query, phone ? { viewport: kPhone } : {});
  // A held frame is drawn once; a running viewer is given half a second.
  try {
    await waitForFrames(page, new URLSearchParams(query).has('paused') ? 1 : 30);
  } catch {
    const said = await page.evaluate(() => document.getElementById('status')?.textContent ?? '');
    console.error(`The page at ${url + query} drew no frame within 20 s.${said ? ` It says: ${said}` : ''}`);
    for (const problem of page.problems) console.error(problem);
    process.exitCode = 1;
  }
  if (!process.exitCode) {
    if (phone) {
      await page.screenshot({ path: file, fullPage: true });
    } else {
      await writeFile(file, await canvasPng(page));
    }
    for (const problem of page.problems) console.error(problem);
  }
} finally {
  await browser.close();
  server.close();
}
