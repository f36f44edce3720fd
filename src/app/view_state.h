// The view state shared by the input handlers (its only writers) and the
// renderer (a reader): which two surface functions are blended, and how far.
//
// Process-wide variables with static initial values; GLUT calls every handler
// on one thread, so they need no locking.
#pragma once

namespace morph {

extern int firstFunction;   // 0..5, shown alone at weight 1; starts at Plane
extern int secondFunction;  // 0..5, shown alone at weight 0; starts at Wave
extern float morphWeight;   // 0..1, the blend factor of firstFunction
extern float morphPhase;    // radians, 0 <= phase < 2 pi (see advanceMorph)

}  // namespace morph
