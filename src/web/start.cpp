// The page's start state: the selections, the idle calls before the first
// frame, and whether to hold it. The page's script checks the URL parameters
// and calls morph_web_configure before main runs.
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
