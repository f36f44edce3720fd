// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The application shell: window creation, the one-time GL state, handler
// registration and the event loop.
#pragma once

namespace morph {

// Window settings.
constexpr int kWindowWidth = 400;   // pixels
constexpr int kWindowHeight = 400;  // pixels
constexpr int kWindowX = 100;       // pixels from the screen's left edge
constexpr int kWindowY = 100;       // pixels from the screen's top edge
inline constexpr const char* kWindowTitle = "foo!";

// The colour every frame is cleared to (RGBA): the background around the mesh.
inline constexpr float kClearColour[4] = {0.2F, 0.2F, 0.7F, 1.0F};

// Initialises GLUT with the command line and creates the double-buffered RGB
// window with a depth buffer; its GL context is current afterwards. GLUT ends
// the process itself (status 1) if no display can be opened.
void openWindow(int* argc, char** argv);

// Puts the fixed-function pipeline into the state every frame relies on:
// depth test, lighting with one directional light fixed in eye space, colour
// material, the perspective projection, clear colour and line width.
void setUpRenderingState();

// Registers drawScene, onKey and onIdle, in that order.
void registerHandlers();

// For programs that draw frames themselves (tests, benchmarks, frame export):
// openWindow and setUpRenderingState, an empty display handler instead of the
// viewer's, and a few rounds of GLUT's event processing, so that the window is
// mapped and has pixels to read back. The event loop is left to the caller.
void openWindowForOwnFrames(int* argc, char** argv);

// openWindow, setUpRenderingState and registerHandlers, then GLUT's event loop, which does not return.
void runViewer(int argc, char** argv);

}  // namespace morph
