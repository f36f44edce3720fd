// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The messages between the page (page.js) and the viewer's side
// (viewer.js), which runs in a worker or on the page's own thread: each
// message, its type and its fields are named here once, and both sides make
// and take them through this module.

// What the page tells the viewer. The type of each message is its name here.
export const toViewer = Object.freeze({
  // Starts the viewer: the canvas it draws on (an OffscreenCanvas for a
  // worker), the two selections (0 to 5), idle calls before the first frame,
  // whether it starts paused, whether the page is hidden, and the screen's
  // pixel density.
  start: ({ canvas, first, second, steps, paused, hidden, pixelRatio }) =>
    ({ type: 'start', canvas, first, second, steps, paused, hidden, pixelRatio }),
  // A key for the viewer's keyboard handler: a character code, 0 to 255.
  key: (code) => ({ type: 'key', code }),
  // Pause (no idle calls; keys still redraw) or play.
  paused: (value) => ({ type: 'paused', value }),
  // The page is hidden: no frames, no idle calls.
  hidden: (value) => ({ type: 'hidden', value }),
  // The screen's pixel density changed.
  pixelRatio: (value) => ({ type: 'pixelRatio', value }),
  // A question for the page's tools (see kQuestions), answered by `answer`
  // with the same id.
  ask: (id, what) => ({ type: 'ask', id, what }),
});

// What the viewer tells the page.
export const toPage = Object.freeze({
  // The window's title, for the document.
  title: (text) => ({ type: 'title', text }),
  // The viewer runs: its first frame is on its way.
  running: () => ({ type: 'running' }),
  // No WebGL 2 here (or none that can run the viewer's shaders).
  noWebGl: () => ({ type: 'noWebGl' }),
  // The selections after keys, each 0 to 5.
  selections: (first, second) => ({ type: 'selections', first, second }),
  // The viewer has ended, with this exit status.
  exit: (status) => ({ type: 'exit', status }),
  // The answer to `ask`.
  answer: (id, value) => ({ type: 'answer', id, value }),
});

// What the page's tools may ask: the frames shown, idle calls made and keys
// delivered so far ({ frames, idleCalls, keys }), and the canvas as a PNG blob.
export const kQuestions = Object.freeze({ counts: 'counts', picture: 'picture' });

// Hands MESSAGE to the handler of its type in HANDLERS (an object with a
// function for each message of toViewer or toPage that the side takes).
export function dispatch(handlers, message) {
  const handle = Object.hasOwn(handlers, message.type) ? handlers[message.type] : undefined;
  if (!handle) throw new Error(`no handler for the message ${JSON.stringify(message.type)}`);
  handle(message);
}
