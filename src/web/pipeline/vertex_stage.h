// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The fixed-function vertex stage, on the CPU in single precision as a
// desktop driver runs it: each vertex is transformed by the product of the
// projection and modelview matrices, lit (one directional light, colour
// material, global ambient light) and mapped to window coordinates.
#pragma once

#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

// The colour of a vertex (or of the raster position): the current colour, or
// with lighting on, GL's lighting equation for one directional light without
// specular light (the material's specular colour is black).
Colour litColour(const GlState& state, Matrices& matrices);

// glVertex: the point (x, y, z, 1) in clip coordinates, with its lit colour.
Vertex processVertex(const GlState& state, Matrices& matrices, float x, float y, float z);

// glLightfv(GL_LIGHT0, GL_POSITION): kept in eye coordinates, transformed by
// the modelview matrix of the moment.
void setLightPosition(GlState& state, const Mat4& modelview, const Vec4& position);

// glRasterPos4: the point through both matrices to window coordinates, lit;
// invalid (nothing drawn at it) outside the view volume.
RasterPosition rasterPosition(const GlState& state, Matrices& matrices, const Vec4& object,
                              const Viewport& viewport);

// Window coordinates of a clip-space vertex, computed as a desktop driver's
// vertex pipeline computes them: the reciprocal of w, then each coordinate
// times it, scaled and offset by the viewport in one fused multiply-add. The
// driver's rows run down from the top: its y scale is negative.
WindowPoint toWindow(const Vertex& v, const Viewport& viewport);

// A window-space point back in normalised device coordinates (w = 1), with a
// colour and a depth plane, for the shader.
Vertex fromWindow(float x, float y, float z, const Colour& colour, const Viewport& viewport,
                  const DepthPlane& plane = {});

// Clips the segment a-b to the view volume (-w <= x, y, z <= w) in clip
// coordinates; false when nothing of it is left.
bool clipSegment(Vertex& a, Vertex& b);

// Whether a clip-space vertex lies in front of the eye and not before the
// near plane.
inline bool inFrontOfNearPlane(const Vertex& v) {
    return v.w > 0.0F && v.z >= -v.w;
}

}  // namespace morph::web
