// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page in every language, in Debian's headless Chromium: chosen by the
// browser's preference and by ?lang=; no English left in what the page shows
// or names for a screen reader where the language has its own text; axe-core
// finds nothing in light, dark and forced colours; no sideways scroll at 320
// CSS pixels; Arabic laid out right to left; and the canvas the same bytes as
// the English page's. The language control changes all of it and keeps the
// choice in the address.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { openPage, waitForFrames, canvasPng } from '../../scripts/lib/web.mjs';
import { useSite, expectClean, kSite, kModules } from './session.mjs';
import { axeViolations } from './axe.mjs';

const { kLanguages } = await import(join(kModules, 'languages.js'));
const catalog = (tag) => JSON.parse(readFileSync(join(kModules, `texts/${tag}.json`), 'utf8'));
const english = catalog('en');

let base;
let browser;
useSite((session) => ({ base, browser } = session));

const kState = '?first=2&second=4&steps=77&paused';
const kColours = [
  ['light', [{ name: 'prefers-color-scheme', value: 'light' }, { name: 'forced-colors', value: 'none' }]],
  ['dark', [{ name: 'prefers-color-scheme', value: 'dark' }, { name: 'forced-colors', value: 'none' }]],
  ['forced colours', [{ name: 'forced-colors', value: 'active' }]],
];

// A page whose browser prefers LANGUAGES (navigator.languages and the
// Accept-Language header), as a reader's settings make it: from its next
// load, until it is told other languages. (The override lasts as long as the
// DevTools session that sets it: one a page.)
const preferring = (languages) => async (page) => {
  page.languageSession ??= await page.createCDPSession();
  await page.languageSession.send('Emulation.setUserAgentOverride', { userAgent: await browser.userAgent(),
    acceptLanguage: languages.join(',') });
};

// What the page shows and names: its visible text (with the embedding part
// opened), and every accessible name and title.
function shownText(page) {
  return page.evaluate(() => {
    document.getElementById('embed').open = true;
    const names = [...document.querySelectorAll('[aria-label], [title]')]
      .map((e) => `${e.getAttribute('aria-label') ?? ''} ${e.getAttribute('title') ?? ''}`);
    return [document.body.innerText, ...names].join('\n');
  });
}

// The English of every message the language translates otherwise, in the
// pieces between its placeholders, that TEXT still shows.
function englishLeft(text, tag) {
  const messages = catalog(tag);
  const left = [];
  for (const [key, source] of Object.entries(english)) {
    // The language list names every language by its own name, English too.
    if (!(key in messages) || messages[key] === source || key === 'language.name') continue;
    for (const piece of source.split(/\{\w+\}/).map((p) => p.trim()).filter((p) => p.length >= 4)) {
      if (text.includes(piece)) left.push(`${key}: "${piece}"`);
    }
  }
  return left;
}

// Emulates the media features FEATURES through the DevTools protocol, which
// (unlike puppeteer's own call) takes forced-colors.
async function emulate(page, features) {
  const session = await page.createCDPSession();
  await session.send('Emulation.setEmulatedMedia', { features });
  await session.detach();
}

const layoutOf = (page) => page.evaluate(() => {
  const box = (id) => document.getElementById(id).getBoundingClientRect();
  return { lang: document.documentElement.lang, dir: document.documentElement.dir,
    scroll: document.documentElement.scrollWidth, client: document.documentElement.clientWidth,
    first: box('first').left, second: box('second').left, headingLeft: document.querySelector('h1').getBoundingClientRect().left,
    headingRight: document.querySelector('h1').getBoundingClientRect().right };
});

// What the page shows at DOMContentLoaded (its script, a deferred module, has
// run by then), and every layout shift from the start (the score Lighthouse
// adds up).
const recordStart = (page) => page.evaluateOnNewDocument(() => {
  if (window.location.href === 'about:blank') return;
  window.layoutShift = 0;
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries()) window.layoutShift += entry.value;
  }).observe({ type: 'layout-shift', buffered: true });
  document.addEventListener('DOMContentLoaded', () => {
    window.atStart = { lang: document.documentElement.lang, dir: document.documentElement.dir,
      heading: document.querySelector('h1').textContent, pause: document.getElementById('pause').textContent,
      list: document.getElementById('language').value, path: window.location.pathname };
  });
});

