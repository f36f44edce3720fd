// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page: the controls and the keyboard, the status line and what a screen
// reader hears, in the reader's language (texts.js); reduced motion, the
// screen's pixel density, the service worker; the HTML that embeds the page
// in another, and the page embedded (?embed: the canvas and the controls
// only); and what the viewer tells it, through its link to the viewer
// (viewer-link.js).
import { toViewer, kQuestions } from './protocol.js';
import { startViewer } from './viewer-link.js';
import { readUrlState } from './url-state.js';
import { kSurfaces, kKeys } from './viewer-facts.js';
import { followKeyboard } from './keys.js';
import { embeddingCode, bareFlags } from './embedding.js';
import { kLanguages } from './languages.js';
import { kEnglish, translator, pageMessages, fillElement } from './texts.js';

const element = (id) => document.getElementById(id);
const status = element('status');
const controls = Object.freeze({ first: element('first'), second: element('second'), pause: element('pause'),
  end: element('end') });
const languageControl = element('language');

// ---- The start state, from the URL.
const parameters = new URLSearchParams(window.location.search);
if (parameters.has('embed')) document.documentElement.dataset.embed = '';
const { start, problems } = readUrlState(window.location.search);

// ---- The page's language: the build wrote this page in it, and language.js
// had the reader's chosen (?lang=, else the browser's first that the site
// has, else English); its messages are in it.
const language = document.documentElement.lang;
const asked = parameters.get('lang');
const { morphLanguage } = globalThis;
const unknownLanguage = morphLanguage.choose(asked, [], kLanguages.map(({ tag }) => tag)).unknown;
// Whether the reader chose the language in the URL, which the embedding HTML
// then keeps.
const languageChosen = asked !== null && !unknownLanguage;
const t = translator(pageMessages(document));

// ---- What the page shows and says.
const state = { first: start.first, second: start.second, paused: start.paused, phase: 'loading' };
const reducedMotion = window.matchMedia('(prefers-reduced-motion: reduce)');
let pausedForMotion = reducedMotion.matches && !start.paused;
if (pausedForMotion) state.paused = true;
let ratio = window.devicePixelRatio || 1;

const surfaceName = (index) => t(`surface.${kSurfaces[index]}`);

// What the status line says.
function say(key, values) {
  delete status.dataset.text;
  const text = t(key, values);
  // A polite live region: read once, when it changes.
  if (status.textContent !== text) status.textContent = text;
}
function describe() {
  viewer.canvas.setAttribute('aria-label', t('canvas.name', { first: surfaceName(state.first),
    second: surfaceName(state.second) }));
  controls.first.querySelector('.now').textContent = surfaceName(state.first);
  controls.second.querySelector('.now').textContent = surfaceName(state.second);
  controls.pause.dataset.text = state.paused ? 'control.play' : 'control.pause';
  fillElement(controls.pause, t(controls.pause.dataset.text));
  showEmbedding();
}
// The URL's problems, each a whole sentence.
function showNote() {
  const sentences = problems.map((problem) => t('url.number', problem));
  if (sentences.length > 0) sentences.push(t('url.defaults'));
  if (unknownLanguage) sentences.push(t('url.language', { text: asked }));
  element('note').textContent = sentences.join(' ');
  element('note').hidden = sentences.length === 0;
}
function enable(on) {
  for (const control of Object.values(controls)) control.disabled = !on;
}
function setPhase(phase) {
  state.phase = phase;
  document.body.dataset.viewer = phase;
}

// ---- The HTML that embeds this page in another: the viewer as it is now.
function showEmbedding() {
  // Where the reader did not choose the language, the frame's own reader's
  // language: the address of the site's English page, which goes to it.
  const address = languageChosen ? window.location.href :
    morphLanguage.pageOf(kEnglish, window.location.href, language, kEnglish);
  element('embed-code').value = embeddingCode(address, { first: state.first, second: state.second,
    paused: state.paused && !pausedForMotion, lang: languageChosen ? language : null }, t('embed.frame-title'));
}
element('embed-copy').addEventListener('click', async () => {
  const code = element('embed-code');
  try {
    await navigator.clipboard.writeText(code.value);
    element('embed-result').textContent = t('embed.copied');
  } catch {
    code.select();
    element('embed-result').textContent = t('embed.copy-failed');
  }
});

