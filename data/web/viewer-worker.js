// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The viewer's worker: the viewer's side of the page (viewer.js) on the
// worker's messages. Messages the page posts before this module has run wait
// in the worker's queue.
import { serve } from './viewer.js';

// A worker without animation frames (older browsers) gets them at 60 Hz.
if (typeof requestAnimationFrame !== 'function') {
  self.requestAnimationFrame = (callback) => setTimeout(() => callback(performance.now()), 1000 / 60);
  self.cancelAnimationFrame = (handle) => clearTimeout(handle);
}

const receive = serve((message) => postMessage(message));
addEventListener('message', (event) => receive(event.data));