test('each language, by the browser\'s preference and by ?lang=: its page, its texts and direction as its document is read, axe in every colour scheme, no shift at 1280, 360 and 320 pixels, the same canvas', async () => {
  const englishPage = await openPage(browser, base + kState, { viewport: { width: 800, height: 700, deviceScaleFactor: 1 } });
  await waitForFrames(englishPage, 1);
  const englishCanvas = await canvasPng(englishPage);
  await englishPage.close();
  const report = [];
  // Two tabs, each language's pages loaded into them in turn.
  const preferred = await openPage(browser, 'about:blank');
  const page = await openPage(browser, 'about:blank', { viewport: { width: 320, height: 640, deviceScaleFactor: 1 },
    prepare: async (p) => { await preferring(['en-US'])(p); await recordStart(p); } });
  for (const { tag, dir } of kLanguages) {
    // The browser's preference: a regional variant first, as browsers send it.
    // Its page, at once: the English one sends the reader there before
    // anything is painted.
    const home = tag === 'en' ? '/' : `/${tag}/`;
    await preferring([`${tag.split('-')[0]}-XX`, tag])(preferred);
    await preferred.goto(base, { waitUntil: 'load' });
    assert.equal(new URL(preferred.url()).pathname, home, `${tag} by preference: not its page`);
    assert.deepEqual(englishLeft(await shownText(preferred), tag), [], `${tag} by preference: English left`);
    await expectClean(preferred);

    // By ?lang=, on a wide screen and a phone's two narrowest: the page's
    // texts, language and direction are in place when its document is read,
    // and nothing moves as it starts. The rest is checked at 320 pixels.
    const messages = { ...english, ...catalog(tag) };
    for (const width of [1280, 360, 320]) {
      await page.setViewport({ width, height: 640, deviceScaleFactor: 1 });
      await page.goto(`${base}${kState}&lang=${tag}`, { waitUntil: 'load' });
      await waitForFrames(page, 1);
      // The state is paused: the control offers to play.
      assert.deepEqual(await page.evaluate(() => window.atStart), { lang: tag, dir, heading: messages['page.heading'],
        pause: messages['control.play'], list: tag, path: home }, `${tag} at ${width} px`);
      await page.waitForFunction(() => document.getElementById('language').options.length > 1 &&
        !('text' in document.getElementById('status').dataset), { timeout: 5000 });
      assert.equal(await page.evaluate(() => window.layoutShift), 0, `${tag}: the page moved as it started at ${width} px`);
    }
    assert.ok((await canvasPng(page)).equals(englishCanvas), `${tag}: the canvas differs from the English page's`);
    assert.deepEqual(englishLeft(await shownText(page), tag), [], `${tag}: English left`);
    const axe = [];
    for (const [scheme, media] of kColours) {
      await emulate(page, media);
      const violations = await axeViolations(page);
      axe.push(`${scheme} ${violations.length}`);
      assert.deepEqual(violations, [], `${tag} in ${scheme}`);
    }
    await emulate(page, []);
    const layout = await layoutOf(page);
    assert.equal(layout.dir, dir);
    // English at 320 pixels is checked with the rest of its layout in
    // access.test.mjs.
    if (tag !== 'en') {
      assert.ok(layout.scroll <= layout.client, `${tag} at 320 px scrolls sideways (${layout.scroll} > ${layout.client})`);
    }
    // The heading at the start of the line, which is its right in a
    // language written right to left; in one written left to right, the first
    // surface control left of the second (that they are mirrored in Arabic is
    // tested in every engine, in engines.test.mjs).
    if (dir === 'rtl') {
      assert.ok(layout.headingRight > layout.client - 40, `${tag}: the heading is not at the right`);
    } else {
      assert.ok(layout.first < layout.second, `${tag}: the controls are mirrored`);
      assert.ok(layout.headingLeft < 40, `${tag}: the heading is not at the left`);
    }
    await expectClean(page);
    report.push(`${tag}: its page at once, no English left; axe violations ${axe.join(', ')}; no shift at 1280, 360 ` +
      `and 320 px, no sideways scroll at 320; ${dir}`);
  }
  await preferred.close();
  await page.close();
  console.log(report.join('\n'));
});

test('the language control opens its language\'s page with the viewer\'s state and the choice in the address, which a reload keeps', async () => {
  const page = await openPage(browser, `${base}?first=0&second=1&paused`, { prepare: preferring(['en-US']) });
  await waitForFrames(page, 1);
  await page.keyboard.press('2');
  await page.waitForFunction(() => /Product wave/.test(document.getElementById('status').textContent), { timeout: 10000 });
  await Promise.all([page.waitForNavigation({ waitUntil: 'load' }), page.select('#language', 'de')]);
  await waitForFrames(page, 1);
  const german = { ...english, ...catalog('de') };
  const shown = await page.evaluate(() => ({ lang: document.documentElement.lang, path: window.location.pathname,
    query: window.location.search, heading: document.querySelector('h1').textContent,
    second: document.querySelector('#second .now').textContent, pause: document.getElementById('pause').textContent,
    code: document.getElementById('embed-code').value }));
  assert.deepEqual({ ...shown, code: undefined }, { lang: 'de', path: '/de/', query: '?first=0&second=2&paused&lang=de',
    heading: german['page.heading'], second: german['surface.ProductWave'], pause: german['control.play'],
    code: undefined });
  await page.waitForFunction((text) => document.getElementById('status').textContent === text, { timeout: 10000 },
    german['status.paused']);
  assert.match(shown.code, /\/de\/\?first=0&amp;second=2&amp;paused&amp;lang=de&amp;embed"/);
  assert.ok(shown.code.includes(`title="${german['embed.frame-title']}"`), shown.code);
  await page.reload({ waitUntil: 'load' });
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'de');
  // A language the page has not: English texts and a note that says so.
  const unknown = await openPage(browser, `${base}?lang=xx`, { prepare: preferring(['en-US']) });
  await waitForFrames(unknown, 1);
  assert.equal(await unknown.evaluate(() => document.documentElement.lang), 'en');
  assert.match(await unknown.evaluate(() => document.getElementById('note').textContent), /no translation for "xx"/);
  await expectClean(page);
  await expectClean(unknown);
  await page.close();
  await unknown.close();
});
