// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The viewer's side of the page: starts the viewer (Emscripten's module,
// morph-viewer.js, around the WebAssembly build of the viewer's own code)
// when the page's start message comes, and passes messages between the two
// (protocol.js). It runs in a worker (viewer-worker.js), drawing on the
// canvas the page hands it, so that the viewer's frames never hold up the
// page's main thread; where a browser cannot do that, the page imports it
// and runs it on its own thread.
import createViewer from './morph-viewer.js';
import { toPage, dispatch, kQuestions } from './protocol.js';
import { kExports, kHooks } from './viewer-facts.js';

// Serves the page: SEND posts a message to the page; returns the function
// that takes the page's messages.
export function serve(send) {
  let viewer = null;  // the running module, once the runtime is up
  let start = null;   // the start message, with later changes folded in
  let ended = false;
  const live = () => viewer !== null && !ended;

  // The viewer's functions (viewer-facts.js names them), once it runs.
  const call = (name, ...args) => viewer[kExports[name]](...args);

  const answers = {
    [kQuestions.counts]: () => (viewer
      ? { frames: call('frames'), idleCalls: call('idleCalls'), keys: call('keys') }
      : { frames: 0, idleCalls: 0, keys: 0 }),
    [kQuestions.picture]: () => (start.canvas.convertToBlob
      ? start.canvas.convertToBlob({ type: 'image/png' })
      : new Promise((resolve) => { start.canvas.toBlob(resolve, 'image/png'); })),
  };

  function launch() {
    // The module's settings: what the viewer's GLUT layer calls (its EM_JS
    // functions) and the runtime's own hooks. Emscripten makes this object
    // the module, with the viewer's exported functions on it.
    const module = {
      canvas: start.canvas,
      [kHooks.title]: (text) => send(toPage.title(text)),
      [kHooks.noWebGl]: () => send(toPage.noWebGl()),
      [kHooks.keysDelivered]: () => send(toPage.selections(call('first'), call('second'))),
      onExit: (status) => {
        ended = true;
        send(toPage.exit(status));
      },
      // Main runs right after this.
      onRuntimeInitialized: () => {
        viewer = module;
        call('start', start.first, start.second, start.steps, start.paused ? 1 : 0, start.hidden ? 1 : 0,
          start.pixelRatio);
        send(toPage.running());
      },
    };
    createViewer(module);
  }

  const handlers = {
    start(message) {
      start = { ...message };
      launch();
    },
    key({ code }) {
      if (live()) call('press', code);
    },
    paused({ value }) {
      if (live()) call('setPaused', value ? 1 : 0);
      else if (start) start.paused = value;
    },
    hidden({ value }) {
      if (live()) call('setHidden', value ? 1 : 0);
      else if (start) start.hidden = value;
    },
    pixelRatio({ value }) {
      if (live()) call('setPixelRatio', value);
      else if (start) start.pixelRatio = value;
    },
    ask({ id, what }) {
      const answer = Object.hasOwn(answers, what) ? answers[what] : () => null;
      Promise.resolve(answer()).then((value) => send(toPage.answer(id, value)));
    },
  };
  return (message) => dispatch(handlers, message);
}
