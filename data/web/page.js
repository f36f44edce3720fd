// The page's own script, placed in front of Emscripten's loader (--pre-js):
// checks for WebGL 2 and the URL parameters, hands the start state to the
// viewer before its main runs, and tells the reader what happens (loading,
// a bad parameter, no WebGL, the viewer's end).
//
// URL parameters: first and second (0 to 5: the starting selections), steps
// (0 to 100000000: idle calls before the first frame), paused (present: hold
// that frame). A bad value is named on the page and the viewer starts with
// its defaults.
(function () {
  'use strict';
  var status = document.getElementById('status');
  var notes = [];
  function say(text) {
    status.textContent = notes.concat(text ? [text] : []).join(' ');
  }

  var kMaxSteps = 100000000;
  var rules = {
    first: { pattern: /^[0-5]$/, range: 'a whole number from 0 to 5', fallback: 0 },
    second: { pattern: /^[0-5]$/, range: 'a whole number from 0 to 5', fallback: 1 },
    steps: { pattern: /^[0-9]{1,9}$/, range: 'a whole number from 0 to ' + kMaxSteps, fallback: 0 },
  };
  var start = { first: 0, second: 1, steps: 0, paused: false };
  var parameters = new URLSearchParams(window.location.search);
  var bad = [];
  Object.keys(rules).forEach(function (name) {
    if (!parameters.has(name)) return;
    var text = parameters.get(name);
    var rule = rules[name];
    if (!rule.pattern.test(text) || Number(text) > (name === 'steps' ? kMaxSteps : 5)) {
      bad.push('"' + name + '" must be ' + rule.range + ', not "' + text + '".');
    } else {
      start[name] = Number(text);
    }
  });
  start.paused = parameters.has('paused');
  if (bad.length > 0) {
    start = { first: 0, second: 1, steps: 0, paused: false };
    notes.push('Bad URL parameter: ' + bad.join(' ') + ' The viewer starts with its defaults.');
  }

  // The page's state, for the reader and for tests: "loading", "running",
  // "no-webgl" or "ended" (with the exit status).
  document.body.dataset.viewer = 'loading';
  say('Loading the viewer\u2026');

  var webgl2 = null;
  try {
    webgl2 = document.createElement('canvas').getContext('webgl2');
  } catch (e) {
    webgl2 = null;
  }
  function noWebGL() {
    document.body.dataset.viewer = 'no-webgl';
    say('This viewer needs WebGL 2, which this browser does not offer or has turned off.');
  }

  Module.canvas = document.getElementById('canvas');
  if (!webgl2) {
    Module.noInitialRun = true;
    noWebGL();
  }
  Module.onNoWebGL = noWebGL;
  Module.onRuntimeInitialized = function () {
    if (Module.noInitialRun) return;
    Module._morph_web_configure(start.first, start.second, start.steps, start.paused ? 1 : 0);
    document.body.dataset.viewer = 'running';
    say(start.paused ? 'Paused: keys 1 and 2 still change the shapes.' : '');
  };
  Module.onExit = function (code) {
    document.body.dataset.viewer = 'ended';
    document.body.dataset.exitStatus = String(code);
    say('The viewer has ended with exit status ' + code + '. Reload the page to start it again.');
  };
})();
