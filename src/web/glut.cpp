// The GLUT entry points the viewer uses, in a web page: the window is the
// page's canvas, the event loop is the browser's requestAnimationFrame, keys
// come from the page's keydown events, and the 8 x 13 bitmap font is
// freeglut's own (glyphs_8x13.h is made from freeglut's source at build time).
//
// The loop runs as freeglut's does, once per displayed frame: deliver the
// keys pressed since the last frame, redraw if a redisplay was posted, then
// one idle call. So the morph advances one idle call per frame, at the
// display's rate, and stops with the page's tab hidden.
#include <GL/freeglut.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>
#include <deque>

#include "web/gl1.h"
#include "web/glut.h"
#include "web/glyphs_8x13.h"

namespace {

constexpr const char* kCanvas = "#canvas";
constexpr std::size_t kMaxQueuedKeys = 4096;  // more in one frame are dropped

void (*displayCallback)() = nullptr;
void (*keyboardCallback)(unsigned char, int, int) = nullptr;
void (*idleCallback)() = nullptr;

int windowWidth = 300;  // pixels, GLUT's defaults
int windowHeight = 300;
bool redisplayPosted = false;
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
bool contextLost = false;
std::deque<unsigned char> pendingKeys;

long idleCallsBeforeStart = 0;
bool holding = false;

// What the loop has done, for the page's tests and benchmark.
int framesDrawn = 0;
int loopIdleCalls = 0;

// The page's script says so, where it has set Module.onNoWebGL.
EM_JS(void, tellPageNoWebGL, (), {
    if (Module["onNoWebGL"]) Module["onNoWebGL"]();
});

// Keys as freeglut's keyboard callback gets them: characters, and the control
// keys that have one. Keys with Ctrl, Alt or Meta are the browser's.
EM_BOOL onKeyDown(int /*eventType*/, const EmscriptenKeyboardEvent* event, void* /*userData*/) {
    if (event->ctrlKey || event->altKey || event->metaKey) {
        return EM_FALSE;
    }
    int key = -1;
    if (std::strcmp(event->key, "Escape") == 0) {
        key = 27;
    } else if (std::strcmp(event->key, "Enter") == 0) {
        key = 13;
    } else if (std::strcmp(event->key, "Tab") == 0) {
        key = 9;
    } else if (std::strcmp(event->key, "Backspace") == 0) {
        key = 8;
    } else if (std::strcmp(event->key, "Delete") == 0) {
        key = 127;
    } else if (event->key[0] != '\0' && event->key[1] == '\0') {
        key = static_cast<unsigned char>(event->key[0]);  // one ASCII character
    }
    if (key < 0) {
        return EM_FALSE;
    }
    if (pendingKeys.size() < kMaxQueuedKeys) {
        pendingKeys.push_back(static_cast<unsigned char>(key));
    }
    return EM_TRUE;
}

EM_BOOL onContextLost(int /*eventType*/, const void* /*reserved*/, void* /*userData*/) {
    contextLost = true;
    morph::web::forgetResources();
    return EM_TRUE;  // prevents the default, so that the context can come back
}

EM_BOOL onContextRestored(int /*eventType*/, const void* /*reserved*/, void* /*userData*/) {
    emscripten_webgl_make_context_current(context);
    morph::web::createResources(windowWidth, windowHeight);
    contextLost = false;
    redisplayPosted = true;
    return EM_TRUE;
}

void runOneFrame() {
    if (contextLost) {
        return;
    }
    while (!pendingKeys.empty()) {
        const unsigned char key = pendingKeys.front();
        pendingKeys.pop_front();
        if (keyboardCallback != nullptr) {
            keyboardCallback(key, 0, 0);
        }
    }
    if (redisplayPosted && displayCallback != nullptr) {
        redisplayPosted = false;
        displayCallback();
        ++framesDrawn;
    }
    if (!holding && idleCallback != nullptr) {
        idleCallback();
        ++loopIdleCalls;
    }
}

}  // namespace

namespace morph::web {

void setStart(long idleCallsBeforeFirstFrame, bool holdFrame) {
    idleCallsBeforeStart = idleCallsBeforeFirstFrame;
    holding = holdFrame;
}

}  // namespace morph::web

extern "C" {

// Frames drawn and idle calls made by the loop so far (not those before the
// first frame).
EMSCRIPTEN_KEEPALIVE int morph_web_frames() {
    return framesDrawn;
}

EMSCRIPTEN_KEEPALIVE int morph_web_idle_calls() {
    return loopIdleCalls;
}

void* const glutBitmap8By13 = const_cast<unsigned char*>(&morph::web::kGlyphs8x13[0][0]);

void glutInit(int* /*argc*/, char** /*argv*/) {}

void glutInitDisplayMode(unsigned int /*mode*/) {}  // always RGB, double-buffered, with depth

void glutInitWindowSize(int width, int height) {
    if (width > 0 && height > 0) {
        windowWidth = width;
        windowHeight = height;
    }
}

void glutInitWindowPosition(int /*x*/, int /*y*/) {}  // the page places the canvas

int glutCreateWindow(const char* title) {
    emscripten_set_window_title(title);
    emscripten_set_canvas_element_size(kCanvas, windowWidth, windowHeight);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;  // the frame is drawn offscreen, with its own depth buffer
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;  // the last frame stays when the loop stops
    context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0) {
        tellPageNoWebGL();
        contextLost = true;  // nothing is ever drawn
        return 1;
    }
    emscripten_webgl_make_context_current(context);
    morph::web::createResources(windowWidth, windowHeight);
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, EM_FALSE, onContextRestored);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKeyDown);
    redisplayPosted = true;  // a new window is drawn once it shows
    return 1;
}

void glutDisplayFunc(void (*callback)()) {
    displayCallback = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    keyboardCallback = callback;
}

void glutIdleFunc(void (*callback)()) {
    idleCallback = callback;
}

void glutMainLoop() {
    for (long i = 0; i < idleCallsBeforeStart && idleCallback != nullptr; ++i) {
        idleCallback();
    }
    // 0: at the display's rate (requestAnimationFrame); 1: never returns.
    emscripten_set_main_loop(runOneFrame, 0, 1);
}

void glutMainLoopEvent() {}  // events arrive through the browser's loop

void glutPostRedisplay() {
    redisplayPosted = true;
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
