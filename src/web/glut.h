// What the browser page may set before the viewer starts (start.cpp).
#pragma once

namespace morph::web {

// Idle calls run before the first frame, and whether the loop then holds that
// frame (no idle calls; keys still work and redraw).
void setStart(long idleCallsBeforeFirstFrame, bool holdFrame);

}  // namespace morph::web
