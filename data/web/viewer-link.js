// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's link to the viewer: the viewer started in a worker with the
// canvas handed to it where the browser can, else on the page's own thread;
// from a worker that finds no WebGL 2, again on the page's thread (a browser
// may offer WebGL 2 on its main thread but not in workers); messages to it;
// and the page's tools' questions with their answers. The two sides talk in
// the messages of protocol.js.
import { toViewer, dispatch, kQuestions } from './protocol.js';

// Starts the viewer on CANVAS. START(drawOn) makes the start message for the
// canvas the viewer draws on; HANDLERS take the viewer's messages (protocol.js's
// toPage, but for answers). Returns the link: send(message), ask(question)
// and the canvas element now on the page.
export function startViewer({ canvas, start, handlers }) {
  let element = canvas;
  let send = null;
  let worker = null;
  const pending = new Map();  // answers awaited, by question id
  let nextQuestion = 1;

  const own = {
    answer({ id, value }) {
      pending.get(id)?.(value);
      pending.delete(id);
    },
    noWebGl(message) {
      if (!worker) {
        handlers.noWebGl(message);
        return;
      }
      worker.terminate();
      worker = null;
      // Questions the worker will never answer get no answer (null).
      for (const resolve of pending.values()) resolve(null);
      pending.clear();
      // The canvas was handed to the worker: a fresh one takes its place.
      const fresh = element.cloneNode(true);
      element.replaceWith(fresh);
      element = fresh;
      startOnThisThread();
    },
  };
  // Each message in turn, never before this function has returned: the viewer
  // on the page's thread may answer its start at once.
  const receive = (message) => queueMicrotask(() => dispatch(Object.hasOwn(own, message.type) ? own : handlers,
    message));

  function startInWorker() {
    document.body.dataset.thread = 'worker';
    worker = new Worker('viewer-worker.js', { type: 'module' });
    const offscreen = element.transferControlToOffscreen();
    worker.addEventListener('message', (event) => receive(event.data));
    worker.addEventListener('error', (event) => console.error(`The viewer's worker failed: ${event.message}`));
    const posted = worker;
    send = (message) => posted.postMessage(message);
    worker.postMessage(start(offscreen), [offscreen]);
  }

  async function startOnThisThread() {
    document.body.dataset.thread = 'page';
    // What is sent while the viewer's module loads waits for it, after the
    // start message.
    const early = [];
    send = (message) => early.push(message);
    const { serve } = await import('./viewer.js');
    const deliver = serve(receive);
    deliver(start(element));
    for (const message of early) deliver(message);
    send = deliver;
  }

  if (typeof Worker === 'function' && typeof element.transferControlToOffscreen === 'function') {
    startInWorker();
  } else {
    startOnThisThread();
  }

  return {
    send: (message) => send(message),
    // The viewer's answer to a question of protocol.js's kQuestions.
    ask(what) {
      return new Promise((resolve) => {
        const id = nextQuestion++;
        pending.set(id, resolve);
        send(toViewer.ask(id, what));
      });
    },
    get canvas() {
      return element;
    },
  };
}
