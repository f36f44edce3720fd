// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The matrices gluPerspective and gluLookAt hand to GL, computed as the GLU
// library of desktop systems computes them: the projection in double
// precision, the camera's axes in single precision. Pure arithmetic; the
// browser's GLU entry points (glu.cpp) multiply GL's current matrix by them,
// and a host test compares them with the system's libGLU bit for bit.
#pragma once

#include <array>
#include <optional>

namespace morph::web {

// gluPerspective's matrix (column-major), for a vertical field of view FOVY
// in degrees, an aspect ratio and the near and far planes; none where GLU
// leaves the matrix alone (a zero depth range, field of view or aspect).
std::optional<std::array<double, 16>> perspectiveMatrix(double fovy, double aspect, double zNear,
                                                        double zFar);

// gluLookAt: a rotation (column-major, single precision, as GLU hands it to
// glMultMatrixf) followed by a translation by -eye (glTranslated).
struct LookAt {
    std::array<float, 16> rotation;
    std::array<double, 3> translation;
};
LookAt lookAtMatrix(const std::array<double, 3>& eye, const std::array<double, 3>& center,
                    const std::array<double, 3>& up);

}  // namespace morph::web
