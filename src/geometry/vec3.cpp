// Vec3 operations, each written in the evaluation order that fixes its last bits.
#include "geometry/vec3.h"

#include <cmath>

namespace morph {

double Vec3::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

Vec3 Vec3::dividedBy(double d) const {
    double divisor = d;
    if (!(std::fabs(d) >= kDivideEpsilon)) {
        divisor = d < 0.0 ? -kDivideEpsilon : kDivideEpsilon;
    }
    return {x / divisor, y / divisor, z / divisor};
}

Vec3 Vec3::normalized() const {
    return dividedBy(length());
}

Vec3 Vec3::cross(const Vec3& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
}

}  // namespace morph
