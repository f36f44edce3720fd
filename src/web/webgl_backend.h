// The WebGL 2 back end of the browser's GL pipeline: the one shader program,
// the vertex and index buffers, the offscreen frame with its 32-bit float
// depth buffer and its copy to the canvas, and what a lost context takes
// away. It draws the pieces that primitive assembly made (pipeline/).
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

    // The context is lost: its objects are gone, and nothing is drawn until
    // create() runs again.
    void forget() { ready_ = false; }

    bool ready() const { return ready_; }

    // Draws PIECES into the offscreen frame.
    void draw(const Pieces& pieces);

    // Copies the offscreen frame to the canvas.
    void present();

    // glClear of MASK's colour and depth bits, glClearColor, glEnable(GL_DEPTH_TEST).
    void clear(unsigned int mask);
    void setClearColour(const Colour& colour);
    void enableDepthTest();

private:
    bool ready_ = false;
    int width_ = 0;
    int height_ = 0;
    unsigned int program_ = 0;
    unsigned int vertexBuffer_ = 0;
    unsigned int indexBuffer_ = 0;
    std::size_t indexedPieces_ = 0;  // pieces the index buffer holds
    unsigned int framebuffer_ = 0;
    unsigned int colourBuffer_ = 0;
    unsigned int depthBuffer_ = 0;
};

}  // namespace morph::web
