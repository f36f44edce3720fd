// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Depth planes of triangles and wide lines (see depth_plane.h).
#include "web/pipeline/depth_plane.h"

#include <cmath>
#include <cstdint>

namespace morph::web {

DepthPlane trianglePlane(const WindowPoint& p0, const WindowPoint& p1, const WindowPoint& p2) {
    const float dx01 = p0.x - p1.x;
    const float dy01 = p0.yDown - p1.yDown;
    const float dx20 = p2.x - p0.x;
    const float dy20 = p2.yDown - p0.yDown;
    const float oneOverArea = 1.0F / (dx01 * dy20 - dy01 * dx20);
    const float dx20Scaled = dx20 * oneOverArea;
    const float dy20Scaled = dy20 * oneOverArea;
    const float dx01Scaled = dx01 * oneOverArea;
    const float dy01Scaled = dy01 * oneOverArea;
    const float dz01 = p0.z - p1.z;
    const float dz20 = p2.z - p0.z;
    DepthPlane plane;
    plane.depthPerColumn = dz01 * dy20Scaled - dz20 * dy01Scaled;
    plane.depthPerRow = dz20 * dx01Scaled - dz01 * dx20Scaled;
    plane.depthAtOrigin =
        p0.z - (plane.depthPerColumn * (p0.x - 0.5F) + plane.depthPerRow * (p0.yDown - 0.5F));
    plane.planeGiven = 1.0F;
    return plane;
}

int areaSign(const WindowPoint& p0, const WindowPoint& p1, const WindowPoint& p2) {
    const auto snap = [](float v) {
        return static_cast<std::int64_t>(std::nearbyint((v - 0.5F) * 256.0F));
    };
    const std::int64_t x0 = snap(p0.x);
    const std::int64_t y0 = snap(p0.yDown);
    const std::int64_t x1 = snap(p1.x);
    const std::int64_t y1 = snap(p1.yDown);
    const std::int64_t x2 = snap(p2.x);
    const std::int64_t y2 = snap(p2.yDown);
    const std::int64_t area = (x0 - x1) * (y2 - y0) - (x2 - x0) * (y0 - y1);
    return area == 0 ? 0 : (area < 0 ? -1 : 1);
}

DepthPlane linePlane(const WindowPoint& a, const WindowPoint& b) {
    const float dx = a.x - b.x;
    const float dy = a.yDown - b.yDown;
    const float oneOverArea = 1.0F / (dx * dx + dy * dy);
    float alongX = dx;
    float alongY = dy;
    if (std::fabs(dx) >= std::fabs(dy)) {
        const float dydx = dy / dx;
        alongX *= 1.0F + dydx * dydx;
        alongY = 0.0F;
    } else {
        const float dxdy = dx / dy;
        alongX = 0.0F;
        alongY *= 1.0F + dxdy * dxdy;
    }
    const float dz = a.z - b.z;
    DepthPlane plane;
    plane.depthPerColumn = dz * alongX * oneOverArea;
    plane.depthPerRow = dz * alongY * oneOverArea;
    plane.depthAtOrigin = a.z - (plane.depthPerColumn * (a.x - 0.5F) + plane.depthPerRow * (a.yDown - 0.5F));
    plane.planeGiven = 1.0F;
    return plane;
}

}  // namespace morph::web
