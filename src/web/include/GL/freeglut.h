// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// freeglut's extensions the viewer uses, for the browser build.
#pragma once

#include <GL/glut.h>

extern "C" void glutMainLoopEvent();
