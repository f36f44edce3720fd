// Vec3: a double-precision 3D vector value type with guarded division.
//
// Every operation returns a new value and evaluates its arithmetic in a fixed
// order, so results are reproducible to the last bit (the project is built
// with -ffp-contract=off for the same reason).
#pragma once

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
    [[nodiscard]] double length() const;

    // Component-wise division by d, where |d| < kDivideEpsilon is replaced by
    // -kDivideEpsilon for negative d and +kDivideEpsilon otherwise (so both
    // +0.0 and -0.0 divide by +kDivideEpsilon).
    [[nodiscard]] Vec3 dividedBy(double d) const;

    // dividedBy(length()): a unit vector, except that a vector shorter than
    // kDivideEpsilon is scaled by 1/kDivideEpsilon instead (and zero stays zero).
    [[nodiscard]] Vec3 normalized() const;

    // The cross product *this x b.
    [[nodiscard]] Vec3 cross(const Vec3& b) const;
};

}  // namespace morph