// ---- The language: another language is another page (the build wrote the
// list), with the viewer's state and the choice in its address.
languageControl.addEventListener('change', () => {
  const tag = languageControl.value;
  const query = new URLSearchParams(parameters);
  for (const name of ['first', 'second', 'steps', 'paused']) query.delete(name);
  query.set('first', state.first);
  query.set('second', state.second);
  if (state.paused && !pausedForMotion) query.set('paused', '');
  // Kept in the address, so that a shared link opens in this language.
  query.set('lang', tag);
  window.location.assign(`${morphLanguage.pageOf(tag, window.location.href, language, kEnglish)}?` +
    bareFlags(query.toString()));
});
// ---- What the viewer tells the page.
const handlers = {
  title({ text }) {
    document.title = text;
  },
  running() {
    setPhase('running');
    enable(true);
    keepOffline(true);
    if (pausedForMotion) {
      say('status.reduced-motion');
    } else if (state.paused) {
      say('status.paused');
    } else {
      say('status.running');
    }
  },
  selections({ first, second }) {
    if (first === state.first && second === state.second) return;
    state.first = first;
    state.second = second;
    describe();
    say('status.selections', { first: surfaceName(first), second: surfaceName(second) });
  },
  noWebGl() {
    keepOffline(false);
    setPhase('no-webgl');
    enable(false);
    say('status.no-webgl');
  },
  exit({ status: code }) {
    setPhase('ended');
    document.body.dataset.exitStatus = String(code);
    enable(false);
    status.focus();
    say('status.ended', { status: code });
  },
};

enable(false);
setPhase('loading');
const viewer = startViewer({
  canvas: element('canvas'),
  start: (drawOn) => toViewer.start({ canvas: drawOn, first: start.first, second: start.second,
    steps: start.steps, paused: state.paused, hidden: document.hidden, pixelRatio: ratio }),
  handlers,
});
describe();
showNote();

// Offline use: the service worker keeps this build's files (sw.js). On a first
// visit it fetches them all, so it is registered once the viewer has shown a
// frame (AFTER_FRAME), not while the viewer starts.
let offline = false;
async function keepOffline(afterFrame) {
  if (offline || !('serviceWorker' in navigator)) return;
  offline = true;
  while (afterFrame && ((await viewer.ask(kQuestions.counts))?.frames ?? 0) < 1) {
    await new Promise((resolve) => requestAnimationFrame(resolve));
  }
  navigator.serviceWorker.register('sw.js').catch(() => {});
}

function press(code) {
  if (state.phase === 'running') viewer.send(toViewer.key(code));
}

function setPaused(paused, why) {
  state.paused = paused;
  pausedForMotion = false;
  describe();
  viewer.send(toViewer.paused(paused));
  if (state.phase === 'running') say(why);
}

// ---- Controls, keyboard, motion, pixel density.
controls.first.addEventListener('click', () => press(kKeys.stepFirst));
controls.second.addEventListener('click', () => press(kKeys.stepSecond));
controls.end.addEventListener('click', () => press(kKeys.escape));
controls.pause.addEventListener('click', () => {
  if (state.paused) setPaused(false, 'status.running');
  else setPaused(true, 'status.paused');
});

followKeyboard(press);

// A hidden page stops the viewer's frames and idle calls until shown again.
document.addEventListener('visibilitychange', () => viewer.send(toViewer.hidden(document.hidden)));

reducedMotion.addEventListener('change', () => {
  if (reducedMotion.matches && !state.paused) {
    setPaused(true, 'status.reduced-motion-now');
  }
});

// The ratio changes with the browser's zoom (a resize event) and on another
// monitor (a media query on the current ratio stops matching).
function ratioChanged() {
  const now = window.devicePixelRatio || 1;
  if (now === ratio) return;
  ratio = now;
  viewer.send(toViewer.pixelRatio(ratio));
}
function followPixelRatio() {
  window.matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', () => {
    ratioChanged();
    followPixelRatio();
  }, { once: true });
}
followPixelRatio();
window.addEventListener('resize', ratioChanged);

// ---- For the page's tools (scripts/web's screenshot, the benchmark, the
// tests): the viewer's counts, and the canvas as a PNG data URL.
window.morphViewer = Object.freeze({
  counts: () => viewer.ask(kQuestions.counts),
  picture: async () => {
    const blob = await viewer.ask(kQuestions.picture);
    return new Promise((resolve) => {
      const reader = new FileReader();
      reader.addEventListener('load', () => resolve(reader.result));
      reader.readAsDataURL(blob);
    });
  },
});

