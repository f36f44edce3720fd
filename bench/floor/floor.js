// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Creates the worker, hands it the canvas, and notes when the worker says its
// first frame is shown (window.firstFrameAt, ms after navigation).
const worker = new Worker('floor-worker.js', { type: 'module' });
const offscreen = document.getElementById('canvas').transferControlToOffscreen();
worker.addEventListener('message', () => {
  window.firstFrameAt = performance.now();
});
worker.postMessage(offscreen, [offscreen]);
