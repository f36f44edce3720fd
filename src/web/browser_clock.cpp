// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser's clock (see browser_clock.h), on Emscripten's event loop.
#include "web/browser_clock.h"

#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

namespace morph::web {
namespace {

FramePacer& pacerOf(void* userData) {
    return *static_cast<FramePacer*>(userData);
}

EM_BOOL onAnimationFrame(double /*time*/, void* userData) {
    return pacerOf(userData).onAnimationFrame() ? EM_TRUE : EM_FALSE;
}

void runTurn(void* userData) {
    pacerOf(userData).runTurn();
}

void retryShow(void* userData) {
    pacerOf(userData).retryShow();
}

}  // namespace

void BrowserClock::requestAnimationFrames() {
    emscripten_request_animation_frame_loop(onAnimationFrame, pacer_);
}

void BrowserClock::postTurn() {
    emscripten_set_timeout(runTurn, 0, pacer_);
}

void BrowserClock::postRetry(double milliseconds) {
    emscripten_set_timeout(retryShow, milliseconds, pacer_);
}

}  // namespace morph::web
