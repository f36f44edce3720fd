// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The GLUT entry points the viewer uses, in a web page, and what the page
// asks of GLUT's loop: keys, the pause, a hidden page, the screen's pixel
// density, and counts for its tests and benchmark.
//
// The window is the page's canvas (or the OffscreenCanvas it hands to the
// worker the viewer runs in); its GL context draws through the WebGL 2 back
// end; the event loop is a FramePacer (loop/frame_pacer.h) on the browser's
// animation frames; keys come from the page, its keyboard and its controls
// alike, through morph_web_press; the 8 x 13 bitmap font is freeglut's own
// (glyphs_8x13.h is made from freeglut's source at build time). What the page
// is told goes through the hooks of the viewer's side of the page.
//
// The canvas's drawing buffer follows the screen's pixel density, which the
// page reports: the viewer's window is drawn into its size times the device
// pixel ratio (rounded), the picture of the desktop at a higher resolution.
// The viewer still sees the size it asked for.
#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "web/browser_clock.h"
#include "web/gl_context.h"
#include "web/glut.h"
#include "web/glyphs_8x13.h"
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

// The page's one window: its GL context with the back end it draws through,
// and GLUT's loop with the clock that drives it.
struct Window {
    Window() {
        clock.drive(pacer);
        makeCurrent(&gl);
    }

    WebGlBackend backend;
    GlContext gl{backend};
    BrowserClock clock;
    FramePacer pacer{clock, backend};
    int width = 300;  // pixels of the viewer's window, GLUT's defaults
    int height = 300;
    double pixelRatio = 1.0;
    bool created = false;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    long idleCallsBeforeStart = 0;
};

Window window;

// What the page is told, through the hooks the viewer's side of the page
// (data/web/viewer.mjs) puts on the module.
EM_JS(void, tellPageNoWebGL, (), { Module["onNoWebGl"](); });
EM_JS(void, tellPageTitle, (const char* title), { Module["onTitle"](UTF8ToString(title)); });
EM_JS(void, tellPageKeysDelivered, (), { Module["onKeysDelivered"](); });

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
    tellPageNoWebGL();
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

void setStart(long idleCallsBeforeFirstFrame, bool holdFrame) {
    window.idleCallsBeforeStart = idleCallsBeforeFirstFrame;
    window.pacer.setPaused(holdFrame);
}

void stopLoop() {
    window.pacer.stop();
}

}  // namespace morph::web

using morph::web::window;

extern "C" {

void* const glutBitmap8By13 = const_cast<unsigned char*>(&morph::web::kGlyphs8x13[0][0]);

void glutInit(int* /*argc*/, char** /*argv*/) {}

void glutInitDisplayMode(unsigned int /*mode*/) {}  // always RGB, double-buffered, with depth

void glutInitWindowSize(int width, int height) {
    if (width > 0 && height > 0) {
        window.width = width;
        window.height = height;
    }
}

void glutInitWindowPosition(int /*x*/, int /*y*/) {}  // the page places the canvas

int glutCreateWindow(const char* title) {
    using morph::web::kCanvas;
    morph::web::tellPageTitle(title);
    morph::web::bindCanvas(kCanvas);
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
        morph::web::giveUp();
        return 1;
    }
    emscripten_webgl_make_context_current(window.context);
    if (!morph::web::applyBufferSize(false)) {
        morph::web::giveUp();
        return 1;
    }
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, EM_FALSE, morph::web::onContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, EM_FALSE, morph::web::onContextRestored);
    window.pacer.postRedisplay();  // a new window is drawn once it shows
    return 1;
}

void glutDisplayFunc(void (*callback)()) {
    window.pacer.callbacks().display = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    window.pacer.callbacks().keyboard = callback;
}

void glutIdleFunc(void (*callback)()) {
    window.pacer.callbacks().idle = callback;
}

void glutMainLoop() {
    auto& callbacks = window.pacer.callbacks();
    callbacks.keysDelivered = morph::web::tellPageKeysDelivered;
    for (long i = 0; i < window.idleCallsBeforeStart && callbacks.idle != nullptr; ++i) {
        callbacks.idle();
    }
    window.pacer.start();
    emscripten_exit_with_live_runtime();  // the browser's loop runs on; this never returns
}

void glutMainLoopEvent() {}  // events arrive through the browser's loop

void glutPostRedisplay() {
    window.pacer.postRedisplay();
}

void glutSwapBuffers() {
    window.gl.present();
}

void glutBitmapCharacter(void* font, int character) {
    if (font != GLUT_BITMAP_8_BY_13 || character < 0 || character > 255) {
        return;
    }
    const unsigned char* glyph = morph::web::kGlyphs8x13[character];
    const int width = glyph[0];
    glBitmap(width, morph::web::kGlyphHeight, morph::web::kGlyphXOrigin, morph::web::kGlyphYOrigin,
             static_cast<float>(width), 0.0F, glyph + 1);
}

// Frames shown, idle calls made by the loop (not those before the first
// frame) and keys delivered so far.
EMSCRIPTEN_KEEPALIVE int morph_web_frames() {
    return window.backend.framesShown();
}

EMSCRIPTEN_KEEPALIVE int morph_web_idle_calls() {
    return window.pacer.idleCalls();
}

EMSCRIPTEN_KEEPALIVE int morph_web_keys() {
    return window.pacer.keysDelivered();
}

// A key for the viewer's keyboard callback, as freeglut delivers it (a
// character, or 27 for Escape and so on): the page's keydown events and its
// controls both come here.
EMSCRIPTEN_KEEPALIVE void morph_web_press(int key) {
    if (key >= 0 && key <= 255) {
        window.pacer.pressKey(static_cast<unsigned char>(key));
    }
}

// The pause stops the idle calls; keys still redraw.
EMSCRIPTEN_KEEPALIVE void morph_web_set_paused(int paused) {
    window.pacer.setPaused(paused != 0);
}

// A hidden page draws nothing and makes no idle calls, as a browser stops
// the animation frames of a hidden tab (a worker's go on by themselves).
EMSCRIPTEN_KEEPALIVE void morph_web_set_hidden(int hidden) {
    window.pacer.setHidden(hidden != 0);
}

// The screen's pixel density, before the window is made and whenever it
// changes (browser zoom, another monitor).
EMSCRIPTEN_KEEPALIVE void morph_web_set_pixel_ratio(double ratio) {
    const double clamped = morph::web::clampRatio(ratio);
    if (clamped == window.pixelRatio) {
        return;
    }
    window.pixelRatio = clamped;
    if (window.created && !window.pacer.contextLost()) {
        morph::web::applyBufferSize(true);
        window.pacer.postRedisplay();
    }
}

}  // extern "C"
