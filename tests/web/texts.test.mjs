// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's texts without a browser: the choice of language, each page's
// messages with the fallback to English, and the catalogs as the build read
// them: for each language the
// keys it lacks and the keys it has that English has not (both listed, and
// both must be none), every surface named in every language by the viewer's
// identifier, every key the page names in English and every English key named
// by the page, and every page and script kept by the service worker.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { runInNewContext } from 'node:vm';
import { kSite, kModules } from './session.mjs';
import { pageElements } from '../../scripts/lib/web.mjs';

const site = (file) => join(kSite, file);
const { translator, format } = await import(join(kModules, 'texts.js'));
const { kLanguages } = await import(join(kModules, 'languages.js'));
// language.js is a classic script, run before the page is painted: its choice
// is globalThis.morphLanguage.
const { morphLanguage } = (() => {
  const context = { Intl, URL, URLSearchParams };
  context.globalThis = context;
  runInNewContext(readFileSync(site('language.js'), 'utf8'), context);
  return context;
})();
const { kSurfaces } = await import(join(kModules, 'viewer-facts.js'));
const source = (file) => readFileSync(new URL(`../../data/web/${file}`, import.meta.url), 'utf8');
const catalog = (tag) => JSON.parse(readFileSync(join(kModules, `texts/${tag}.json`), 'utf8'));
const english = catalog('en');

test('the language: ?lang= first, then the browser\'s languages in order, by language and script, else English', () => {
  for (const [asked, preferred, tag, unknown] of [
    [null, ['de-AT', 'fr'], 'de', false],
    [null, ['en-GB', 'de'], 'en', false],
    [null, ['pt'], 'pt-BR', false],
    [null, ['pt-PT', 'es'], 'pt-BR', false],
    [null, ['zh'], 'zh-CN', false],
    [null, ['zh-SG', 'en'], 'zh-CN', false],
    [null, ['zh-Hans-HK', 'en'], 'zh-CN', false],
    [null, ['zh-TW', 'fr'], 'fr', false],  // traditional script: not the simplified catalog
    [null, ['zh-Hant'], 'en', false],
    [null, ['sv-SE', 'ar-EG'], 'ar', false],
    [null, [], 'en', false],
    ['AR', ['de'], 'ar', false],
    ['pt-br', ['de'], 'pt-BR', false],
    ['es-MX', ['de'], 'es', false],
    ['xx', ['de'], 'de', true],
    ['not a tag!', [], 'en', true],
    ['', ['fr-CA'], 'fr', true],
  ]) {
    assert.deepEqual({ ...morphLanguage.choose(asked, preferred, kLanguages.map((l) => l.tag)) }, { tag, unknown },
      `${asked} with ${preferred.join(', ')}`);
  }
});

test('each page holds every message in its language, English where the language has none; placeholders are named and filled as given', () => {
  for (const { tag } of kLanguages) {
    const page = site(tag === 'en' ? 'index.html' : `${tag}/index.html`);
    const data = pageElements(page).filter(({ tag: name, attributes }) => name === 'script' &&
      attributes.id === 'messages');
    assert.equal(data.length, 1, `${tag}: messages in ${data.length} elements`);
    assert.equal(data[0].attributes.type, 'application/json', `${tag}: the messages are not a data block`);
    assert.deepEqual(JSON.parse(data[0].text), { ...english, ...catalog(tag) }, tag);
  }
  const t = translator({ 'a.b': 'Zwischen {first} und {second}.' });
  assert.equal(t('a.b', { first: 'Ebene', second: 'Welle' }), 'Zwischen Ebene und Welle.');
  assert.equal(t('e.f'), 'e.f', 'a key without a message shows itself');
  assert.equal(format('{a}{a} {b}', { a: 0 }), '00 {b}', 'a placeholder without a value stays visible');
  assert.equal(format('{first}', { first: '{second}', second: 'x' }), '{second}', 'values are not formatted again');
});

test('every catalog has every key, and no key that English has not', () => {
  const report = [];
  for (const { tag } of kLanguages.slice(1)) {
    const keys = Object.keys(catalog(tag));
    const missing = Object.keys(english).filter((key) => !keys.includes(key));
    const unused = keys.filter((key) => !(key in english));
    report.push(`${tag}: ${keys.length} of ${Object.keys(english).length} messages; missing: ${missing.join(', ') ||
      'none'}; unused: ${unused.join(', ') || 'none'}`);
  }
  console.log(report.join('\n'));
  assert.ok(report.every((line) => line.endsWith('missing: none; unused: none')), report.join('\n'));
});

test('every surface of the viewer has a name in every language, keyed by its identifier', () => {
  for (const { tag } of kLanguages) {
    const messages = catalog(tag);
    const unnamed = kSurfaces.filter((id) => !messages[`surface.${id}`]);
    assert.deepEqual(unnamed, [], `${tag} names no surface ${unnamed.join(', ')}`);
  }
  const named = Object.keys(english).filter((key) => key.startsWith('surface.')).map((key) => key.slice(8));
  assert.deepEqual(named.sort(), [...kSurfaces].sort(), 'a surface name for no surface of the viewer');
});

// Surfaces are named by their identifiers (surface.<identifier>); that the
// page shows those names is tested in the browser (access.test.mjs).
test('the page names only keys that English has, and every English key is named by the page', () => {
  const prefixes = new Set(Object.keys(english).map((key) => key.split('.')[0]));
  const page = source('page.js');
  const marked = pageElements().flatMap(({ attributes }) => Object.entries(attributes)
    .filter(([name]) => name === 'data-text' || name === 'data-options' || name.startsWith('data-text-'))
    .map(([, key]) => key));
  const named = new Set([
    ...[...page.matchAll(/'([a-z]+\.[a-z.-]+)'/g)].map((m) => m[1]).filter((key) => prefixes.has(key.split('.')[0])),
    ...marked,
    ...kSurfaces.map((id) => `surface.${id}`),
  ]);
  assert.deepEqual([...named].filter((key) => !(key in english)), [], 'keys the page names that English lacks');
  assert.deepEqual(Object.keys(english).filter((key) => !named.has(key)), [], 'English keys the page never names');
});

test('the service worker keeps every language\'s page, and the scripts and style they load', () => {
  const worker = readFileSync(site('sw.js'), 'utf8');
  const pages = kLanguages.map(({ tag }) => (tag === 'en' ? 'index.html' : `${tag}/index.html`));
  for (const file of [...pages, 'language.js', 'page.js', 'style.css', 'viewer-worker.js', 'viewer.js',
    'morph-viewer.wasm']) {
    assert.match(worker, new RegExp(`"${file.replace('.', '\\.')}":"[0-9a-f]{64}"`),
      `the service worker keeps no ${file}`);
  }
});
