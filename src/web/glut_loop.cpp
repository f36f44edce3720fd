// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GLUT's loop in the page, and what the page asks of it: keys, the pause,
// a hidden page, the screen's pixel density, and counts for its tests.
//
// The loop runs as freeglut's does, one turn per displayed frame: deliver the
// keys pressed since the last turn, redraw if a redisplay was posted, then
// one idle call. So the morph advances one idle call per frame, at the
// display's rate, and stops while the page is hidden. Each turn is a task of
// its own, run just after the browser has shown a frame, so that the GPU
// draws the new frame while the thread is free; the frame is shown on a later
// animation frame, once drawn (see webgl_backend.h).
//
// The canvas's drawing buffer follows the screen's pixel density, which the
// page reports: the viewer's window is drawn into its size times the device
// pixel ratio (rounded), the picture of the desktop at a higher resolution.
// The viewer still sees the size it asked for.
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "web/gl1.h"
#include "web/glut.h"
#include "web/glut_window.h"

namespace morph::web {
namespace {

constexpr const char* kCanvas = "#canvas";
constexpr std::size_t kMaxQueuedKeys = 4096;  // more in one frame are dropped
constexpr int kRetries = 6;                   // looks at an unfinished frame, every
constexpr double kRetryMilliseconds = 2.0;    // 2 ms, before the next animation frame
// Drawing-buffer pixels per window pixel: below 1 (a page zoomed out) the
// window's own pixels are kept, and above 4 nothing more is seen.
constexpr double kLeastPixelRatio = 1.0;
constexpr double kGreatestPixelRatio = 4.0;

// After keys: the page's script reads the selections and tells the page.
EM_JS(void, tellPageKeysDelivered, (), { Module["onKeysDelivered"](); });

int bufferPixels(int windowPixels) {
    return std::max(1, static_cast<int>(std::lround(windowPixels * window.pixelRatio)));
}

void queueKey(unsigned char key) {
    if (window.pendingKeys.size() < kMaxQueuedKeys) {
        window.pendingKeys.push_back(key);
    }
}

// One turn of GLUT's loop.
void runTurn(void* /*userData*/) {
    window.turnPosted = false;
    if (window.stopped || window.contextLost) {
        return;
    }
    if (!window.pendingKeys.empty()) {
        while (!window.pendingKeys.empty()) {
            const unsigned char key = window.pendingKeys.front();
            window.pendingKeys.pop_front();
            if (window.keyboard != nullptr) {
                ++window.keysDelivered;
                window.keyboard(key, 0, 0);
            }
        }
        tellPageKeysDelivered();
    }
    if (window.redisplayPosted && window.display != nullptr) {
        window.redisplayPosted = false;
        window.display();
    }
    if (!window.holding && window.idle != nullptr) {
        window.idle();
        ++window.loopIdleCalls;
    }
}

void postTurn() {
    window.turnPosted = true;
    emscripten_set_timeout(runTurn, 0, nullptr);
}

void retryShow(void* userData);

// Shows the last frame if the GPU has drawn it and lets the next turn run;
// if not, looks again every kRetryMilliseconds, up to kRetries times before
// the next animation frame, so that a slow GPU costs the page a moment rather
// than a whole display frame.
void showOrRetry() {
    if (morph::web::showFinishedFrame()) {
        postTurn();
    } else if (window.retries++ < kRetries) {
        window.retryPosted = true;
        emscripten_set_timeout(retryShow, kRetryMilliseconds, nullptr);
    }
}

void retryShow(void* /*userData*/) {
    window.retryPosted = false;
    if (!window.stopped && !window.hidden && !window.contextLost && !window.turnPosted) {
        showOrRetry();
    }
}

// Each animation frame shows the last frame once drawn, then lets the next
// turn run after the browser has painted.
EM_BOOL onAnimationFrame(double /*time*/, void* /*userData*/) {
    if (window.stopped || window.hidden) {
        window.looping = false;
        return EM_FALSE;
    }
    if (window.contextLost || window.turnPosted || window.retryPosted) {
        return EM_TRUE;
    }
    window.retries = 0;
    showOrRetry();
    return EM_TRUE;
}

double clampRatio(double ratio) {
    return std::isfinite(ratio) ? std::clamp(ratio, kLeastPixelRatio, kGreatestPixelRatio) : kLeastPixelRatio;
}

}  // namespace

void applyBufferSize(bool resize) {
    const int width = bufferPixels(window.width);
    const int height = bufferPixels(window.height);
    const float scale = static_cast<float>(width) / static_cast<float>(window.width);
    int currentWidth = 0;
    int currentHeight = 0;
    emscripten_get_canvas_element_size(kCanvas, &currentWidth, &currentHeight);
    // Setting a canvas's size, even to the one it has, clears it.
    if (currentWidth != width || currentHeight != height) {
        emscripten_set_canvas_element_size(kCanvas, width, height);
    }
    if (resize) {
        morph::web::resizeResources(width, height, scale);
    } else {
        morph::web::createResources(width, height, scale);
    }
}

void startLooping() {
    if (!window.looping && !window.hidden && !window.stopped) {
        window.looping = true;
        emscripten_request_animation_frame_loop(onAnimationFrame, nullptr);
    }
}

void setStart(long idleCallsBeforeFirstFrame, bool holdFrame) {
    window.idleCallsBeforeStart = idleCallsBeforeFirstFrame;
    window.holding = holdFrame;
}

void stopLoop() {
    window.stopped = true;
}

}  // namespace morph::web

using morph::web::applyBufferSize;
using morph::web::clampRatio;
using morph::web::queueKey;
using morph::web::startLooping;
using morph::web::window;

extern "C" {

// Frames shown, idle calls made by the loop (not those before the first
// frame) and keys delivered so far.
EMSCRIPTEN_KEEPALIVE int morph_web_frames() {
    return morph::web::framesShown();
}

EMSCRIPTEN_KEEPALIVE int morph_web_idle_calls() {
    return window.loopIdleCalls;
}

EMSCRIPTEN_KEEPALIVE int morph_web_keys() {
    return window.keysDelivered;
}

// A key for the viewer's keyboard callback, as freeglut delivers it (a
// character, or 27 for Escape and so on): the page's keydown events and its
// controls both come here. And the pause, which stops the idle calls (keys
// still redraw).
EMSCRIPTEN_KEEPALIVE void morph_web_press(int key) {
    if (key >= 0 && key <= 255) {
        queueKey(static_cast<unsigned char>(key));
    }
}

EMSCRIPTEN_KEEPALIVE void morph_web_set_paused(int paused) {
    window.holding = paused != 0;
}

// A hidden page draws nothing and makes no idle calls, as a browser stops
// the animation frames of a hidden tab (a worker's go on by themselves).
EMSCRIPTEN_KEEPALIVE void morph_web_set_hidden(int hidden) {
    window.hidden = hidden != 0;
    startLooping();
}

// The screen's pixel density, before the window is made and whenever it
// changes (browser zoom, another monitor).
EMSCRIPTEN_KEEPALIVE void morph_web_set_pixel_ratio(double ratio) {
    const double clamped = clampRatio(ratio);
    if (clamped == window.pixelRatio) {
        return;
    }
    window.pixelRatio = clamped;
    if (window.created && !window.contextLost) {
        applyBufferSize(true);
        window.redisplayPosted = true;
    }
}

}  // extern "C"
