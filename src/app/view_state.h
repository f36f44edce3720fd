// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The view state shared by the input handlers (its only writers) and the
// renderer (a reader): which two surface functions are blended, and how far;
// and the two updates the handlers make to it.
//
// Process-wide variables with static initial values; GLUT calls every handler
// on one thread, so they need no locking. Nothing here needs GL, so programs
// without a window (the tests, the mesh digest) use the same updates.
#pragma once

namespace morph {

extern int firstFunction;   // 0..5, shown alone at weight 1; starts at Plane
extern int secondFunction;  // 0..5, shown alone at weight 0; starts at Wave
extern float morphWeight;   // 0..1, the blend factor of firstFunction
extern float morphPhase;    // radians, 0 <= phase < 2 pi (see advanceMorph)

// Morph phase advance per idle call, in radians: 3.141592 / 200, so one
// period of the weight takes about 400 idle calls.
constexpr double kPhaseStep = 0.01570796;

// One full turn in radians, at full double precision. The phase is brought
// back below it so that the single-precision phase keeps its resolution.
constexpr double kFullTurn = 6.283185307179586;

constexpr unsigned char kStepFirstKey = '1';
constexpr unsigned char kStepSecondKey = '2';

// "1" steps firstFunction, "2" steps secondFunction, each +1 modulo 6; every
// other key leaves the state alone.
void stepSelection(unsigned char key);

// Advances morphPhase by kPhaseStep (wrapping at a full turn) and sets
// morphWeight = (sin(phase) + 1) / 2 from the double-precision phase.
void advanceMorph();

}  // namespace morph
