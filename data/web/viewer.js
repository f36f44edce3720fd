// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The viewer's side of the page, placed in front of Emscripten's loader
// (--pre-js). The viewer runs in a worker, drawing on the canvas the page
// hands it (an OffscreenCanvas), so that its frames never hold up the page's
// main thread; where the browser cannot do that, it runs on the page's own
// thread. Either way it talks with the page's script (page.js) in messages:
//
//   from the page: start {canvas (worker only), first, second, steps, paused,
//     hidden, pixelRatio}; key {code}; paused {value}; hidden {value};
//     pixel-ratio {value};
//     ask {id, what: counts | picture | lose-context | restore-context}
//   to the page: title {text}; running; no-webgl; selections {first, second};
//     exit {status}; answer {id, value}
//
// "ask" serves the page's tests and tools: the frames shown and idle calls
// made and keys delivered, the canvas as a PNG, and a lost and restored WebGL context.
(function () {
  'use strict';
  var inWorker = typeof document == 'undefined';
  var tellPage = inWorker ? function (message) { postMessage(message); } : function (message) { Module.page(message); };
  Module.tellPage = tellPage;
  // A worker without animation frames (older browsers) gets them at 60 Hz.
  if (inWorker && typeof requestAnimationFrame != 'function') {
    self.requestAnimationFrame = function (callback) {
      return setTimeout(function () { callback(performance.now()); }, 1000 / 60);
    };
  }

  var start = null;
  var waitingForStart = false;
  var running = false;
  var ended = false;

  // main runs once both the WebAssembly module and the page's start are here.
  Module.preRun = [function () {
    if (!start) {
      waitingForStart = true;
      addRunDependency('page start');
    }
  }];
  Module.onRuntimeInitialized = function () {
    Module._morph_web_set_pixel_ratio(start.pixelRatio);
    Module._morph_web_set_hidden(start.hidden ? 1 : 0);
    Module._morph_web_configure(start.first, start.second, start.steps, start.paused ? 1 : 0);
    running = true;
    tellPage({ type: 'running' });
  };
  Module.onKeysDelivered = function () {
    tellPage({ type: 'selections', first: Module._morph_web_first_function(),
      second: Module._morph_web_second_function() });
  };
  Module.onExit = function (status) {
    ended = true;
    tellPage({ type: 'exit', status: status });
  };

  // The extension that loses the context, kept: a lost context offers none.
  var loser = null;

  function answer(id, value) {
    tellPage({ type: 'answer', id: id, value: value });
  }

  function ask(message) {
    switch (message.what) {
      case 'counts':
        answer(message.id, running ? { frames: Module._morph_web_frames(), idleCalls: Module._morph_web_idle_calls(),
          keys: Module._morph_web_keys() } : { frames: 0, idleCalls: 0, keys: 0 });
        break;
      case 'picture':
        var made = inWorker ? Module.canvas.convertToBlob({ type: 'image/png' })
          : new Promise(function (resolve) { Module.canvas.toBlob(resolve, 'image/png'); });
        made.then(function (blob) { answer(message.id, blob); });
        break;
      case 'lose-context':
        loser = Module.canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
        loser.loseContext();
        answer(message.id, true);
        break;
      case 'restore-context':
        loser.restoreContext();
        answer(message.id, true);
        break;
      default:
        answer(message.id, null);
    }
  }

  function receive(message) {
    switch (message.type) {
      case 'start':
        start = message;
        if (message.canvas) Module.canvas = message.canvas;
        if (waitingForStart) removeRunDependency('page start');
        break;
      case 'key':
        if (running && !ended) Module._morph_web_press(message.code);
        break;
      case 'paused':
        if (running && !ended) Module._morph_web_set_paused(message.value ? 1 : 0);
        else if (start) start.paused = message.value;
        break;
      case 'hidden':
        if (running && !ended) Module._morph_web_set_hidden(message.value ? 1 : 0);
        else if (start) start.hidden = message.value;
        break;
      case 'pixel-ratio':
        if (running && !ended) Module._morph_web_set_pixel_ratio(message.value);
        else if (start) start.pixelRatio = message.value;
        break;
      case 'ask':
        ask(message);
        break;
    }
  }

  if (inWorker) {
    onmessage = function (event) { receive(event.data); };
  } else {
    Module.receive = receive;
  }
})();
