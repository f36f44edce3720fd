// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Blending and per-cell normals of the morph mesh.
#include "geometry/morph_mesh.h"

namespace morph {

Vec3 blendedPoint(const MorphBlend& blend, double u, double v) {
    const Vec3 second = evaluateSurface(blend.secondFunction, u, v);
    const Vec3 first = evaluateSurface(blend.firstFunction, u, v);
    return {blend.secondFactor * second.x + blend.firstFactor * first.x,
            blend.secondFactor * second.y + blend.firstFactor * first.y,
            blend.secondFactor * second.z + blend.firstFactor * first.z};
}

MeshCell morphCell(const MorphBlend& blend, double u, double v) {
    const double uNext = u + kGridStep;
    const double vNext = v + kGridStep;
    const Vec3 p00 = blendedPoint(blend, u, v);
    const Vec3 p01 = blendedPoint(blend, u, vNext);
    const Vec3 p11 = blendedPoint(blend, uNext, vNext);
    const Vec3 p10 = blendedPoint(blend, uNext, v);
    const Vec3 alongV = p01 - p00;
    const Vec3 diagonal = p11 - p00;
    const Vec3 normal = diagonal.normalized().cross(alongV.normalized()).normalized();
    return {p00, p01, p11, p10, normal};
}

}  // namespace morph
