// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// One frame of the viewer in immediate-mode, fixed-function OpenGL.
//
// Colours and normals are set explicitly where the lighting depends on them:
// facets are white under their own normal, outlines black under a zero normal,
// and the caption white under a zero normal, which lighting turns into mid grey
// (global ambient 0.2 + light ambient 0.3). The axes set nothing and so take
// the white of the frame start under the normal left by the previous caption.
#include "render/scene.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include "app/view_state.h"
#include "geometry/morph_mesh.h"

namespace morph {
namespace {

// Camera, in world units: looking at the origin from the (+,+,+) octant.
constexpr double kEyeX = 10.0;
constexpr double kEyeY = 10.0;
constexpr double kEyeZ = 10.0;

constexpr float kAxisHalfLength = 300.0F;  // world units, well beyond the far mesh

// Homogeneous world position of the caption's raster origin; with the fixed
// camera it lands about 18 px from the left and 358 px above the bottom of a
// 400 x 400 window.
constexpr GLdouble kCaptionPosition[4] = {-12.0, 3.0, 0.0, 1.0};

void vertex(const Vec3& p) {
    const Float3 f = toFloat3(p);
    glVertex3f(f.x, f.y, f.z);
}

}  // namespace

void drawScene() {
    drawFrame();
    glutSwapBuffers();
}

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1.0F, 1.0F, 1.0F);
    glLoadIdentity();  // the modelview matrix, selected once at start-up
    gluLookAt(kEyeX, kEyeY, kEyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawAxes();
    drawMorphMesh();
    drawCaption(kCaption);
}

void drawAxes() {
    glBegin(GL_LINES);
    glVertex3f(-kAxisHalfLength, 0.0F, 0.0F);
    glVertex3f(kAxisHalfLength, 0.0F, 0.0F);
    glVertex3f(0.0F, -kAxisHalfLength, 0.0F);
    glVertex3f(0.0F, kAxisHalfLength, 0.0F);
    glVertex3f(0.0F, 0.0F, -kAxisHalfLength);
    glVertex3f(0.0F, 0.0F, kAxisHalfLength);
    glEnd();
}

void drawMorphMesh() {
    const MorphBlend blend = MorphBlend::of(firstFunction, secondFunction, morphWeight);
    forEachMorphCell(blend, [](double /*u*/, double /*v*/, const MeshCell& cell) {
        glColor3f(1.0F, 1.0F, 1.0F);
        const Float3 n = toFloat3(cell.normal);
        glNormal3f(n.x, n.y, n.z);
        glBegin(GL_QUADS);
        vertex(cell.p00);
        vertex(cell.p01);
        vertex(cell.p11);
        vertex(cell.p10);
        glEnd();

        glColor3f(0.0F, 0.0F, 0.0F);
        glNormal3f(0.0F, 0.0F, 0.0F);
        glBegin(GL_LINE_LOOP);
        vertex(liftedForOutline(cell.p00));
        vertex(liftedForOutline(cell.p01));
        vertex(liftedForOutline(cell.p11));
        vertex(liftedForOutline(cell.p10));
        glEnd();
    });
}

void drawCaption(const char* text) {
    // Colour and zero normal first: the raster colour is lit when the position is set.
    glColor3f(1.0F, 1.0F, 1.0F);
    glNormal3f(0.0F, 0.0F, 0.0F);
    glRasterPos4dv(kCaptionPosition);
    for (const char* c = text; *c != '\0'; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(*c));
    }
}

}  // namespace morph
