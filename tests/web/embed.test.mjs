// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page inside another, in Debian's headless Chromium: the HTML the page
// offers to embed it, pasted into a course page served from another origin
// (another port); there the frame shows the canvas and the controls only,
// fitted to the frame, takes taps and, once it has the focus, keys, and
// leaves the focus of the page around it alone. And the page's own policy: a
// host that sends no header still serves it under the policy.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  serveSite, openPage, waitForFrames, canvasPng, counts, kPhone, kPolicy, waitForFrame, staysStill, framesAt,
} from '../../scripts/lib/web.mjs';
import { useSite, expectClean, kSite } from './session.mjs';

let base;
let browser;
useSite((session) => ({ base, browser } = session));

const stateQuery = (first, second) => `?first=${first}&second=${second}&paused`;

test('the offered HTML, pasted into a page of another origin: canvas and controls only, taps, keys once focused, the host keeps its focus', async () => {
  // The snippet, as a teacher copies it: the viewer paused at 1 and 3, in German.
  const full = await openPage(browser, `${base}${stateQuery(0, 3)}&lang=de`);
  await waitForFrames(full, 1);
  await full.keyboard.press('1');
  await full.waitForFunction(() => document.getElementById('embed-code').value.includes('first=1'), { timeout: 5000 });
  const snippet = await full.evaluate(() => document.getElementById('embed-code').value);
  await full.close();
  assert.match(snippet, /^<iframe src="[^"]*\?first=1&amp;second=3&amp;paused&amp;lang=de&amp;embed" title="[^"]+" width="\d+" height="\d+"/);

  const folder = mkdtempSync(join(tmpdir(), 'morph-course-'));
  writeFileSync(join(folder, 'index.html'), `<!DOCTYPE html><html lang="en"><head><meta charset="utf-8">
<title>Course</title></head><body><main><h1>Week 3: surfaces</h1>
<label>Notes <input id="notes" autofocus></label>
${snippet}
</main></body></html>`);
  // The course page's host sends no policy; the frame is of another origin.
  // The frames of the states it should show: as copied, after a tap on the
  // second control, and after the key "2".
  const [copied, tapped, keyed] = await framesAt(browser, [[1, 3], [1, 4], [1, 5]].map(([first, second]) =>
    base + stateQuery(first, second)));
  const course = await serveSite(folder, 0, null);
  try {
    // A touch screen at a ratio of 1, whose frames compare with those of the
    // page opened on its own.
    const page = await openPage(browser, course.url, { viewport: { ...kPhone, height: 900, deviceScaleFactor: 1 } });
    assert.notEqual(new URL(course.url).origin, new URL(base).origin);
    const frame = await (await page.waitForSelector('iframe')).contentFrame();
    await waitForFrames(frame, 1);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'notes', 'the frame took the focus');

    const layout = await frame.evaluate(() => {
      const shown = (selector) => document.querySelector(selector).getClientRects().length > 0;
      const canvas = document.getElementById('canvas').getBoundingClientRect();
      return { heading: shown('h1'), footer: shown('footer'), keys: shown('.keys'), embed: shown('#embed'),
        canvas: shown('canvas'), controls: shown('.controls'), lang: document.documentElement.lang,
        fits: canvas.bottom <= window.innerHeight && canvas.right <= window.innerWidth && canvas.height > 200,
        scrolls: document.documentElement.scrollHeight > window.innerHeight ||
          document.documentElement.scrollWidth > window.innerWidth };
    });
    assert.deepEqual(layout, { heading: false, footer: false, keys: false, embed: false, canvas: true, controls: true,
      lang: 'de', fits: true, scrolls: false });

    // A tap on the frame's control; then keys, once the frame has the focus.
    assert.ok(await waitForFrame(frame, copied), 'the frame does not show the copied state');
    await (await frame.$('#second')).tap();
    assert.ok(await waitForFrame(frame, tapped), 'a tap in the frame');
    await (await frame.$('#canvas')).click();
    await page.keyboard.press('2');
    assert.ok(await waitForFrame(frame, keyed), 'a key in the focused frame');
    // Keys typed in the course page stay there: the frame's viewer counts no
    // key, and its picture stays.
    const keys = (await counts(frame)).keys;
    await page.focus('#notes');
    await page.keyboard.type('12');
    assert.equal(await page.$eval('#notes', (input) => input.value), '12', 'keys typed in the course page');
    assert.ok(await staysStill(frame, 500), 'keys of the course page changed the frame');
    assert.equal((await counts(frame)).keys, keys, 'keys of the course page reached the frame\'s viewer');
    assert.ok((await canvasPng(frame)).equals(keyed));
    assert.deepEqual(await frame.evaluate(() => window.policyViolations), []);
    await page.close();
  } finally {
    course.server.close();
    rmSync(folder, { recursive: true, force: true });
  }
});

test('a host that sends no policy serves the page under its own: it runs, and an inline script is refused', async () => {
  const bare = await serveSite(kSite, 0, null);
  try {
    const page = await openPage(browser, bare.url);
    await waitForFrames(page, 3);
    assert.equal(await page.$eval('meta[http-equiv="Content-Security-Policy"]', (meta) => meta.content), kPolicy);
    await expectClean(page);
    await page.addScriptTag({ content: 'window.inlineRan = true;' }).catch(() => {});
    assert.equal(await page.evaluate(() => window.inlineRan), undefined, 'an inline script ran');
    assert.ok((await page.evaluate(() => window.policyViolations)).includes('script-src-elem'),
      'no violation reported for the inline script');
    await page.close();
  } finally {
    bare.server.close();
  }
});
