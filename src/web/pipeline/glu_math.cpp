// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// gluPerspective's and gluLookAt's matrices (see glu_math.h), each operation
// in the order and precision of the desktop's GLU.
#include "web/pipeline/glu_math.h"

#include <cmath>

namespace morph::web {
namespace {

// GLU's own value of pi.
constexpr double kPi = 3.14159265358979323846;

using Vec3 = std::array<float, 3>;

void normalize(Vec3& v) {
    const auto r = static_cast<float>(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (r == 0.0F) {
        return;
    }
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

}  // namespace

std::optional<std::array<double, 16>> perspectiveMatrix(double fovy, double aspect, double zNear,
                                                        double zFar) {
    const double radians = fovy / 2 * kPi / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) {
        return std::nullopt;
    }
    const double cotangent = std::cos(radians) / sine;
    std::array<double, 16> m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    return m;
}

LookAt lookAtMatrix(const std::array<double, 3>& eye, const std::array<double, 3>& center,
                    const std::array<double, 3>& up) {
    Vec3 forward = {static_cast<float>(center[0] - eye[0]), static_cast<float>(center[1] - eye[1]),
                    static_cast<float>(center[2] - eye[2])};
    Vec3 upward = {static_cast<float>(up[0]), static_cast<float>(up[1]), static_cast<float>(up[2])};
    normalize(forward);
    Vec3 side = cross(forward, upward);
    normalize(side);
    upward = cross(side, forward);
    return {{side[0], upward[0], -forward[0], 0,  //
             side[1], upward[1], -forward[1], 0,  //
             side[2], upward[2], -forward[2], 0,  //
             0, 0, 0, 1},
            {-eye[0], -eye[1], -eye[2]}};
}

}  // namespace morph::web
