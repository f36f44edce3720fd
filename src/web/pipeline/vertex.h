// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The values that pass from one stage of the browser's GL pipeline to the
// next: a vertex as the WebGL back end's shader takes it, a point in window
// coordinates, a depth plane, and the drawing buffer's size.
#pragma once

#include <cstddef>
#include <vector>

#include "web/pipeline/gl_state.h"

namespace morph::web {

// Depth as a plane over the window: depthAtOrigin + column * depthPerColumn +
// row * depthPerRow, for whole pixel indices, rows counted down from the top
// as a desktop driver counts them. Without a plane (planeGiven 0) the shader
// keeps the depth WebGL interpolates.
struct DepthPlane {
    float depthAtOrigin = 0, depthPerColumn = 0, depthPerRow = 0, planeGiven = 0;
};

// A vertex as the shader takes it: clip coordinates, a colour, and the depth
// plane of its triangle or line.
struct Vertex {
    float x, y, z, w;
    Colour colour;
    DepthPlane plane;
};
static_assert(sizeof(Vertex) == 12 * sizeof(float), "the shader reads three vec4 per vertex");

// A point in window coordinates: x from the left, y from the bottom (GL's
// convention), yDown from the top (a desktop driver's), z the depth.
struct WindowPoint {
    float x, y, yDown, z;
};

// The drawing buffer the window coordinates refer to, in pixels, and how
// many of its pixels make one pixel of the viewer's window along each axis
// (the screen's pixel density: 2 draws the 400 x 400 window into 800 x 800).
struct Viewport {
    int width = 0;
    int height = 0;
    float scale = 1.0F;
};

// Everything drawn since the last flush, in drawing order: four corners per
// piece, drawn as the triangles (0, 1, 2) and (0, 2, 3). A triangle takes its
// depth plane from its last corner (WebGL's provoking vertex for flat
// values), so the two triangles of a piece may carry different planes.
using Pieces = std::vector<Vertex>;
constexpr std::size_t kCornersPerPiece = 4;

}  // namespace morph::web
