// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's one window: the canvas with its WebGL 2 context and the GL
// context that draws through the WebGL back end, the canvas's life cycle
// (its drawing buffer at the screen's pixel density, a lost and restored
// context), and GLUT's loop on the browser's animation frames. page_window.cpp
// owns its state alone; GLUT's entry points (glut.cpp), the page's functions
// (boundary.cpp) and exit() (exit.cpp) go through these functions.
#pragma once

#include "web/boundary.h"

namespace morph::web {

// The start the page asked for, before main runs (the selections are the
// view state's, not the window's).
void configureWindow(const StartRecord& start);

// glutInitWindowSize: the window's size in pixels, as the viewer sees it.
void setWindowSize(int width, int height);
// glutCreateWindow: tells the page the title, makes the canvas's WebGL 2
// context and the drawing buffer; without one, tells the page so and draws
// nothing.
void createWindow(const char* title);

// The callbacks GLUT was given.
void setDisplayCallback(void (*display)());
void setKeyboardCallback(void (*keyboard)(unsigned char key, int x, int y));
void setIdleCallback(void (*idle)());

// glutMainLoop: the idle calls the start asked for, then the loop on the
// browser's animation frames. Never returns.
[[noreturn]] void runMainLoop();
void postRedisplay();
void swapBuffers();
// Ends the loop for good: no further turn runs (exit()).
void stopLoop();

// What the page asks while the viewer runs.
void pressKey(int key);  // 0 to 255; others are ignored
void setPaused(bool paused);
void setHidden(bool hidden);
void setPixelRatio(double ratio);

// Counts since the page started: frames shown, idle calls made by the loop
// (not those before the first frame) and keys delivered.
int framesShown();
int idleCalls();
int keysDelivered();

}  // namespace morph::web
