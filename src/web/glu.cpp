// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// gluPerspective and gluLookAt for the browser build: GL's current matrix
// times the matrices the desktop's GLU makes (pipeline/glu_math.h), handed to
// GL as that library hands them.
#include <GL/glu.h>

#include "web/pipeline/glu_math.h"

extern "C" {

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    if (const auto m = morph::web::perspectiveMatrix(fovy, aspect, zNear, zFar)) {
        glMultMatrixd(m->data());
    }
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    const auto view =
        morph::web::lookAtMatrix({eyeX, eyeY, eyeZ}, {centerX, centerY, centerZ}, {upX, upY, upZ});
    glMultMatrixf(view.rotation.data());
    glTranslated(view.translation[0], view.translation[1], view.translation[2]);
}

}  // extern "C"
