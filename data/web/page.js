// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page: the controls and the keyboard, the status line and what a screen
// reader hears, reduced motion, the screen's pixel density, the service
// worker; and the viewer, started in a worker with the canvas handed to it
// where the browser can, else on this thread. The two talk in the messages
// of protocol.js.
import { toViewer, dispatch, kQuestions } from './protocol.js';
import { readUrlState } from './url-state.js';
import { kSurfaces, kKeys } from './viewer-facts.js';

// Keys as freeglut delivers them: characters, and the control keys that have
// one.
const kNamedKeys = Object.freeze({ Escape: kKeys.escape, Enter: 13, Tab: 9, Backspace: 8, Delete: 127 });

// A surface's name for people, from the viewer's identifier: ProductWave is
// "Product wave".
const surfaceName = (index) => kSurfaces[index].replace(/([a-z])([A-Z])/g, (_, a, b) => `${a} ${b.toLowerCase()}`);

const element = (id) => document.getElementById(id);
const status = element('status');
const controls = Object.freeze({ first: element('first'), second: element('second'), pause: element('pause'),
  end: element('end') });
let canvas = element('canvas');

// ---- The start state, from the URL.
const { start, problems } = readUrlState(window.location.search);
if (problems.length > 0) {
  element('note').textContent = `Bad URL parameter: ${problems.join(' ')} The viewer starts with its defaults.`;
  element('note').hidden = false;
}

// ---- What the page shows and says.
const state = { first: start.first, second: start.second, paused: start.paused, phase: 'loading' };
const reducedMotion = window.matchMedia('(prefers-reduced-motion: reduce)');
let pausedForMotion = reducedMotion.matches && !start.paused;
if (pausedForMotion) state.paused = true;
let ratio = window.devicePixelRatio || 1;

function say(text) {
  // A polite live region: read once, when it changes.
  if (status.textContent !== text) status.textContent = text;
}
function describe() {
  canvas.setAttribute('aria-label', `A lit grid surface morphing between ${surfaceName(state.first)} and ` +
    `${surfaceName(state.second)}, with the three coordinate axes.`);
  controls.first.querySelector('.now').textContent = surfaceName(state.first);
  controls.second.querySelector('.now').textContent = surfaceName(state.second);
  controls.pause.textContent = state.paused ? 'Play' : 'Pause';
}
function enable(on) {
  for (const control of Object.values(controls)) control.disabled = !on;
}
function setPhase(phase) {
  state.phase = phase;
  document.body.dataset.viewer = phase;
}
setPhase('loading');
describe();

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
      say('Paused because your system asks for reduced motion. Press Play to start the animation.');
    } else if (state.paused) {
      say('Paused. Keys 1 and 2 still change the surfaces.');
    } else {
      say('Running.');
    }
  },
  selections({ first, second }) {
    if (first === state.first && second === state.second) return;
    state.first = first;
    state.second = second;
    describe();
    say(`Now morphing between ${surfaceName(first)} and ${surfaceName(second)}.`);
  },
  noWebGl() {
    if (viewer?.worker && !viewer.retried) {
      // The browser may offer WebGL 2 on its main thread but not in workers.
      viewer.worker.terminate();
      const fresh = canvas.cloneNode(true);
      canvas.replaceWith(fresh);
      canvas = fresh;
      startOnThisThread(true);
      return;
    }
    setPhase('no-webgl');
    enable(false);
    say('This viewer needs WebGL 2, which this browser does not offer or has turned off.');
  },
  exit({ status: code }) {
    setPhase('ended');
    document.body.dataset.exitStatus = String(code);
    enable(false);
    status.focus();
    say(`The viewer has ended with exit status ${code}. Reload the page to start it again.`);
  },
  answer({ id, value }) {
    pending.get(id)?.(value);
    pending.delete(id);
  },
};
const receive = (message) => dispatch(handlers, message);

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
  viewer = { retried, send: () => {} };
  const { serve } = await import('./viewer.js');
  const send = serve(receive);
  viewer.send = send;
  send(startMessage(canvas));
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
  if (state.paused) setPaused(false, 'Running.');
  else setPaused(true, 'Paused. Keys 1 and 2 still change the surfaces.');
});

// Keys with Ctrl, Alt or Meta are the browser's, and so are Enter and the
// space bar on a focused control, which the control then delivers itself.
// Tab reaches the viewer and still moves the focus.
window.addEventListener('keydown', (event) => {
  if (event.ctrlKey || event.altKey || event.metaKey) return;
  const focus = document.activeElement;
  const onControl = focus && (focus.tagName === 'BUTTON' || focus.tagName === 'A');
  if (onControl && (event.key === 'Enter' || event.key === ' ')) return;
  let code = kNamedKeys[event.key];
  if (code === undefined && event.key.length === 1 && event.key.charCodeAt(0) < 128) code = event.key.charCodeAt(0);
  if (code === undefined) return;
  press(code);
  if (event.key !== 'Tab') event.preventDefault();
});

// A hidden page stops the viewer's frames and idle calls until shown again.
document.addEventListener('visibilitychange', () => viewer?.send(toViewer.hidden(document.hidden)));

reducedMotion.addEventListener('change', () => {
  if (reducedMotion.matches && !state.paused) {
    setPaused(true, 'Paused because your system now asks for reduced motion. Press Play to go on.');
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
