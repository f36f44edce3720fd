// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The functions the page calls on the viewer's module, as boundary.h lists
// them: the start, before main runs; keys, the pause, a hidden page and the
// pixel density while it runs; counts for the page's tests and benchmark;
// the selections, to name the surfaces shown.
#include <emscripten.h>

#include "app/view_state.h"
#include "geometry/surface.h"
#include "web/boundary.h"
#include "web/page_window.h"

extern "C" {

// The page has checked the values; a selection out of range here leaves the
// viewer's own, and fewer than 0 steps are none.
EMSCRIPTEN_KEEPALIVE void morph_web_start(int first, int second, long steps, int paused, int hidden,
                                          double pixelRatio) {
    const auto isFunction = [](int f) {
        return f >= 0 && f < morph::kSurfaceFunctionCount;
    };
    if (isFunction(first)) {
        morph::firstFunction = first;
    }
    if (isFunction(second)) {
        morph::secondFunction = second;
    }
    morph::web::StartRecord start;
    start.first = morph::firstFunction;
    start.second = morph::secondFunction;
    start.steps = steps;
    start.paused = paused != 0;
    start.hidden = hidden != 0;
    start.pixelRatio = pixelRatio;
    morph::web::configureWindow(start);
}

// A key for the viewer's keyboard callback, as freeglut delivers it (a
// character, or 27 for Escape and so on): the page's keydown events and its
// controls both come here.
EMSCRIPTEN_KEEPALIVE void morph_web_press(int key) {
    morph::web::pressKey(key);
}

// The pause stops the idle calls; keys still redraw.
EMSCRIPTEN_KEEPALIVE void morph_web_set_paused(int paused) {
    morph::web::setPaused(paused != 0);
}

// A hidden page draws nothing and makes no idle calls, as a browser stops
// the animation frames of a hidden tab (a worker's go on by themselves).
EMSCRIPTEN_KEEPALIVE void morph_web_set_hidden(int hidden) {
    morph::web::setHidden(hidden != 0);
}

// The screen's pixel density, whenever it changes (browser zoom, another
// monitor).
EMSCRIPTEN_KEEPALIVE void morph_web_set_pixel_ratio(double ratio) {
    morph::web::setPixelRatio(ratio);
}

EMSCRIPTEN_KEEPALIVE int morph_web_frames() {
    return morph::web::framesShown();
}

EMSCRIPTEN_KEEPALIVE int morph_web_idle_calls() {
    return morph::web::idleCalls();
}

EMSCRIPTEN_KEEPALIVE int morph_web_keys() {
    return morph::web::keysDelivered();
}

EMSCRIPTEN_KEEPALIVE int morph_web_first() {
    return morph::firstFunction;
}

EMSCRIPTEN_KEEPALIVE int morph_web_second() {
    return morph::secondFunction;
}

}  // extern "C"
