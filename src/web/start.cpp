// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's start state and what the page shows of the view state: the
// page's script checks the URL parameters and calls morph_web_configure
// before main runs, and reads the selections after keys to name the shown
// surfaces.
#include <emscripten.h>

#include "app/view_state.h"
#include "geometry/surface.h"
#include "web/glut.h"

// FIRST and SECOND: 0 to 5; IDLE_CALLS: 0 or more. The page has checked them;
// a value out of range here leaves that part of the start as it was.
extern "C" EMSCRIPTEN_KEEPALIVE void morph_web_configure(int first, int second, long idleCalls, int hold) {
    const auto isFunction = [](int f) {
        return f >= 0 && f < morph::kSurfaceFunctionCount;
    };
    if (isFunction(first)) {
        morph::firstFunction = first;
    }
    if (isFunction(second)) {
        morph::secondFunction = second;
    }
    morph::web::setStart(idleCalls > 0 ? idleCalls : 0, hold != 0);
}

// The two selections, each 0 to 5.
extern "C" EMSCRIPTEN_KEEPALIVE int morph_web_first_function() {
    return morph::firstFunction;
}

extern "C" EMSCRIPTEN_KEEPALIVE int morph_web_second_function() {
    return morph::secondFunction;
}
