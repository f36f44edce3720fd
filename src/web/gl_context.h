// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser's GL context: the state the OpenGL 1.x entry points (gl1.cpp)
// work on, and what the window system (the GLUT layer) does with it. It owns
// GL's state and matrices, the primitive being specified and the pieces
// assembled since the last flush; it draws them through a back end it is
// given (backend.h), so that it builds and is tested without a browser.
#pragma once

#include <vector>

#include "web/backend.h"
#include "web/pipeline/assembly.h"
#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

class GlContext {
public:
    explicit GlContext(Backend& backend) : backend_(backend) {}

    // The drawing buffer is WIDTH x HEIGHT pixels and shows the viewer's
    // window at SCALE drawing-buffer pixels per window pixel: makes the back
    // end's objects and applies the GL state set so far (again after a lost
    // context is restored); false where the back end cannot draw.
    bool attach(int width, int height, float scale);
    // The drawing buffer is now WIDTH x HEIGHT pixels, SCALE per window pixel.
    void resize(int width, int height, float scale);
    // The context is lost: what is queued goes with its objects.
    void forget();

    // Draws what is queued.
    void flush();
    // Draws what is queued and ends the frame (glutSwapBuffers).
    void present();

    // The state the GL entry points work on.
    GlState state;
    Matrices matrices;
    Viewport viewport;
    Primitive primitive = Primitive::None;  // between glBegin and glEnd
    bool insideBegin = false;
    std::vector<Vertex> primitiveVertices;
    Pieces queued;  // assembled since the last flush, in drawing order

    Backend& backend() { return backend_; }

private:
    Backend& backend_;
};

// The context the GL entry points work on from now on (GLUT makes the
// window's context current); null: none, and GL calls do nothing.
void makeCurrent(GlContext* context);

}  // namespace morph::web
