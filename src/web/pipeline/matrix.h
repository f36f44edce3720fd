// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// 4 x 4 matrices as GL keeps them (single precision, column-major) and the two
// products the fixed-function pipeline needs. Each sum runs over the columns
// in the order 0, 1, 2, 3 and rounds after every operation, as a desktop
// driver's vertex code does without fused multiply-adds.
#pragma once

#include <array>

namespace morph::web {

using Mat4 = std::array<float, 16>;  // column-major: element (row i, column j) at [j * 4 + i]
using Vec4 = std::array<float, 4>;
using Vec3f = std::array<float, 3>;

constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// a * b.
inline Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 p{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            p[j * 4 + i] = a[0 * 4 + i] * b[j * 4 + 0] + a[1 * 4 + i] * b[j * 4 + 1] +
                           a[2 * 4 + i] * b[j * 4 + 2] + a[3 * 4 + i] * b[j * 4 + 3];
        }
    }
    return p;
}

// m * v.
inline Vec4 transform(const Mat4& m, const Vec4& v) {
    Vec4 out{};
    for (int i = 0; i < 4; ++i) {
        out[i] = m[0 * 4 + i] * v[0] + m[1 * 4 + i] * v[1] + m[2 * 4 + i] * v[2] + m[3 * 4 + i] * v[3];
    }
    return out;
}

}  // namespace morph::web
