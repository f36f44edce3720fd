// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The matrices' changes and what is derived from them (see gl_state.h).
#include "web/pipeline/gl_state.h"

namespace morph::web {

void Matrices::multiply(const Mat4& m) {
    Mat4& c = current();
    c = web::multiply(c, m);
}

void Matrices::translate(float x, float y, float z) {
    Mat4& m = current();
    for (int i = 0; i < 4; ++i) {
        m[12 + i] = m[i] * x + m[4 + i] * y + m[8 + i] * z + m[12 + i];
    }
}

void Matrices::deriveNow() {
    product_ = web::multiply(projection_, modelview_);
    const Mat4& m = modelview_;
    const float a = m[0];
    const float b = m[4];
    const float c = m[8];
    const float d = m[1];
    const float e = m[5];
    const float f = m[9];
    const float g = m[2];
    const float h = m[6];
    const float k = m[10];
    cofactors_ = {e * k - f * h, f * g - d * k, d * h - e * g,  //
                  c * h - b * k, a * k - c * g, b * g - a * h,  //
                  b * f - c * e, c * d - a * f, a * e - b * d};
    determinant_ = a * cofactors_[0] + b * cofactors_[1] + c * cofactors_[2];
    stale_ = false;
}

}  // namespace morph::web
