// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Loses and restores the viewer's WebGL context from outside, as a GPU reset
// does, with nothing in the shipped page to help. As the viewer's worker
// starts, before its own script runs, the DevTools protocol puts a wrapper
// around OffscreenCanvas's getContext there that keeps the WebGL 2 context on
// the worker's global; the test then uses the context's WEBGL_lose_context
// extension in the worker.

const kKeepContext = `{
  const getContext = OffscreenCanvas.prototype.getContext;
  OffscreenCanvas.prototype.getContext = function (...args) {
    const context = getContext.apply(this, args);
    if (args[0] === 'webgl2' && context) self.morphTestContext = context;
    return context;
  };
}`;

// For openPage's prepare option: the page's workers keep their context. (A
// worker is held at its start until puppeteer lets it run; this command is
// sent before that.)
export function keepWorkerContexts(page) {
  page.on('workercreated', (worker) => {
    worker.client.send('Runtime.evaluate', { expression: kKeepContext }).catch(() => {});
  });
}

async function loseOrRestore(page, restore) {
  const [worker] = page.workers();
  if (!worker) throw new Error('the viewer runs in no worker');
  await worker.evaluate((again) => {
    // Kept: a lost context offers no extension.
    self.morphTestLoser ??= self.morphTestContext.getExtension('WEBGL_lose_context');
    if (again) self.morphTestLoser.restoreContext();
    else self.morphTestLoser.loseContext();
  }, restore);
}

export const loseContext = (page) => loseOrRestore(page, false);
export const restoreContext = (page) => loseOrRestore(page, true);
