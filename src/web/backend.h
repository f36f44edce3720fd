// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// What the browser's GL layer asks of the graphics API beneath it: draw the
// pieces primitive assembly made, clear, end a frame, and make, resize or
// drop its objects for a drawing buffer. The WebGL 2 back end
// (webgl_backend.h) implements it in the page; the tests record the calls.
#pragma once

#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

class Backend {
public:
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;
    Backend(Backend&&) = delete;
    Backend& operator=(Backend&&) = delete;
    virtual ~Backend() = default;

    // Makes the objects for a drawing buffer of WIDTH x HEIGHT pixels and
    // applies STATE's depth test and clear colour; again after a lost
    // context is restored. False where the graphics API cannot (its shaders
    // do not compile): then nothing is drawn.
    virtual bool create(int width, int height, const GlState& state) = 0;
    // The drawing buffer is now WIDTH x HEIGHT pixels.
    virtual void resize(int width, int height) = 0;
    // The context is lost: its objects are gone until create() runs again.
    virtual void forget() = 0;

    // Draws PIECES (see vertex.h) into the frame.
    virtual void draw(const Pieces& pieces) = 0;
    // Ends a frame (glutSwapBuffers).
    virtual void present() = 0;
    // glClear of MASK's colour and depth bits, glClearColor, glEnable(GL_DEPTH_TEST).
    virtual void clear(unsigned int mask) = 0;
    virtual void setClearColour(const Colour& colour) = 0;
    virtual void enableDepthTest() = 0;
};

}  // namespace morph::web
