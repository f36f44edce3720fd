// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// What the browser's GLUT layer needs of the GL layer (gl1.cpp).
#pragma once

namespace morph::web {

// Makes the WebGL objects for a drawing buffer of WIDTH x HEIGHT pixels that
// shows the viewer's window at SCALE drawing-buffer pixels per window pixel,
// and applies the GL state set so far; again after a lost context is restored.
void createResources(int width, int height, float scale);

// The drawing buffer is now WIDTH x HEIGHT pixels, SCALE per window pixel.
void resizeResources(int width, int height, float scale);

// The context is lost: its objects are gone, and drawing waits for a new one.
void forgetResources();

// Shows the last frame if the GPU has drawn it; whether the loop may draw the
// next one (see WebGlBackend::showFinishedFrame). Asked once per displayed
// frame.
bool showFinishedFrame();

// Frames copied to the canvas so far.
int framesShown();

// Draws what is queued.
void flush();

// Draws what is queued and ends the frame (glutSwapBuffers).
void present();

// glBitmap: WIDTH x HEIGHT bits, rows from the bottom, drawn at the raster
// position less the origin, which then moves by (X_MOVE, Y_MOVE); all in
// pixels of the viewer's window.
void drawBitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove,
                const unsigned char* rows);

}  // namespace morph::web
