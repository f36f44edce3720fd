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
// frame with a fence, and GLUT's loop has it copied on a later animation
// frame, once the fence has signalled (showFinishedFrame()): the back end is
// the loop's fence.
#pragma once

#include <cstddef>

#include "web/backend.h"
#include "web/loop/frame_pacer.h"
#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

class WebGlBackend final : public Backend, public Fence {
public:
    // Makes the WebGL objects in the current context (see Backend::create).
    bool create(int width, int height, const GlState& state) override;

    // The offscreen frame follows the drawing buffer; a frame not yet shown
    // is dropped.
    void resize(int width, int height) override;

    void forget() override;

    // Whether the loop may draw the next frame: shows the last frame first
    // if the GPU has finished it; false while it has not, and while a new or
    // resized canvas gets its first, cleared frame.
    bool showFinishedFrame() override;

    // Frames copied to the canvas since the page started.
    [[nodiscard]] int framesShown() const { return framesShown_; }

    // Draws PIECES into the offscreen frame.
    void draw(const Pieces& pieces) override;

    // Ends a frame: sends it to the GPU, to be shown once drawn.
    void present() override;

    void clear(unsigned int mask) override;
    void setClearColour(const Colour& colour) override;
    void enableDepthTest() override;

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
