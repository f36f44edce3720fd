// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// gluPerspective and gluLookAt for the browser build, computed as the GLU
// library of desktop systems computes them (the projection in double
// precision, the camera's axes in single precision), so that the matrices
// handed to GL are the same bits.
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

void normalize(float v[3]) {
    const float r = static_cast<float>(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (r == 0.0F) {
        return;
    }
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void cross(const float a[3], const float b[3], float result[3]) {
    result[0] = a[1] * b[2] - a[2] * b[1];
    result[1] = a[2] * b[0] - a[0] * b[2];
    result[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * kPi / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) {
        return;
    }
    const double cotangent = std::cos(radians) / sine;
    GLdouble m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    glMultMatrixd(m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                        static_cast<float>(centerZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    normalize(forward);
    float side[3];
    cross(forward, up, side);  // side = forward x up
    normalize(side);
    cross(side, forward, up);                               // up = side x forward
    const GLfloat m[16] = {side[0], up[0], -forward[0], 0,  //
                           side[1], up[1], -forward[1], 0,  //
                           side[2], up[2], -forward[2], 0,  //
                           0,       0,     0,           1};
    glMultMatrixf(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}

}  // extern "C"
