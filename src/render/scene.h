// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Drawing of one frame: camera, axes, the blended morph mesh and the caption.
//
// All functions issue fixed-function, immediate-mode GL calls and must run on
// the thread that owns the current GL context (inside GLUT's display callback,
// or after a window has been created). They rely on the GL state that the
// application shell sets once at start-up, and read the shared view state.
#pragma once

namespace morph {

// The caption drawn in every frame.
inline constexpr const char* kCaption = "Press '1' and '2' to change functions.";

// GLUT display handler: drawFrame() followed by the buffer swap.
void drawScene();

// Everything drawScene draws, without the swap, so that the back buffer can be
// read back or timed.
void drawFrame();

// The three axis lines, +/-300 world units long. Sets no colour or normal.
void drawAxes();

// The 21 x 21 lit facets with their black outlines, blending the selected
// functions of the view state by its weight.
void drawMorphMesh();

// Draws a zero-terminated 8-bit string at the world point (-12, 3, 0).
void drawCaption(const char* text);

}  // namespace morph
