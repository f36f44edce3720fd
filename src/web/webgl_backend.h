// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The WebGL 2 back end of the browser's GL pipeline: the one shader program,
// the vertex and index buffers, the offscreen frame with its 32-bit float
// depth buffer and its copy to the canvas, and what a lost context takes
// away. It draws the pieces that primitive assembly made (pipeline/).
//
// A frame is copied to the canvas only once the GPU has drawn it. When the
// browser shows the canvas it reads it back behind all GL work queued so far,
// and the page's main thread waits for that: a frame copied at once would
// make it wait for the frame's whole drawing (some 100 ms for the first,
// while the shader is made for the pipeline's state). So present() ends a
// frame with a fence, and the loop copies it on a later animation frame,
// once the fence has signalled (showFinishedFrame()).
#pragma once

#include <cstddef>

#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

class WebGlBackend {
public:
    // Makes the WebGL objects for a drawing buffer of WIDTH x HEIGHT pixels
    // in the current context and applies STATE's depth test and clear colour;
    // again after a lost context is restored.
    void create(int width, int height, const GlState& state);

    // The drawing buffer is now WIDTH x HEIGHT pixels: the offscreen frame
    // follows; a frame not yet shown is dropped.
    void resize(int width, int height);

    // The context is lost: its objects are gone, and nothing is drawn until
    // create() runs again.
    void forget();

    [[nodiscard]] bool ready() const { return ready_; }

    // Whether the loop may draw the next frame: shows the last frame first
    // if the GPU has finished it; false while it has not, and while a new or
    // resized canvas gets its first, cleared frame.
    bool showFinishedFrame();

    // Frames copied to the canvas since the page started.
    [[nodiscard]] int framesShown() const { return framesShown_; }

    // Draws PIECES into the offscreen frame.
    void draw(const Pieces& pieces);

    // Ends a frame: sends it to the GPU, to be shown once drawn.
    void present();

    // glClear of MASK's colour and depth bits, glClearColor, glEnable(GL_DEPTH_TEST).
    void clear(unsigned int mask);
    void setClearColour(const Colour& colour);
    void enableDepthTest();

private:
    void makeFrame();
    void blit();
    void endWith(bool frame);  // fences what is queued; FRAME: a frame to show then

    bool ready_ = false;
    bool fresh_ = true;            // the canvas is new or resized: cleared first
    void* pending_ = nullptr;      // the fence of what the GPU is drawing
    bool pendingIsFrame_ = false;  // and whether that is a frame to show
    int width_ = 0;
    int height_ = 0;
    int framesShown_ = 0;
    unsigned int program_ = 0;
    int frameHeightLocation_ = -1;
    unsigned int vertexBuffer_ = 0;
    unsigned int indexBuffer_ = 0;
    std::size_t indexedPieces_ = 0;  // pieces the index buffer holds
    unsigned int framebuffer_ = 0;
    unsigned int colourBuffer_ = 0;
    unsigned int depthBuffer_ = 0;
};

}  // namespace morph::web
