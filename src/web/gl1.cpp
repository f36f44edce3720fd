// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The OpenGL 1.x entry points the viewer calls, on WebGL 2.
//
// WebGL has no immediate mode, no matrix stacks, no lighting and no wide
// lines, so GL's fixed-function pipeline runs here, in stages: GL's state and
// matrices (pipeline/gl_state.h), the vertex stage (pipeline/vertex_stage.h),
// primitive assembly with the depth planes a desktop driver computes
// (pipeline/assembly.h, pipeline/depth_plane.h), and the WebGL back end that
// draws what is queued (webgl_backend.h). This file holds the one context
// they work on and turns each GL call into calls of the stages.
#include "web/gl1.h"

#include <GL/gl.h>

#include <vector>

#include "web/pipeline/assembly.h"
#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex_stage.h"
#include "web/webgl_backend.h"

namespace morph::web {
namespace {

// GL's current context: the page has one window, so one context.
struct Context {
    GlState state;
    Matrices matrices;
    Viewport viewport;
    // The primitive being specified between glBegin and glEnd.
    Primitive primitive = Primitive::None;
    bool insideBegin = false;
    std::vector<Vertex> primitiveVertices;
    // Pieces assembled since the last flush, in drawing order.
    Pieces queued;
    WebGlBackend backend;
};

Context context;

float clamp01(float v) {
    return v < 0.0F ? 0.0F : (v > 1.0F ? 1.0F : v);
}

Primitive primitiveOf(GLenum mode) {
    switch (mode) {
        case GL_LINES:
            return Primitive::Lines;
        case GL_LINE_LOOP:
            return Primitive::LineLoop;
        case GL_QUADS:
            return Primitive::Quads;
        default:
            return Primitive::None;
    }
}

}  // namespace

void createResources(int width, int height, float scale) {
    context.viewport = {width, height, scale};
    context.backend.create(width, height, context.state);
}

void resizeResources(int width, int height, float scale) {
    context.viewport = {width, height, scale};
    context.queued.clear();
    context.backend.resize(width, height);
}

void forgetResources() {
    context.backend.forget();
    context.queued.clear();
}

bool showFinishedFrame() {
    return context.backend.showFinishedFrame();
}

int framesShown() {
    return context.backend.framesShown();
}

void flush() {
    context.backend.draw(context.queued);
    context.queued.clear();
}

void present() {
    flush();
    context.backend.present();
}

void drawBitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove,
                const unsigned char* rows) {
    RasterPosition& raster = context.state.raster;
    if (!raster.valid) {
        return;
    }
    assembleBitmap({width, height, xOrigin, yOrigin, rows}, raster, context.viewport, context.queued);
    raster.x += xMove * context.viewport.scale;
    raster.y += yMove * context.viewport.scale;
}

}  // namespace morph::web

using morph::web::context;

extern "C" {

void glEnable(GLenum cap) {
    auto& state = context.state;
    switch (cap) {
        case GL_DEPTH_TEST:
            morph::web::flush();
            state.depthTest = true;
            context.backend.enableDepthTest();
            break;
        case GL_LIGHTING:
            state.lighting = true;
            break;
        case GL_LIGHT0:
            state.light0 = true;
            break;
        case GL_COLOR_MATERIAL:
            state.colorMaterial = true;
            break;
        default:
            break;
    }
}

void glClear(GLbitfield mask) {
    morph::web::flush();
    context.backend.clear(mask);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    using morph::web::clamp01;
    context.state.clearColour = {clamp01(red), clamp01(green), clamp01(blue), clamp01(alpha)};
    context.backend.setClearColour(context.state.clearColour);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    context.state.colour = {red, green, blue, 1.0F};
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    context.state.normal = {nx, ny, nz};
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!context.insideBegin) {
        return;
    }
    context.primitiveVertices.push_back(morph::web::processVertex(context.state, context.matrices, x, y, z));
}

void glBegin(GLenum mode) {
    context.insideBegin = true;
    context.primitive = morph::web::primitiveOf(mode);
    context.primitiveVertices.clear();
}

void glEnd() {
    if (context.insideBegin) {
        morph::web::assemblePrimitive(context.primitive, context.primitiveVertices, context.state.lineWidth,
                                      context.viewport, context.queued);
    }
    context.insideBegin = false;
    context.primitiveVertices.clear();
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (light != GL_LIGHT0) {
        return;
    }
    auto& state = context.state;
    switch (pname) {
        case GL_AMBIENT:
            state.lightAmbient = {params[0], params[1], params[2], params[3]};
            break;
        case GL_DIFFUSE:
            state.lightDiffuse = {params[0], params[1], params[2], params[3]};
            break;
        case GL_POSITION:
            morph::web::setLightPosition(state, context.matrices.modelview(),
                                         {params[0], params[1], params[2], params[3]});
            break;
        default:
            break;
    }
}

void glLineWidth(GLfloat width) {
    if (width > 0.0F) {
        context.state.lineWidth = width;
    }
}

void glMatrixMode(GLenum mode) {
    context.matrices.select(mode == GL_PROJECTION ? morph::web::MatrixMode::Projection
                                                  : morph::web::MatrixMode::Modelview);
}

void glLoadIdentity() {
    context.matrices.loadIdentity();
}

void glMultMatrixd(const GLdouble* m) {
    morph::web::Mat4 f{};
    for (int i = 0; i < 16; ++i) {
        f[i] = static_cast<float>(m[i]);
    }
    context.matrices.multiply(f);
}

void glMultMatrixf(const GLfloat* m) {
    morph::web::Mat4 f{};
    for (int i = 0; i < 16; ++i) {
        f[i] = m[i];
    }
    context.matrices.multiply(f);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    context.matrices.translate(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void glRasterPos4dv(const GLdouble* v) {
    const morph::web::Vec4 object{static_cast<float>(v[0]), static_cast<float>(v[1]),
                                  static_cast<float>(v[2]), static_cast<float>(v[3])};
    const auto raster = morph::web::rasterPosition(context.state, context.matrices, object, context.viewport);
    // Outside the view volume only the validity changes.
    context.state.raster.valid = raster.valid;
    if (raster.valid) {
        context.state.raster = raster;
    }
}

}  // extern "C"
