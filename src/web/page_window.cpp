// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's one window (see page_window.h).
//
// The window is the page's canvas (or the OffscreenCanvas the page hands to
// the worker the viewer runs in). The canvas's drawing buffer follows the
// screen's pixel density, which the page reports: the viewer's window is
// drawn into its size times the device pixel ratio (rounded), the picture of
// the desktop at a higher resolution. The viewer still sees the size it asked
// for.
#include "web/page_window.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "web/browser_clock.h"
#include "web/gl_context.h"
#include "web/loop/frame_pacer.h"
#include "web/webgl_backend.h"

namespace morph::web {
namespace {

// The canvas the context is made on, as Emscripten's calls name it.
constexpr const char* kCanvas = "#canvas";
// Drawing-buffer pixels per window pixel: below 1 (a page zoomed out) the
// window's own pixels are kept, and above 4 nothing more is seen.
constexpr double kLeastPixelRatio = 1.0;
constexpr double kGreatestPixelRatio = 4.0;

struct Window {
    Window() {
        clock.drive(pacer);
        makeCurrent(&gl);
    }

    WebGlBackend backend;
    GlContext gl{backend};
    BrowserClock clock;
    FramePacer pacer{clock, backend.presenter()};
    int width = 300;  // pixels of the viewer's window, GLUT's defaults
    int height = 300;
    double pixelRatio = 1.0;
    bool created = false;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    long steps = 0;  // idle calls before the first frame
};

Window window;

// Calls HOOK (boundary.h) on the page's side of the module, with TEXT if any.
EM_JS(void, callPage, (const char* hook, const char* text),
      { Module[UTF8ToString(hook)](text ? UTF8ToString(text) : undefined); });

void tellPage(const Hook& hook, const char* text = nullptr) {
    callPage(hook.name, text);
}

void tellPageKeysDelivered() {
    tellPage(kHookKeysDelivered);
}

// The canvas the context is made on, under the name the calls use: in a
// worker there is no document to find it in.
EM_JS(void, bindCanvas, (const char* target),
      { specialHTMLTargets[UTF8ToString(target)] = Module["canvas"]; });

int bufferPixels(int windowPixels) {
    return std::max(1, static_cast<int>(std::lround(windowPixels * window.pixelRatio)));
}

// Makes (or, RESIZE, resizes) the drawing buffer and the GL context's
// objects for the window at the current pixel ratio; false where the back
// end cannot draw.
bool applyBufferSize(bool resize) {
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
        window.gl.resize(width, height, scale);
        return true;
    }
    return window.gl.attach(width, height, scale);
}

// WebGL 2 is missing, or cannot run the back end's shaders: nothing is ever
// drawn, and the page says so.
void giveUp() {
    tellPage(kHookNoWebGl);
    window.pacer.loseContext();
}

EM_BOOL onContextLost(int /*eventType*/, const void* /*reserved*/, void* /*userData*/) {
    window.pacer.loseContext();
    window.gl.forget();
    return EM_TRUE;  // prevents the default, so that the context can come back
}

EM_BOOL onContextRestored(int /*eventType*/, const void* /*reserved*/, void* /*userData*/) {
    emscripten_webgl_make_context_current(window.context);
    if (applyBufferSize(false)) {
        window.pacer.restoreContext();
    } else {
        giveUp();
    }
    return EM_TRUE;
}

double clampRatio(double ratio) {
    return std::isfinite(ratio) ? std::clamp(ratio, kLeastPixelRatio, kGreatestPixelRatio) : kLeastPixelRatio;
}

}  // namespace

void configureWindow(const StartRecord& start) {
    window.steps = start.steps > 0 ? start.steps : 0;
    window.pacer.setPaused(start.paused);
    window.pacer.setHidden(start.hidden);
    setPixelRatio(start.pixelRatio);
}

void setWindowSize(int width, int height) {
    if (width > 0 && height > 0) {
        window.width = width;
        window.height = height;
    }
}

void createWindow(const char* title) {
    tellPage(kHookTitle, title);
    bindCanvas(kCanvas);
    window.created = true;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;  // the frame is drawn offscreen, with its own depth buffer
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;  // the last frame stays when the loop stops
    // The layer needs WebGL 2's core only. Enabling every extension the
    // browser offers costs a round trip to the GPU process each, some 50 ms
    // of the page's start in all.
    attributes.enableExtensionsByDefault = EM_FALSE;
    window.context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (window.context <= 0) {
        giveUp();
        return;
    }
    emscripten_webgl_make_context_current(window.context);
    if (!applyBufferSize(false)) {
        giveUp();
        return;
    }
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, EM_FALSE, onContextRestored);
    window.pacer.postRedisplay();  // a new window is drawn once it shows
}

void setDisplayCallback(void (*display)()) {
    window.pacer.callbacks().display = display;
}

void setKeyboardCallback(void (*keyboard)(unsigned char key, int x, int y)) {
    window.pacer.callbacks().keyboard = keyboard;
}

void setIdleCallback(void (*idle)()) {
    window.pacer.callbacks().idle = idle;
}

void runMainLoop() {
    auto& callbacks = window.pacer.callbacks();
    callbacks.keysDelivered = tellPageKeysDelivered;
    for (long i = 0; i < window.steps && callbacks.idle != nullptr; ++i) {
        callbacks.idle();
    }
    window.pacer.start();
    emscripten_exit_with_live_runtime();  // the browser's loop runs on; this never returns
    __builtin_unreachable();
}

void postRedisplay() {
    window.pacer.postRedisplay();
}

void swapBuffers() {
    window.gl.present();
}

void stopLoop() {
    window.pacer.stop();
}

void pressKey(int key) {
    if (key >= 0 && key <= 255) {
        window.pacer.pressKey(static_cast<unsigned char>(key));
    }
}

void setPaused(bool paused) {
    window.pacer.setPaused(paused);
}

void setHidden(bool hidden) {
    window.pacer.setHidden(hidden);
}

void setPixelRatio(double ratio) {
    const double clamped = clampRatio(ratio);
    if (clamped == window.pixelRatio) {
        return;
    }
    window.pixelRatio = clamped;
    if (window.created && !window.pacer.contextLost()) {
        applyBufferSize(true);
        window.pacer.postRedisplay();
    }
}

int framesShown() {
    return window.backend.presenter().framesShown();
}

int idleCalls() {
    return window.pacer.idleCalls();
}

int keysDelivered() {
    return window.pacer.keysDelivered();
}

}  // namespace morph::web
