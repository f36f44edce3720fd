// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The GLUT entry points the viewer uses, in a web page, on the page's one
// window (page_window.h): the window is the page's canvas, the event loop runs
// on the browser's animation frames, keys come from the page (its keyboard
// and its controls alike). The 8 x 13 bitmap font is freeglut's own
// (glyphs_8x13.h is made from freeglut's source at build time).
#include <GL/freeglut.h>

#include "web/glyphs_8x13.h"
#include "web/page_window.h"

extern "C" {

void* const glutBitmap8By13 = const_cast<unsigned char*>(&morph::web::kGlyphs8x13[0][0]);

void glutInit(int* /*argc*/, char** /*argv*/) {}

void glutInitDisplayMode(unsigned int /*mode*/) {}  // always RGB, double-buffered, with depth

void glutInitWindowSize(int width, int height) {
    morph::web::setWindowSize(width, height);
}

void glutInitWindowPosition(int /*x*/, int /*y*/) {}  // the page places the canvas

int glutCreateWindow(const char* title) {
    morph::web::createWindow(title);
    return 1;  // the page's one window
}

void glutDisplayFunc(void (*callback)()) {
    morph::web::setDisplayCallback(callback);
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    morph::web::setKeyboardCallback(callback);
}

void glutIdleFunc(void (*callback)()) {
    morph::web::setIdleCallback(callback);
}

void glutMainLoop() {
    morph::web::runMainLoop();
}

void glutMainLoopEvent() {}  // events arrive through the browser's loop

void glutPostRedisplay() {
    morph::web::postRedisplay();
}

void glutSwapBuffers() {
    morph::web::swapBuffers();
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

}  // extern "C"
