// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The WebGL 2 back end (see webgl_backend.h): everything here talks to WebGL
// through Emscripten's bindings; nothing above it does.
#include "web/webgl_backend.h"

#include <emscripten/console.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace morph::web {
namespace {

constexpr std::size_t kIndicesPerPiece = 6;

// Says on the console what went wrong, with the info log of the shader or
// program (at most its first kLogBytes - 1 bytes), read by GET_LOG.
constexpr GLsizei kLogBytes = 1024;
template <typename GetLog>
void reportFailure(const char* what, GLuint object, GetLog getLog) {
    std::array<char, kLogBytes> log{};
    getLog(object, kLogBytes, nullptr, log.data());
    emscripten_console_error(what);
    emscripten_console_error(log.data());
}

// A shader, or 0 where it does not compile (its log goes to the console).
GLuint compile(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint compiled = GL_FALSE;
    emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_FALSE) {
        reportFailure("The viewer's shader does not compile:", shader, emscripten_glGetShaderInfoLog);
        emscripten_glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// The one program, or 0 where it cannot be made (the log goes to the console).
GLuint link(GLuint vertexShader, GLuint fragmentShader) {
    if (vertexShader == 0 || fragmentShader == 0) {
        return 0;
    }
    const GLuint program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertexShader);
    emscripten_glAttachShader(program, fragmentShader);
    emscripten_glBindAttribLocation(program, 0, "position");
    emscripten_glBindAttribLocation(program, 1, "colour");
    emscripten_glBindAttribLocation(program, 2, "depthPlane");
    emscripten_glLinkProgram(program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_FALSE) {
        reportFailure("The viewer's shader program does not link:", program, emscripten_glGetProgramInfoLog);
        emscripten_glDeleteProgram(program);
        return 0;
    }
    return program;
}

constexpr const char* kVertexShader = R"(#version 300 es
in vec4 position;
in vec4 colour;
in vec4 depthPlane;
out vec4 shade;
flat out vec4 plane;
void main() {
    gl_Position = position;
    shade = colour;
    plane = depthPlane;
}
)";

// The plane is evaluated at the pixel as the desktop driver's fragment code
// evaluates it: across first, then down. That code fuses each multiply-add;
// GLSL ES 3.00 has no fma(), and rounding each product too changed no pixel
// of the frames compared in the tests (a product's rounding error lies far
// below the depth's last bit).
constexpr const char* kFragmentShader = R"(#version 300 es
precision highp float;
in vec4 shade;
flat in vec4 plane;
uniform float frameHeight;
out vec4 fragment;

void main() {
    fragment = shade;
    if (plane.w != 0.0) {
        float column = gl_FragCoord.x - 0.5;
        float row = frameHeight - gl_FragCoord.y - 0.5;
        float depth = (plane.x + plane.y * column) + plane.z * row;
        gl_FragDepth = clamp(depth, 0.0, 1.0);
    } else {
        gl_FragDepth = gl_FragCoord.z;
    }
}
)";

}  // namespace

bool WebGlBackend::create(int width, int height, const GlState& state) {
    width_ = width;
    height_ = height;
    program_ = link(compile(GL_VERTEX_SHADER, kVertexShader), compile(GL_FRAGMENT_SHADER, kFragmentShader));
    if (program_ == 0) {
        presenter_.detach();
        return false;
    }
    emscripten_glUseProgram(program_);
    frameHeightLocation_ = emscripten_glGetUniformLocation(program_, "frameHeight");

    emscripten_glGenBuffers(1, &vertexBuffer_);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    emscripten_glGenBuffers(1, &indexBuffer_);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    indexedPieces_ = 0;
    emscripten_glEnableVertexAttribArray(0);
    emscripten_glEnableVertexAttribArray(1);
    emscripten_glEnableVertexAttribArray(2);
    emscripten_glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    emscripten_glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    emscripten_glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(offsetof(Vertex, plane)));

    emscripten_glGenRenderbuffers(1, &colourBuffer_);
    emscripten_glGenRenderbuffers(1, &depthBuffer_);
    emscripten_glGenFramebuffers(1, &framebuffer_);
    makeFrame();

    emscripten_glDepthFunc(GL_LESS);
    if (state.depthTest) {
        emscripten_glEnable(GL_DEPTH_TEST);
    }
    emscripten_glClearColor(state.clearColour.r, state.clearColour.g, state.clearColour.b,
                            state.clearColour.a);
    presenter_.attach();
    return true;
}

// The offscreen frame, with a 32-bit float depth buffer, of the drawing
// buffer's size.
void WebGlBackend::makeFrame() {
    emscripten_glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
    emscripten_glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT32F, width_, height_);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                         colourBuffer_);
    emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    emscripten_glViewport(0, 0, width_, height_);
    emscripten_glUniform1f(frameHeightLocation_, static_cast<float>(height_));
}

void WebGlBackend::resize(int width, int height) {
    width_ = width;
    height_ = height;
    if (!presenter_.attached()) {
        return;
    }
    presenter_.resize();
    makeFrame();
}

void WebGlBackend::forget() {
    presenter_.detach();
}

FrameOutput::Sync WebGlBackend::fence() {
    GLsync sync = emscripten_glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    // Sent to the GPU now: commands otherwise wait in the page's buffer until
    // the browser next reads the canvas back, and then all at once.
    emscripten_glFlush();
    return sync;
}

bool WebGlBackend::poll(Sync sync) {
    const GLenum status = emscripten_glClientWaitSync(static_cast<GLsync>(sync), 0, 0, 0);  // never blocks
    return status == GL_ALREADY_SIGNALED || status == GL_CONDITION_SATISFIED;
}

void WebGlBackend::release(Sync sync) {
    emscripten_glDeleteSync(static_cast<GLsync>(sync));
}

void WebGlBackend::clear() {
    emscripten_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void WebGlBackend::draw(const Pieces& pieces) {
    if (!presenter_.attached() || pieces.empty()) {
        return;
    }
    const std::size_t count = pieces.size() / kCornersPerPiece;
    if (count > indexedPieces_) {
        // The same pattern for every piece; made again only when a frame
        // needs more pieces than any before it.
        indexedPieces_ = count * 2;
        std::vector<GLuint> indices(indexedPieces_ * kIndicesPerPiece);
        for (std::size_t k = 0; k < indexedPieces_; ++k) {
            const auto first = static_cast<GLuint>(k * kCornersPerPiece);
            const GLuint pattern[kIndicesPerPiece] = {first, first + 1, first + 2,
                                                      first, first + 2, first + 3};
            std::copy(std::begin(pattern), std::end(pattern), indices.begin() + k * kIndicesPerPiece);
        }
        emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                                static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
                                GL_STATIC_DRAW);
    }
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(pieces.size() * sizeof(Vertex)),
                            pieces.data(), GL_STREAM_DRAW);
    emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * kIndicesPerPiece), GL_UNSIGNED_INT,
                              nullptr);
}

void WebGlBackend::show() {
    emscripten_glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    emscripten_glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    emscripten_glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                                 GL_NEAREST);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void WebGlBackend::clear(unsigned int mask) {
    if (presenter_.attached()) {
        emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    }
}

void WebGlBackend::setClearColour(const Colour& colour) {
    if (presenter_.attached()) {
        emscripten_glClearColor(colour.r, colour.g, colour.b, colour.a);
    }
}

void WebGlBackend::enableDepthTest() {
    if (presenter_.attached()) {
        emscripten_glEnable(GL_DEPTH_TEST);
    }
}

}  // namespace morph::web
