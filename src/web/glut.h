// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// What the page's start state (start.cpp) and exit() (exit.cpp) ask of the
// browser's GLUT layer (glut.cpp).
#pragma once

namespace morph::web {

// Idle calls run before the first frame, and whether the loop then holds that
// frame (no idle calls; keys still work and redraw).
void setStart(long idleCallsBeforeFirstFrame, bool holdFrame);

// Ends the loop for good: no further turn runs (exit()).
void stopLoop();

}  // namespace morph::web
