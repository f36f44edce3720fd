// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Vec3: a double-precision 3D vector value type with guarded division.
//
// Every operation returns a new value and evaluates its arithmetic in a fixed
// order, so results are reproducible to the last bit; they are defined here,
// inline, because a frame calls them thousands of times, and every user must
// compile them with -ffp-contract=off (the geometry target passes it on).
#pragma once

#include <cmath>

namespace morph {

// Divisors with a magnitude below this are replaced by +/- this value, so that
// normalising a vanishing vector never divides by zero.
constexpr double kDivideEpsilon = 1e-05;

class Vec3 {
public:
    double x;
    double y;
    double z;

    constexpr Vec3(double xValue, double yValue, double zValue) : x(xValue), y(yValue), z(zValue) {}

    // Euclidean length: sqrt(x*x + y*y + z*z), summed left to right.
    [[nodiscard]] double length() const { return std::sqrt(x * x + y * y + z * z); }

    // Component-wise division by d, where |d| < kDivideEpsilon is replaced by
    // -kDivideEpsilon for negative d and +kDivideEpsilon otherwise (so both
    // +0.0 and -0.0 divide by +kDivideEpsilon).
    [[nodiscard]] Vec3 dividedBy(double d) const {
        double divisor = d;
        if (!(std::fabs(d) >= kDivideEpsilon)) {
            divisor = d < 0.0 ? -kDivideEpsilon : kDivideEpsilon;
        }
        return {x / divisor, y / divisor, z / divisor};
    }

    // dividedBy(length()): a unit vector, except that a vector shorter than
    // kDivideEpsilon is scaled by 1/kDivideEpsilon instead (and zero stays zero).
    [[nodiscard]] Vec3 normalized() const { return dividedBy(length()); }

    // The cross product *this x b.
    [[nodiscard]] constexpr Vec3 cross(const Vec3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
};

}  // namespace morph
