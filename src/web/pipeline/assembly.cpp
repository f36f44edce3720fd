// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Primitive assembly: quads, wide lines and bitmaps as pieces (see
// assembly.h).
#include "web/pipeline/assembly.h"

#include <cmath>
#include <iterator>

#include "web/pipeline/depth_plane.h"
#include "web/pipeline/vertex_stage.h"

namespace morph::web {

void assembleQuad(const Vertex* quad, const Viewport& viewport, Pieces& out) {
    // Split along the diagonal from the first corner, as a desktop driver
    // splits a quad (the cells are not flat, so the split decides depths).
    // The driver draws a triangle of negative area with its first two corners
    // swapped (which changes its plane's arithmetic) and no triangle of zero
    // area.
    const WindowPoint p[4] = {toWindow(quad[0], viewport), toWindow(quad[1], viewport),
                              toWindow(quad[2], viewport), toWindow(quad[3], viewport)};
    const auto plane = [](const WindowPoint& a, const WindowPoint& b, const WindowPoint& c, int sign) {
        return sign < 0 ? trianglePlane(b, a, c) : trianglePlane(a, b, c);
    };
    const int firstSign = areaSign(p[0], p[1], p[2]);
    const int secondSign = areaSign(p[0], p[2], p[3]);
    if (firstSign == 0 && secondSign == 0) {
        return;
    }
    Vertex corners[4] = {
        fromWindow(p[0].x, p[0].y, p[0].z, quad[0].colour, viewport),
        fromWindow(p[1].x, p[1].y, p[1].z, quad[1].colour, viewport),
        fromWindow(p[2].x, p[2].y, p[2].z, quad[2].colour, viewport, plane(p[0], p[1], p[2], firstSign)),
        fromWindow(p[3].x, p[3].y, p[3].z, quad[3].colour, viewport, plane(p[0], p[2], p[3], secondSign))};
    // A triangle left out becomes a point: one of its own corners repeated.
    if (firstSign == 0) {
        corners[1] = corners[0];
    }
    if (secondSign == 0) {
        corners[3] = corners[0];
    }
    out.insert(out.end(), std::begin(corners), std::end(corners));
}

void assembleLine(Vertex a, Vertex b, float lineWidth, const Viewport& viewport, Pieces& out) {
    if (!clipSegment(a, b)) {
        return;
    }
    const WindowPoint pa = toWindow(a, viewport);
    const WindowPoint pb = toWindow(b, viewport);
    if (pa.x == pb.x && pa.yDown == pb.yDown) {
        return;  // no length, no direction: not drawn
    }
    const DepthPlane plane = linePlane(pa, pb);
    const float ax = pa.x;
    const float ay = pa.y;
    const float az = pa.z;
    const float bx = pb.x;
    const float by = pb.y;
    const float bz = pb.z;
    // Along the major axis GL's diamond-exit rule decides the ends: a pixel
    // whose diamond (|dx| + |dy| < 1/2 around its centre) holds the first
    // point is drawn, one that holds the last point is not; otherwise the
    // line covers the centres it passes.
    const bool xMajor = std::fabs(bx - ax) >= std::fabs(by - ay);
    const float ua = xMajor ? ax : ay;
    const float va = xMajor ? ay : ax;
    const float ub = xMajor ? bx : by;
    const float vb = xMajor ? by : bx;
    if (ua == ub) {
        return;  // exits no diamond
    }
    const auto inDiamond = [](float u, float v) {
        return std::fabs(u - std::floor(u) - 0.5F) + std::fabs(v - std::floor(v) - 0.5F) < 0.5F;
    };
    const bool forward = ub > ua;
    const float slope = (vb - va) / (ub - ua);
    float startU = ua;
    float endU = ub;
    if (inDiamond(ua, va)) {
        startU = forward ? std::floor(ua) : std::floor(ua) + 1.0F;
    }
    if (inDiamond(ub, vb)) {
        endU = forward ? std::floor(ub) : std::floor(ub) + 1.0F;
    }
    const float startV = va + (startU - ua) * slope;
    const float endV = va + (endU - ua) * slope;
    // Across it, as a desktop driver widens it: half the width to either
    // side. The corners' depths serve only WebGL's clipping (they lie between
    // the ends'); each fragment's depth comes from the line's plane.
    const float half = 0.5F * lineWidth * viewport.scale;
    const auto corner = [xMajor, &plane, &viewport](float u, float v, float z, const Colour& colour) {
        return xMajor ? fromWindow(u, v, z, colour, viewport, plane)
                      : fromWindow(v, u, z, colour, viewport, plane);
    };
    const Vertex a0 = corner(startU, startV - half, az, a.colour);
    const Vertex a1 = corner(startU, startV + half, az, a.colour);
    const Vertex b0 = corner(endU, endV - half, bz, b.colour);
    const Vertex b1 = corner(endU, endV + half, bz, b.colour);
    out.insert(out.end(), {a0, b0, b1, a1});
}

void assemblePrimitive(Primitive primitive, const std::vector<Vertex>& v, float lineWidth,
                       const Viewport& viewport, Pieces& out) {
    switch (primitive) {
        case Primitive::Quads:
            for (std::size_t i = 0; i + 3 < v.size(); i += 4) {
                const Vertex* q = &v[i];
                if (inFrontOfNearPlane(q[0]) && inFrontOfNearPlane(q[1]) && inFrontOfNearPlane(q[2]) &&
                    inFrontOfNearPlane(q[3])) {
                    assembleQuad(q, viewport, out);
                } else {
                    // Reaching behind the eye: clip coordinates, for WebGL to clip.
                    out.insert(out.end(), q, q + kCornersPerPiece);
                }
            }
            break;
        case Primitive::Lines:
            for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
                assembleLine(v[i], v[i + 1], lineWidth, viewport, out);
            }
            break;
        case Primitive::LineLoop:
            for (std::size_t i = 0; i + 1 < v.size(); ++i) {
                assembleLine(v[i], v[i + 1], lineWidth, viewport, out);
            }
            if (v.size() > 1) {
                assembleLine(v.back(), v.front(), lineWidth, viewport, out);
            }
            break;
        case Primitive::None:
            break;
    }
}

