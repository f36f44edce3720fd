// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// GL's fixed-function state as far as the viewer touches it, with GL's
// initial values, and the modelview and projection matrices with what is
// derived from them. Pure data and arithmetic: no WebGL, no Emscripten.
#pragma once

#include <algorithm>

#include "web/pipeline/matrix.h"

namespace morph::web {

struct Colour {
    float r, g, b, a;
};

// Each component held to [0, 1], as GL clamps clear and lit colours.
inline Colour clamped(const Colour& c) {
    return {std::clamp(c.r, 0.0F, 1.0F), std::clamp(c.g, 0.0F, 1.0F), std::clamp(c.b, 0.0F, 1.0F),
            std::clamp(c.a, 0.0F, 1.0F)};
}

// The current raster position (glRasterPos) in window coordinates: x from the
// left, y from the bottom, z the depth; and the colour it was lit with.
struct RasterPosition {
    bool valid = true;
    float x = 0, y = 0, z = 0;
    Colour colour{1, 1, 1, 1};
};

struct GlState {
    bool depthTest = false;
    bool lighting = false;
    bool light0 = false;
    bool colorMaterial = false;
    Colour clearColour{0, 0, 0, 0};
    float lineWidth = 1.0F;  // pixels of the viewer's window
    // Light 0: ambient, diffuse, and its position in eye coordinates.
    Colour lightAmbient{0, 0, 0, 1};
    Colour lightDiffuse{1, 1, 1, 1};
    Vec4 lightPosition{0, 0, 1, 0};
    float lightDistance = 1.0F;  // the length of its x, y, z: the direction's normaliser
    Colour globalAmbient{0.2F, 0.2F, 0.2F, 1};
    // The material when colour material is off.
    Colour materialAmbient{0.2F, 0.2F, 0.2F, 1};
    Colour materialDiffuse{0.8F, 0.8F, 0.8F, 1};
    Colour colour{1, 1, 1, 1};
    Vec3f normal{0, 0, 1};
    RasterPosition raster;
};

enum class MatrixMode { Modelview, Projection };

// The two matrices glMatrixMode chooses between. What is derived from them
// (their product, the normal matrix) is made again, once, when either has
// changed: not for each of the thousands of vertices of a frame.
class Matrices {
public:
    void select(MatrixMode mode) { mode_ = mode; }
    void loadIdentity() { current() = kIdentity; }
    // current = current * m, as glMultMatrix.
    void multiply(const Mat4& m);
    // current = current * translation(x, y, z), as glTranslate.
    void translate(float x, float y, float z);

    [[nodiscard]] const Mat4& modelview() const { return modelview_; }
    [[nodiscard]] const Mat4& projection() const { return projection_; }

    // Projection times modelview: positions are transformed by the product,
    // as a desktop driver's fixed-function vertex program does when no
    // lighting term needs the eye-space position (a directional light, no
    // specular light).
    const Mat4& modelviewProjection() {
        derive();
        return product_;
    }

    // A normal in eye coordinates: transformed by the inverse transpose of the
    // modelview matrix's upper 3 x 3, not renormalised (GL_NORMALIZE is off);
    // zero where that matrix is singular.
    Vec3f eyeNormal(const Vec3f& n) {
        derive();
        if (determinant_ == 0.0F) {
            return {0, 0, 0};
        }
        const auto& c = cofactors_;
        return {(c[0] * n[0] + c[1] * n[1] + c[2] * n[2]) / determinant_,
                (c[3] * n[0] + c[4] * n[1] + c[5] * n[2]) / determinant_,
                (c[6] * n[0] + c[7] * n[1] + c[8] * n[2]) / determinant_};
    }

private:
    Mat4& current() {
        stale_ = true;
        return mode_ == MatrixMode::Projection ? projection_ : modelview_;
    }
    void derive() {
        if (stale_) {
            deriveNow();
        }
    }
    void deriveNow();

    MatrixMode mode_ = MatrixMode::Modelview;
    Mat4 modelview_ = kIdentity;
    Mat4 projection_ = kIdentity;
    bool stale_ = true;
    Mat4 product_ = kIdentity;
    // The cofactors of the modelview matrix's upper 3 x 3, row by row, and
    // its determinant: the inverse transpose is the cofactors over the
    // determinant.
    std::array<float, 9> cofactors_{};
    float determinant_ = 1.0F;
};

}  // namespace morph::web
