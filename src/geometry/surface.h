// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The catalogue of six parametric surfaces that the viewer blends.
//
// Each surface maps a parameter pair (u, v), nominally in [-1, 1] x [-1, 1],
// to a point in world units. Functions are numbered 0..5; the keyboard steps
// through them in this order, so the numbering is part of the behaviour.
#pragma once

#include "geometry/vec3.h"

namespace morph {

enum SurfaceFunction : int {
    Plane = 0,        // flat 10 x 10 square in the XZ plane
    Wave = 1,         // the square rippled along u: height sin(5u)
    ProductWave = 2,  // the square with height sin(5uv)
    RippleDisc = 3,   // disc of radius 3(v+1), height rippling with the radius
    Cylinder = 4,     // radius 3, height -3..3 about the Y axis
    Sphere = 5,       // radius 3 about the origin, v = 1 at the top pole
};

constexpr int kSurfaceFunctionCount = 6;

// Angle factor for u. Deliberately the six-decimal value, not the library's pi:
// it places the sphere's bottom pole and the cylinder's seam about 2e-06 off
// the axis, and those exact points are what the viewer draws.
constexpr double kPi = 3.141592;
constexpr double kTwoPiSixDecimals = 6.283184;   // ripple factor of RippleDisc
constexpr double kHalfPiSixDecimals = 1.570796;  // polar angle factor of Sphere
constexpr double kGridScale = 5.0;               // half-size of the square surfaces
constexpr double kRadius = 3.0;                  // radius of the round surfaces

// The point of surface `function` at (u, v). Precondition: 0 <= function < 6;
// any other number yields the origin.
[[nodiscard]] Vec3 evaluateSurface(int function, double u, double v);

}  // namespace morph
