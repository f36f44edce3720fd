// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The depth planes a desktop driver (Mesa's llvmpipe) sets up for triangles
// and wide lines, in single precision from its own formulas.
//
// The viewer's outlines lie 0.001 above their facets, about a third of a
// depth step there, so which of the two shows along an outline is decided by
// the last bit of each fragment's depth. Each triangle and line therefore
// carries its plane, and the shader evaluates it at each pixel centre in the
// driver's order, instead of letting WebGL interpolate the depth.
#pragma once

#include "web/pipeline/vertex.h"

namespace morph::web {

// The plane of a triangle: from its first vertex, with the pixel centres at
// half-integer coordinates.
DepthPlane trianglePlane(const WindowPoint& p0, const WindowPoint& p1, const WindowPoint& p2);

// The sign of a triangle's area on the driver's grid of 1/256 pixel, rows
// down: the driver draws a triangle of negative area with its first two
// vertices swapped, and no triangle of zero area.
int areaSign(const WindowPoint& p0, const WindowPoint& p1, const WindowPoint& p2);

// The plane of a wide line from a to b: its depth changes along the major
// axis only.
DepthPlane linePlane(const WindowPoint& a, const WindowPoint& b);

}  // namespace morph::web
