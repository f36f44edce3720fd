// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Clears the canvas it is handed with WebGL 2, and once that frame has gone
// to the screen (the next animation frame), says so.
addEventListener('message', (event) => {
  const gl = event.data.getContext('webgl2');
  gl.clearColor(0.2, 0.2, 0.7, 1);
  gl.clear(gl.COLOR_BUFFER_BIT);
  requestAnimationFrame(() => postMessage('shown'));
});
