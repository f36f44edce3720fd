// Keyboard and idle handlers: the only writers of the view state.
//
// The state updates are separate functions so that they can be exercised
// without a window; the handlers add only the exit and GLUT's redisplay
// request, which needs one.
#pragma once

namespace morph {

// Morph phase advance per idle call, in radians: 3.141592 / 200, so one
// period of the weight takes about 400 idle calls.
constexpr double kPhaseStep = 0.01570796;

// One full turn in radians, at full double precision. The phase is brought
// back below it so that the single-precision phase keeps its resolution.
constexpr double kFullTurn = 6.283185307179586;

constexpr unsigned char kEscapeKey = 27;
constexpr unsigned char kStepFirstKey = '1';
constexpr unsigned char kStepSecondKey = '2';

// "1" steps firstFunction, "2" steps secondFunction, each +1 modulo 6; every
// other key leaves the state alone.
void stepSelection(unsigned char key);

// Advances morphPhase by kPhaseStep (wrapping at a full turn) and sets
// morphWeight = (sin(phase) + 1) / 2 from the double-precision phase.
void advanceMorph();

// GLUT keyboard handler: Escape ends the process with exit status 1; any other
// key goes to stepSelection and requests a redisplay. The mouse position
// (x, y) is ignored.
void onKey(unsigned char key, int x, int y);

// GLUT idle handler: advanceMorph, then a redisplay request.
void onIdle();

}  // namespace morph
