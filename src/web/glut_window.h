// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GLUT's state for the page's one window, shared by the GLUT entry points
// (glut.cpp) and the loop with what the page asks of it (glut_loop.cpp).
// Internal to the browser's GLUT layer.
#pragma once

#include <emscripten/html5.h>

#include <deque>

namespace morph::web {

struct Window {
    void (*display)() = nullptr;
    void (*keyboard)(unsigned char key, int x, int y) = nullptr;
    void (*idle)() = nullptr;
    int width = 300;  // pixels of the viewer's window, GLUT's defaults
    int height = 300;
    double pixelRatio = 1.0;
    bool created = false;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    bool contextLost = false;
    bool redisplayPosted = false;
    std::deque<unsigned char> pendingKeys;
    long idleCallsBeforeStart = 0;
    bool holding = false;      // no idle calls: paused
    bool turnPosted = false;   // a turn waits to run
    bool retryPosted = false;  // a look at an unfinished frame waits to run
    int retries = 0;           // such looks since the last animation frame
    bool hidden = false;       // the page is hidden: no animation frames
    bool looping = false;      // asking for animation frames
    bool stopped = false;      // exit() was called
    int loopIdleCalls = 0;     // made by the loop, for the page's tests and benchmark
    int keysDelivered = 0;     // to the keyboard callback, likewise
};

extern Window window;

// Makes (or, RESIZE, resizes) the drawing buffer and the GL layer's objects
// for the window at the current pixel ratio.
void applyBufferSize(bool resize);

// Asks for animation frames, unless the page is hidden or the loop stopped.
void startLooping();

}  // namespace morph::web
