// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Primitive assembly: what glBegin and glEnd enclose (quads, lines, line
// loops) and glBitmap's bits become four-cornered pieces for the WebGL back
// end, as a desktop driver rasterises them: quads split along the diagonal
// from their first corner, lines as GL's wide lines with the diamond-exit
// rule at their ends, bitmaps one small square per set bit; every triangle and
// line with its depth plane (depth_plane.h).
#pragma once

#include <vector>

#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex.h"

namespace morph::web {

enum class Primitive { None, Lines, LineLoop, Quads };

// Appends to OUT the pieces of one primitive of the clip-space VERTICES:
// quads four by four (a last incomplete one is dropped), lines two by two, a
// line loop closed from its last vertex back to its first. Lines are
// LINE_WIDTH pixels of the viewer's window wide (times the viewport's scale).
void assemblePrimitive(Primitive primitive, const std::vector<Vertex>& vertices, float lineWidth,
                       const Viewport& viewport, Pieces& out);

// One quad of four clip-space corners that all lie in front of the near
// plane.
void assembleQuad(const Vertex* quad, const Viewport& viewport, Pieces& out);

// One wide line from a to b, clipped to the view volume first.
void assembleLine(Vertex a, Vertex b, float lineWidth, const Viewport& viewport, Pieces& out);

// glBitmap's image: WIDTH x HEIGHT bits, rows from the bottom, each row
// (width + 7) / 8 bytes with the most significant bit leftmost; its lower
// left corner at the raster position less the origin.
struct Bitmap {
    int width = 0;
    int height = 0;
    float xOrigin = 0;
    float yOrigin = 0;
    const unsigned char* rows = nullptr;
};

// Appends to OUT one square per set bit of BITMAP, each one pixel of the
// viewer's window (the viewport's scale in drawing-buffer pixels) in the
// raster position's colour and depth; nothing where the raster position is
// invalid. The raster position is in drawing-buffer pixels; the bitmap's
// origin in window pixels.
void assembleBitmap(const Bitmap& bitmap, const RasterPosition& raster, const Viewport& viewport,
                    Pieces& out);

}  // namespace morph::web
