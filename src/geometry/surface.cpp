// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The six surface functions, each in the exact evaluation order that fixes
// the last bits of its coordinates.
#include "geometry/surface.h"

#include <cmath>

namespace morph {

Vec3 evaluateSurface(int function, double u, double v) {
    switch (function) {
        case Plane:
            return {u * kGridScale, 0.0, v * kGridScale};
        case Wave: {
            const double x = u * kGridScale;
            return {x, std::sin(x), v * kGridScale};
        }
        case ProductWave:
            return {u * kGridScale, std::sin((u * v) * kGridScale), v * kGridScale};
        case RippleDisc: {
            const double a = u * kPi;
            const double r = v + 1.0;
            return {(std::sin(a) * r) * kRadius, std::cos(r * kTwoPiSixDecimals),
                    (std::cos(a) * r) * kRadius};
        }
        case Cylinder: {
            const double a = u * kPi;
            return {std::sin(a) * -kRadius, v * kRadius, std::cos(a) * kRadius};
        }
        case Sphere: {
            const double b = (v - 1.0) * kHalfPiSixDecimals;
            const double s = std::sin(b);
            const double a = u * kPi;
            return {(std::cos(a) * s) * kRadius, std::cos(b) * kRadius, (std::sin(a) * s) * kRadius};
        }
        default:
            return {0.0, 0.0, 0.0};
    }
}

}  // namespace morph
