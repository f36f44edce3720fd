// What the browser's GLUT layer needs of the GL layer (gl1.cpp).
#pragma once

namespace morph::web {

// Makes the WebGL objects for a drawing buffer of WIDTH x HEIGHT pixels and
// applies the GL state set so far; again after a lost context is restored.
void createResources(int width, int height);

// The context is lost: its objects are gone, and drawing waits for a new one.
void forgetResources();

// Draws what is queued.
void flush();

// Draws what is queued and copies the frame to the canvas.
void present();

// glBitmap: WIDTH x HEIGHT bits, rows from the bottom, drawn at the raster
// position less the origin, which then moves by (X_MOVE, Y_MOVE).
void drawBitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove,
                const unsigned char* rows);

}  // namespace morph::web