void assembleBitmap(const Bitmap& bitmap, const RasterPosition& raster, const Viewport& viewport,
                    Pieces& out) {
    if (!raster.valid) {
        return;
    }
    // The bitmap's lower left corner, on whole pixels of the viewer's
    // window; each set bit (rows from the bottom, most significant bit
    // leftmost) becomes one such pixel, SCALE drawing-buffer pixels wide.
    const float scale = viewport.scale;
    const int left = static_cast<int>(std::floor(raster.x / scale - bitmap.xOrigin));
    const int bottom = static_cast<int>(std::floor(raster.y / scale - bitmap.yOrigin));
    const int bytesPerRow = (bitmap.width + 7) / 8;
    for (int j = 0; j < bitmap.height; ++j) {
        for (int i = 0; i < bitmap.width; ++i) {
            if ((bitmap.rows[j * bytesPerRow + i / 8] & (0x80 >> (i % 8))) == 0) {
                continue;
            }
            const float x0 = static_cast<float>(left + i) * scale;
            const float y0 = static_cast<float>(bottom + j) * scale;
            const float x1 = static_cast<float>(left + i + 1) * scale;
            const float y1 = static_cast<float>(bottom + j + 1) * scale;
            const Vertex p00 = fromWindow(x0, y0, raster.z, raster.colour, viewport);
            const Vertex p10 = fromWindow(x1, y0, raster.z, raster.colour, viewport);
            const Vertex p01 = fromWindow(x0, y1, raster.z, raster.colour, viewport);
            const Vertex p11 = fromWindow(x1, y1, raster.z, raster.colour, viewport);
            out.insert(out.end(), {p00, p10, p11, p01});
        }
    }
}

}  // namespace morph::web
