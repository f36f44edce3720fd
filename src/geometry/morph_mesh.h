// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The numbers of the morph mesh: blended grid points and facet normals.
//
// The mesh samples two surface functions on a parameter grid, blends each pair
// of points with a weight, and derives one normal per cell. Everything here is
// pure double-precision arithmetic, so a whole frame's mesh can be computed and
// checked without a GL context; the renderer only hands these values to GL.
#pragma once

#include "geometry/surface.h"
#include "geometry/vec3.h"

namespace morph {

// Grid parameters, in surface parameter units. The start values are
// accumulated by repeated addition of kGridStep, which yields 21 of them per
// direction (-1.0 ... 0.9999999999999998), so the mesh reaches one step past
// the parameter square on the high side of u and of v.
constexpr double kGridStart = -1.0;
constexpr double kGridStep = 0.1;
constexpr double kGridEnd = 1.0;  // a row or column is drawn while its start is < this
constexpr int kGridCellsPerSide = 21;

// Added to Y (world units) of every outline vertex so that outlines are not
// hidden by the facets they surround.
constexpr double kOutlineLift = 0.001;

// Single-precision coordinates, as handed to GL.
struct Float3 {
    float x;
    float y;
    float z;
};

[[nodiscard]] constexpr Float3 toFloat3(const Vec3& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

[[nodiscard]] constexpr Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// The corner raised by kOutlineLift along Y (in double precision).
[[nodiscard]] constexpr Vec3 liftedForOutline(const Vec3& p) {
    return {p.x, p.y + kOutlineLift, p.z};
}

// Two surface functions and their blend factors. The weight arrives in single
// precision; both factors are doubles and 1 - w is never rounded to float.
struct MorphBlend {
    int firstFunction;
    int secondFunction;
    double firstFactor;   // w
    double secondFactor;  // 1.0 - w

    [[nodiscard]] static constexpr MorphBlend of(int first, int second, float weight) {
        const double w = weight;
        return {first, second, w, 1.0 - w};
    }
};

// (1 - w) * second(u, v) + w * first(u, v), component by component.
[[nodiscard]] Vec3 blendedPoint(const MorphBlend& blend, double u, double v);

// One grid cell: its corners in drawing order and its facet normal.
struct MeshCell {
    Vec3 p00;  // (u, v)
    Vec3 p01;  // (u, vNext)
    Vec3 p11;  // (uNext, vNext)
    Vec3 p10;  // (uNext, v)
    Vec3 normal;
};

// The cell whose lower corner is (u, v), with uNext = u + kGridStep and
// vNext = v + kGridStep. All eight surface points are evaluated afresh. The
// normal is normalized(normalized(diagonal) x normalized(edge along v)); it is
// shorter than unit length where the cell is degenerate (see Vec3::dividedBy).
[[nodiscard]] MeshCell morphCell(const MorphBlend& blend, double u, double v);

// Calls visit(u, v, cell) for every cell of the grid, rows of u outermost, in
// drawing order. Allocates nothing.
template <typename Visitor>
void forEachMorphCell(const MorphBlend& blend, Visitor&& visit) {
    double u = kGridStart;
    do {
        double v = kGridStart;
        do {
            visit(u, v, morphCell(blend, u, v));
            v = v + kGridStep;
        } while (v < kGridEnd);
        u = u + kGridStep;
    } while (u < kGridEnd);
}

}  // namespace morph
