// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page: the controls and the keyboard, the status line and what a screen
// reader hears, in the reader's language (texts.js); reduced motion, the
// screen's pixel density, the service worker; the HTML that embeds the page
// in another, and the page embedded (?embed: the canvas and the controls
// only); and the viewer, started in a worker with the canvas handed to it
// where the browser can, else on this thread. The two talk in the messages
// of protocol.js.
import { toViewer, dispatch, kQuestions } from './protocol.js';
import { readUrlState } from './url-state.js';
import { kSurfaces, kKeys } from './viewer-facts.js';
import { kLanguages } from './languages.js';
import { kEnglish, chooseLanguage, translator, loadMessages, applyTexts, fillElement } from './texts.js';

// Keys as freeglut delivers them: characters, and the control keys that have
// one.
const kNamedKeys = Object.freeze({ Escape: kKeys.escape, Enter: 13, Tab: 9, Backspace: 8, Delete: 127 });

// The size of the embedding HTML's frame, in CSS pixels: the canvas's 400
// with the controls below it.
const kFrameWidth = 420;
const kFrameHeight = 580;

const element = (id) => document.getElementById(id);
const status = element('status');
const controls = Object.freeze({ first: element('first'), second: element('second'), pause: element('pause'),
  end: element('end') });
const languageControl = element('language');
let canvas = element('canvas');

// ---- The start state, from the URL.
const parameters = new URLSearchParams(window.location.search);
if (parameters.has('embed')) document.documentElement.dataset.embed = '';
const { start, problems } = readUrlState(window.location.search);

// ---- The reader's language: ?lang=, else the browser's first that the page
// has, else English. Until its texts arrive, t() gives the English the build
// put into the page.
const asked = parameters.get('lang');
const chosen = chooseLanguage(asked, navigator.languages ?? [navigator.language]);
let language = chosen.tag;
// Whether the reader chose the language (in the URL or with the control),
// which the embedding HTML then keeps.
let languageChosen = asked !== null && !chosen.unknown;
let t = (key) => key;
const english = loadMessages(kEnglish);

// ---- What the page shows and says.
const state = { first: start.first, second: start.second, paused: start.paused, phase: 'loading' };
const reducedMotion = window.matchMedia('(prefers-reduced-motion: reduce)');
let pausedForMotion = reducedMotion.matches && !start.paused;
if (pausedForMotion) state.paused = true;
let ratio = window.devicePixelRatio || 1;

const surfaceName = (index) => t(`surface.${kSurfaces[index]}`);

