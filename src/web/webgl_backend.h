// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The WebGL 2 back end of the browser's GL pipeline: the one shader program,
// the vertex and index buffers, the offscreen frame with its 32-bit float
// depth buffer and its copy to the canvas, and what a lost context takes
// away. It draws the pieces that primitive assembly made (pipeline/), and
// gives its presenter (loop/presenter.h), which decides which frame the
// canvas shows and when, the fences and copies that takes.
#pragma once

#include <cstddef>

#include "web/backend.h"
#include "web/loop/presenter.h"
#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

class WebGlBackend final : public Backend, private FrameOutput {
public:
    // Makes the WebGL objects in the current context (see Backend::create).
    bool create(int width, int height, const GlState& state) override;

    // The offscreen frame follows the drawing buffer; a frame not yet shown
    // is dropped.
    void resize(int width, int height) override;

    void forget() override;

    // The loop's fence, and the count of frames shown.
    Presenter& presenter() { return presenter_; }

    // Draws PIECES into the offscreen frame.
    void draw(const Pieces& pieces) override;

    // Ends a frame: sends it to the GPU, to be shown once drawn.
    void present() override { presenter_.frameEnded(); }

    void clear(unsigned int mask) override;
    void setClearColour(const Colour& colour) override;
    void enableDepthTest() override;

private:
    void makeFrame();

    // FrameOutput, for the presenter.
    Sync fence() override;
    bool poll(Sync sync) override;
    void release(Sync sync) override;
    void show() override;  // the offscreen frame's copy to the canvas
    void clear() override;

    Presenter presenter_{*this};
    int width_ = 0;
    int height_ = 0;
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
