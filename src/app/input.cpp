// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Keyboard and idle handlers.
#include "app/input.h"

#include <GL/glut.h>

#include <cstdlib>

namespace morph {

void onKey(unsigned char key, int /*x*/, int /*y*/) {
    if (key == kEscapeKey) {
        std::exit(1);
    }
    stepSelection(key);
    glutPostRedisplay();
}

void onIdle() {
    advanceMorph();
    glutPostRedisplay();
}

}  // namespace morph