// What the status line says: a message's key and values, said again in a
// newly chosen language.
let spoken = null;
function say(key, values) {
  spoken = { key, values };
  delete status.dataset.text;
  const text = t(key, values);
  // A polite live region: read once, when it changes.
  if (status.textContent !== text) status.textContent = text;
}
function describe() {
  canvas.setAttribute('aria-label', t('canvas.name', { first: surfaceName(state.first),
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
  if (chosen.unknown) sentences.push(t('url.language', { text: asked }));
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
setPhase('loading');

// A query's flags without their empty values: "paused", not "paused=".
const bareFlags = (query) => query.replace(/=(?=&|$)/g, '');

// ---- The HTML that embeds this page in another: the viewer as it is now.
function embeddingUrl() {
  const url = new URL(window.location.pathname, window.location.origin);
  url.searchParams.set('first', state.first);
  url.searchParams.set('second', state.second);
  if (state.paused && !pausedForMotion) url.searchParams.set('paused', '');
  if (languageChosen) url.searchParams.set('lang', language);
  url.searchParams.set('embed', '');
  return bareFlags(url.href);
}
// The snippet is written as text: an element made to be serialised would
// have its style attribute refused by the page's own policy.
const quoted = (text) => `"${String(text).replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/</g, '&lt;')}"`;
function showEmbedding() {
  element('embed-code').value = `<iframe src=${quoted(embeddingUrl())} title=${quoted(t('embed.frame-title'))} ` +
    `width="${kFrameWidth}" height="${kFrameHeight}" style="border: 0; max-width: 100%;" loading="lazy"></iframe>`;
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

// ---- The language: its texts into the page, its choice into the URL.
for (const { tag } of kLanguages) {
  const option = document.createElement('option');
  option.value = tag;
  option.lang = tag;
  // Each language by its own name: Deutsch, العربية.
  option.textContent = new Intl.DisplayNames([tag], { type: 'language' }).of(tag);
  languageControl.append(option);
}
async function useLanguage(tag) {
  const [base, messages] = await Promise.all([english, loadMessages(tag)]);
  language = tag;
  t = translator(messages, base);
  applyTexts(document, t, tag);
  languageControl.value = tag;
  describe();
  showNote();
  if (spoken) say(spoken.key, spoken.values);
}
languageControl.addEventListener('change', () => {
  parameters.set('lang', languageControl.value);
  languageChosen = true;
  // Kept in the address, so that a shared link opens in this language.
  window.history.replaceState(null, '', `?${bareFlags(parameters.toString())}`);
  useLanguage(languageControl.value).catch((error) => console.error(`No texts for ${languageControl.value}: ${error}`));
});
// Where the language's texts cannot be had, English; the viewer waits for
// neither, but what it reports is said once the texts are in.
const textsReady = useLanguage(language).catch(() => useLanguage(kEnglish)).catch((error) => {
  console.error(`The page's texts could not be loaded: ${error}`);
});

// ---- The viewer: in a worker, or on this thread.
let viewer = null;  // { send, worker (if any), retried }
const pending = new Map();  // answers awaited, by question id
let nextQuestion = 1;

const handlers = {
  title({ text }) {
    document.title = text;
  },
  running() {
    setPhase('running');
    enable(true);
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
    if (viewer?.worker && !viewer.retried) {
      // The browser may offer WebGL 2 on its main thread but not in workers.
      viewer.worker.terminate();
      // Questions the worker will never answer get no answer (null).
      for (const resolve of pending.values()) resolve(null);
      pending.clear();
      const fresh = canvas.cloneNode(true);
      canvas.replaceWith(fresh);
      canvas = fresh;
      startOnThisThread(true);
      return;
    }
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
  answer({ id, value }) {
    pending.get(id)?.(value);
    pending.delete(id);
  },
};
const receive = (message) => textsReady.then(() => dispatch(handlers, message));

const startMessage = (drawOn) => toViewer.start({ canvas: drawOn, first: start.first, second: start.second,
  steps: start.steps, paused: state.paused, hidden: document.hidden, pixelRatio: ratio });

function startInWorker() {
  const worker = new Worker('viewer-worker.js', { type: 'module' });
  const offscreen = canvas.transferControlToOffscreen();
  worker.addEventListener('message', (event) => receive(event.data));
  worker.addEventListener('error', (event) => console.error(`The viewer's worker failed: ${event.message}`));
  viewer = { worker, retried: false, send: (message) => worker.postMessage(message) };
  worker.postMessage(startMessage(offscreen), [offscreen]);
}

async function startOnThisThread(retried) {
  document.body.dataset.thread = 'page';
  // What is sent while the viewer's module loads waits for it, after the
  // start message.
  const early = [];
  viewer = { retried, send: (message) => early.push(message) };
  const { serve } = await import('./viewer.js');
  const send = serve(receive);
  viewer.send = send;
  send(startMessage(canvas));
  for (const message of early) send(message);
}

function press(code) {
  if (viewer && state.phase === 'running') viewer.send(toViewer.key(code));
}

function setPaused(paused, why) {
  state.paused = paused;
  pausedForMotion = false;
  describe();
  viewer?.send(toViewer.paused(paused));
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

// Keys with Ctrl, Alt or Meta are the browser's, and so are Enter and the
// space bar on a focused control, which the control then delivers itself.
// Tab reaches the viewer and still moves the focus; so does every key in the
// language list and the embedding HTML's text, which keep their own use of it
// (the list's type-ahead).
window.addEventListener('keydown', (event) => {
  if (event.ctrlKey || event.altKey || event.metaKey) return;
  const focus = document.activeElement;
  const onControl = focus && ['BUTTON', 'A', 'SUMMARY'].includes(focus.tagName);
  if (onControl && (event.key === 'Enter' || event.key === ' ')) return;
  let code = kNamedKeys[event.key];
  if (code === undefined && event.key.length === 1 && event.key.charCodeAt(0) < 128) code = event.key.charCodeAt(0);
  if (code === undefined) return;
  press(code);
  const inField = focus && ['SELECT', 'TEXTAREA'].includes(focus.tagName);
  if (event.key !== 'Tab' && !inField) event.preventDefault();
});

// A hidden page stops the viewer's frames and idle calls until shown again.
document.addEventListener('visibilitychange', () => viewer?.send(toViewer.hidden(document.hidden)));

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
  viewer?.send(toViewer.pixelRatio(ratio));
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
function ask(what) {
  return new Promise((resolve) => {
    if (!viewer) {
      resolve(null);
      return;
    }
    const id = nextQuestion++;
    pending.set(id, resolve);
    viewer.send(toViewer.ask(id, what));
  });
}
window.morphViewer = Object.freeze({
  counts: () => ask(kQuestions.counts),
  picture: async () => {
    const blob = await ask(kQuestions.picture);
    return new Promise((resolve) => {
      const reader = new FileReader();
      reader.addEventListener('load', () => resolve(reader.result));
      reader.readAsDataURL(blob);
    });
  },
});

enable(false);
if (typeof Worker === 'function' && typeof canvas.transferControlToOffscreen === 'function') {
  document.body.dataset.thread = 'worker';
  startInWorker();
} else {
  startOnThisThread(true);
}

// Offline use: the service worker keeps this build's files (sw.js).
if ('serviceWorker' in navigator) {
  window.addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  });
}
