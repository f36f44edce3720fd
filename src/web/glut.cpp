// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The GLUT entry points the viewer uses, in a web page: the window is the
// page's canvas (or the OffscreenCanvas it hands to the worker the viewer
// runs in), the event loop runs on the browser's animation frames, keys come
// from the page (its keyboard and its controls, through one path:
// morph_web_press), and the 8 x 13 bitmap font is freeglut's own
// (glyphs_8x13.h is made from freeglut's source at build time). What the
// page is told goes through Module.tellPage (the page's own script). The
// loop itself, and what the page asks of it, are in glut_loop.cpp.
#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include "web/gl1.h"
#include "web/glut.h"
#include "web/glut_window.h"
#include "web/glyphs_8x13.h"

namespace morph::web {

Window window;

}  // namespace morph::web

namespace {

using morph::web::applyBufferSize;
using morph::web::startLooping;
using morph::web::window;

constexpr const char* kCanvas = "#canvas";

// What the page is told (Module.tellPage, set by the page's script).
EM_JS(void, tellPageNoWebGL, (), { Module["tellPage"]({type : "no-webgl"}); });
EM_JS(void, tellPageTitle, (const char* title),
      { Module["tellPage"]({type : "title", text : UTF8ToString(title)}); });

// The canvas the context is made on, under the name the calls below use:
// in a worker there is no document to find it in.
EM_JS(void, bindCanvas, (), { specialHTMLTargets["#canvas"] = Module["canvas"]; });

EM_BOOL onContextLost(int /*eventType*/, const void* /*reserved*/, void* /*userData*/) {
    window.contextLost = true;
    morph::web::forgetResources();
    return EM_TRUE;  // prevents the default, so that the context can come back
}

EM_BOOL onContextRestored(int /*eventType*/, const void* /*reserved*/, void* /*userData*/) {
    emscripten_webgl_make_context_current(window.context);
    applyBufferSize(false);
    window.contextLost = false;
    window.redisplayPosted = true;
    return EM_TRUE;
}

}  // namespace

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
    tellPageTitle(title);
    bindCanvas();
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
        tellPageNoWebGL();
        window.contextLost = true;  // nothing is ever drawn
        return 1;
    }
    emscripten_webgl_make_context_current(window.context);
    applyBufferSize(false);
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, EM_FALSE, onContextRestored);
    window.redisplayPosted = true;  // a new window is drawn once it shows
    return 1;
}

void glutDisplayFunc(void (*callback)()) {
    window.display = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    window.keyboard = callback;
}

void glutIdleFunc(void (*callback)()) {
    window.idle = callback;
}

void glutMainLoop() {
    for (long i = 0; i < window.idleCallsBeforeStart && window.idle != nullptr; ++i) {
        window.idle();
    }
    startLooping();
    emscripten_exit_with_live_runtime();  // the browser's loop runs on; this never returns
}

void glutMainLoopEvent() {}  // events arrive through the browser's loop

void glutPostRedisplay() {
    window.redisplayPosted = true;
}

void glutSwapBuffers() {
    morph::web::present();
}

void glutBitmapCharacter(void* font, int character) {
    if (font != GLUT_BITMAP_8_BY_13 || character < 0 || character > 255) {
        return;
    }
    const unsigned char* glyph = morph::web::kGlyphs8x13[character];
    const int width = glyph[0];
    morph::web::drawBitmap(width, morph::web::kGlyphHeight, morph::web::kGlyphXOrigin,
                           morph::web::kGlyphYOrigin, static_cast<float>(width), 0.0F, glyph + 1);
}

}  // extern "C"
