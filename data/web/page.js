// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's own script: the URL parameters, the controls and the keyboard,
// the status line and what a screen reader hears, reduced motion, the
// screen's pixel density, the service worker; and the viewer, started in a
// worker with the canvas handed to it where the browser can, else on this
// thread (see viewer.js for the messages between the two).
//
// URL parameters: first and second (0 to 5: the starting selections), steps
// (0 to 100000000: idle calls before the first frame), paused (present:
// start paused on that frame). A bad value is named on the page and the
// viewer starts with its defaults.
(function () {
  'use strict';
  var kNames = ['Plane', 'Wave', 'Product wave', 'Ripple disc', 'Cylinder', 'Sphere'];
  var kMaxSteps = 100000000;
  var kKeyFirst = 49;   // "1"
  var kKeySecond = 50;  // "2"
  var kKeyEscape = 27;

  var $ = function (id) { return document.getElementById(id); };
  var canvas = $('canvas');
  var status = $('status');
  var controls = { first: $('first'), second: $('second'), pause: $('pause'), end: $('end') };

  // ---- The start state, from the URL.
  var rules = {
    first: { pattern: /^[0-5]$/, range: 'a whole number from 0 to 5', greatest: 5 },
    second: { pattern: /^[0-5]$/, range: 'a whole number from 0 to 5', greatest: 5 },
    steps: { pattern: /^[0-9]{1,9}$/, range: 'a whole number from 0 to ' + kMaxSteps, greatest: kMaxSteps },
  };
  var defaults = { first: 0, second: 1, steps: 0, paused: false };
  var start = Object.assign({}, defaults);
  var parameters = new URLSearchParams(window.location.search);
  var bad = [];
  Object.keys(rules).forEach(function (name) {
    if (!parameters.has(name)) return;
    var text = parameters.get(name);
    var rule = rules[name];
    if (!rule.pattern.test(text) || Number(text) > rule.greatest) {
      bad.push('"' + name + '" must be ' + rule.range + ', not "' + text + '".');
    } else {
      start[name] = Number(text);
    }
  });
  start.paused = parameters.has('paused');
  if (bad.length > 0) {
    start = Object.assign({}, defaults);
    $('note').textContent = 'Bad URL parameter: ' + bad.join(' ') + ' The viewer starts with its defaults.';
    $('note').hidden = false;
  }

  // ---- What the page shows and says.
  var state = { first: start.first, second: start.second, paused: start.paused, phase: 'loading' };
  var reducedMotion = window.matchMedia('(prefers-reduced-motion: reduce)');
  var pausedForMotion = reducedMotion.matches && !start.paused;
  if (pausedForMotion) state.paused = true;

  function say(text) {
    // A polite live region: read once, when it changes.
    if (status.textContent !== text) status.textContent = text;
  }
  function describe() {
    canvas.setAttribute('aria-label', 'A lit grid surface morphing between ' + kNames[state.first] + ' and ' +
      kNames[state.second] + ', with the three coordinate axes.');
    controls.first.querySelector('.now').textContent = kNames[state.first];
    controls.second.querySelector('.now').textContent = kNames[state.second];
    controls.pause.textContent = state.paused ? 'Play' : 'Pause';
  }
  function enable(on) {
    Object.keys(controls).forEach(function (name) { controls[name].disabled = !on; });
  }
  function setPhase(phase) {
    state.phase = phase;
    document.body.dataset.viewer = phase;
  }
  setPhase('loading');
  describe();

  // ---- The viewer: in a worker, or on this thread.
  var viewer = null;
  var pending = {};
  var nextAsk = 1;

  function receive(message) {
    switch (message.type) {
      case 'title':
        document.title = message.text;
        break;
      case 'running':
        setPhase('running');
        enable(true);
        if (pausedForMotion) {
          say('Paused because your system asks for reduced motion. Press Play to start the animation.');
        } else if (state.paused) {
          say('Paused. Keys 1 and 2 still change the surfaces.');
        } else {
          say('Running.');
        }
        break;
      case 'selections':
        if (message.first !== state.first || message.second !== state.second) {
          state.first = message.first;
          state.second = message.second;
          describe();
          say('Now morphing between ' + kNames[state.first] + ' and ' + kNames[state.second] + '.');
        }
        break;
      case 'no-webgl':
        if (viewer && viewer.worker && !viewer.retried) {
          // The browser may offer WebGL 2 on its main thread but not in workers.
          viewer.worker.terminate();
          var fresh = canvas.cloneNode(true);
          canvas.replaceWith(fresh);
          canvas = fresh;
          startOnThisThread(true);
          return;
        }
        setPhase('no-webgl');
        enable(false);
        say('This viewer needs WebGL 2, which this browser does not offer or has turned off.');
        break;
      case 'exit':
        setPhase('ended');
        document.body.dataset.exitStatus = String(message.status);
        enable(false);
        status.focus();
        say('The viewer has ended with exit status ' + message.status + '. Reload the page to start it again.');
        break;
      case 'answer':
        if (pending[message.id]) {
          pending[message.id](message.value);
          delete pending[message.id];
        }
        break;
    }
  }

  function startMessage() {
    return { type: 'start', first: start.first, second: start.second, steps: start.steps, paused: state.paused,
      hidden: document.hidden, pixelRatio: ratio };
  }

  function startInWorker() {
    var worker = new Worker('morph-viewer.js');
    var offscreen = canvas.transferControlToOffscreen();
    worker.onmessage = function (event) { receive(event.data); };
    worker.onerror = function (event) { console.error("The viewer's worker failed: " + event.message); };
    viewer = { worker: worker, send: function (message) { worker.postMessage(message); } };
    var message = startMessage();
    message.canvas = offscreen;
    worker.postMessage(message, [offscreen]);
  }

  function startOnThisThread(retried) {
    window.Module = { canvas: canvas, page: receive };
    viewer = { retried: retried, send: function (message) { if (window.Module.receive) window.Module.receive(message); } };
    var script = document.createElement('script');
    script.src = 'morph-viewer.js';
    script.onload = function () { viewer.send(startMessage()); };
    document.head.appendChild(script);
  }

  function press(code) {
    if (viewer && state.phase === 'running') viewer.send({ type: 'key', code: code });
  }

  function setPaused(paused, why) {
    state.paused = paused;
    pausedForMotion = false;
    describe();
    if (viewer) viewer.send({ type: 'paused', value: paused });
    if (state.phase === 'running') say(why);
  }

  // ---- Controls, keyboard, motion, pixel density.
  controls.first.addEventListener('click', function () { press(kKeyFirst); });
  controls.second.addEventListener('click', function () { press(kKeySecond); });
  controls.end.addEventListener('click', function () { press(kKeyEscape); });
  controls.pause.addEventListener('click', function () {
    if (state.paused) setPaused(false, 'Running.');
    else setPaused(true, 'Paused. Keys 1 and 2 still change the surfaces.');
  });

  // Keys as freeglut delivers them: characters, and the control keys that
  // have one. Keys with Ctrl, Alt or Meta are the browser's, and so are Enter
  // and the space bar on a focused control, which the control then delivers
  // itself. Tab reaches the viewer and still moves the focus.
  var kNamedKeys = { Escape: 27, Enter: 13, Tab: 9, Backspace: 8, Delete: 127 };
  window.addEventListener('keydown', function (event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    var focus = document.activeElement;
    var onControl = focus && (focus.tagName === 'BUTTON' || focus.tagName === 'A');
    if (onControl && (event.key === 'Enter' || event.key === ' ')) return;
    var code = kNamedKeys[event.key];
    if (code === undefined && event.key.length === 1 && event.key.charCodeAt(0) < 128) code = event.key.charCodeAt(0);
    if (code === undefined) return;
    press(code);
    if (event.key !== 'Tab') event.preventDefault();
  });

  // A hidden page stops the viewer's frames and idle calls until shown again.
  document.addEventListener('visibilitychange', function () {
    if (viewer) viewer.send({ type: 'hidden', value: document.hidden });
  });

  reducedMotion.addEventListener('change', function () {
    if (reducedMotion.matches && !state.paused) {
      setPaused(true, 'Paused because your system now asks for reduced motion. Press Play to go on.');
    }
  });

  // The ratio changes with the browser's zoom (a resize event) and on
  // another monitor (a media query on the current ratio stops matching).
  var ratio = window.devicePixelRatio || 1;
  function ratioChanged() {
    var now = window.devicePixelRatio || 1;
    if (now === ratio) return;
    ratio = now;
    if (viewer) viewer.send({ type: 'pixel-ratio', value: ratio });
  }
  function followPixelRatio() {
    window.matchMedia('(resolution: ' + ratio + 'dppx)').addEventListener('change', function () {
      ratioChanged();
      followPixelRatio();
    }, { once: true });
  }
  followPixelRatio();
  window.addEventListener('resize', ratioChanged);

  // ---- For the page's tests and tools: counts, the canvas as a PNG, a lost
  // and restored context.
  function ask(what) {
    return new Promise(function (resolve) {
      if (!viewer) { resolve(null); return; }
      var id = nextAsk++;
      pending[id] = resolve;
      viewer.send({ type: 'ask', id: id, what: what });
    });
  }
  window.morphViewer = {
    counts: function () { return ask('counts'); },
    picture: function () {
      return ask('picture').then(function (blob) {
        return new Promise(function (resolve) {
          var reader = new FileReader();
          reader.onload = function () { resolve(reader.result); };
          reader.readAsDataURL(blob);
        });
      });
    },
    loseContext: function () { return ask('lose-context'); },
    restoreContext: function () { return ask('restore-context'); },
  };

  enable(false);
  if (typeof Worker == 'function' && typeof canvas.transferControlToOffscreen == 'function') {
    startInWorker();
  } else {
    startOnThisThread(true);
  }

  // Offline use: the service worker keeps this build's files (sw.js).
  if ('serviceWorker' in navigator) {
    window.addEventListener('load', function () {
      navigator.serviceWorker.register('sw.js').catch(function () {});
    });
  }
})();
