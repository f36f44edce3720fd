// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Keyboard and idle handlers: the only writers of the view state.
//
// The state updates themselves (stepSelection, advanceMorph) live with the
// view state, so that they can be exercised without a window; the handlers add
// only the exit and GLUT's redisplay request, which needs one.
#pragma once

#include "app/view_state.h"

namespace morph {

constexpr unsigned char kEscapeKey = 27;

// GLUT keyboard handler: Escape ends the process with exit status 1; any other
// key goes to stepSelection and requests a redisplay. The mouse position
// (x, y) is ignored.
void onKey(unsigned char key, int x, int y);

// GLUT idle handler: advanceMorph, then a redisplay request.
void onIdle();

}  // namespace morph
