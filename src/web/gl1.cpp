// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The OpenGL 1.x entry points the viewer calls, on the current GlContext.
//
// WebGL has no immediate mode, no matrix stacks, no lighting and no wide
// lines, so GL's fixed-function pipeline runs here, in stages: GL's state and
// matrices (pipeline/gl_state.h), the vertex stage (pipeline/vertex_stage.h),
// primitive assembly with the depth planes a desktop driver computes
// (pipeline/assembly.h, pipeline/depth_plane.h), and a back end that draws
// what is queued (backend.h). This file turns each GL call into calls of the
// stages on the context the window system made current.
#include <GL/gl.h>

#include "web/gl_context.h"
#include "web/pipeline/assembly.h"
#include "web/pipeline/vertex_stage.h"

namespace morph::web {
namespace {

GlContext* current = nullptr;

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

// glMultMatrix of either precision: GL keeps its matrices in single precision.
template <typename T>
void multiplyCurrent(const T* m) {
    Mat4 f{};
    for (int i = 0; i < 16; ++i) {
        f[i] = static_cast<float>(m[i]);
    }
    current->matrices.multiply(f);
}

}  // namespace

void makeCurrent(GlContext* context) {
    current = context;
}

bool GlContext::attach(int width, int height, float scale) {
    viewport = {width, height, scale};
    return backend_.create(width, height, state);
}

void GlContext::resize(int width, int height, float scale) {
    viewport = {width, height, scale};
    queued.clear();
    backend_.resize(width, height);
}

void GlContext::forget() {
    backend_.forget();
    queued.clear();
}

void GlContext::flush() {
    backend_.draw(queued);
    queued.clear();
}

void GlContext::present() {
    flush();
    backend_.present();
}

}  // namespace morph::web

using morph::web::current;

extern "C" {

void glEnable(GLenum cap) {
    if (current == nullptr) {
        return;
    }
    auto& state = current->state;
    switch (cap) {
        case GL_DEPTH_TEST:
            current->flush();
            state.depthTest = true;
            current->backend().enableDepthTest();
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
    if (current != nullptr) {
        current->flush();
        current->backend().clear(mask);
    }
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    if (current != nullptr) {
        current->state.clearColour = morph::web::clamped({red, green, blue, alpha});
        current->backend().setClearColour(current->state.clearColour);
    }
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    if (current != nullptr) {
        current->state.colour = {red, green, blue, 1.0F};
    }
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    if (current != nullptr) {
        current->state.normal = {nx, ny, nz};
    }
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (current != nullptr && current->insideBegin) {
        current->primitiveVertices.push_back(
            morph::web::processVertex(current->state, current->matrices, x, y, z));
    }
}

void glBegin(GLenum mode) {
    if (current != nullptr) {
        current->insideBegin = true;
        current->primitive = morph::web::primitiveOf(mode);
        current->primitiveVertices.clear();
    }
}

void glEnd() {
    if (current == nullptr) {
        return;
    }
    if (current->insideBegin) {
        morph::web::assemblePrimitive(current->primitive, current->primitiveVertices,
                                      current->state.lineWidth, current->viewport, current->queued);
    }
    current->insideBegin = false;
    current->primitiveVertices.clear();
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (current == nullptr || light != GL_LIGHT0) {
        return;
    }
    auto& state = current->state;
    switch (pname) {
        case GL_AMBIENT:
            state.lightAmbient = {params[0], params[1], params[2], params[3]};
            break;
        case GL_DIFFUSE:
            state.lightDiffuse = {params[0], params[1], params[2], params[3]};
            break;
        case GL_POSITION:
            morph::web::setLightPosition(state, current->matrices.modelview(),
                                         {params[0], params[1], params[2], params[3]});
            break;
        default:
            break;
    }
}

void glLineWidth(GLfloat width) {
    if (current != nullptr && width > 0.0F) {
        current->state.lineWidth = width;
    }
}

void glMatrixMode(GLenum mode) {
    if (current != nullptr) {
        current->matrices.select(mode == GL_PROJECTION ? morph::web::MatrixMode::Projection
                                                       : morph::web::MatrixMode::Modelview);
    }
}

void glLoadIdentity() {
    if (current != nullptr) {
        current->matrices.loadIdentity();
    }
}

void glMultMatrixd(const GLdouble* m) {
    if (current != nullptr) {
        morph::web::multiplyCurrent(m);
    }
}

void glMultMatrixf(const GLfloat* m) {
    if (current != nullptr) {
        morph::web::multiplyCurrent(m);
    }
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    if (current != nullptr) {
        current->matrices.translate(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    }
}

void glRasterPos4dv(const GLdouble* v) {
    if (current == nullptr) {
        return;
    }
    const morph::web::Vec4 object{static_cast<float>(v[0]), static_cast<float>(v[1]),
                                  static_cast<float>(v[2]), static_cast<float>(v[3])};
    const auto raster =
        morph::web::rasterPosition(current->state, current->matrices, object, current->viewport);
    // Outside the view volume only the validity changes.
    current->state.raster.valid = raster.valid;
    if (raster.valid) {
        current->state.raster = raster;
    }
}

void glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove,
              const GLubyte* bitmap) {
    if (current == nullptr) {
        return;
    }
    morph::web::RasterPosition& raster = current->state.raster;
    if (!raster.valid) {
        return;
    }
    morph::web::assembleBitmap({width, height, xorig, yorig, bitmap}, raster, current->viewport,
                               current->queued);
    raster.x += xmove * current->viewport.scale;
    raster.y += ymove * current->viewport.scale;
}

}  // extern "C"
