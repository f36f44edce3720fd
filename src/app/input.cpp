// Keyboard and idle handlers.
#include "app/input.h"

#include <GL/glut.h>

#include <cmath>
#include <cstdlib>

#include "app/view_state.h"
#include "geometry/surface.h"

namespace morph {

void stepSelection(unsigned char key) {
    if (key == kStepFirstKey) {
        firstFunction = (firstFunction + 1) % kSurfaceFunctionCount;
    } else if (key == kStepSecondKey) {
        secondFunction = (secondFunction + 1) % kSurfaceFunctionCount;
    }
}

void advanceMorph() {
    double phase = static_cast<double>(morphPhase) + kPhaseStep;
    // Without the wrap the float phase loses resolution as it grows: its step
    // rounds to 1/64 past 2048, to 1/32 past 262144, and to nothing at 2^19,
    // where the animation would stop for good.
    if (phase >= kFullTurn) {
        phase -= kFullTurn;
    }
    morphPhase = static_cast<float>(phase);
    morphWeight = static_cast<float>((std::sin(phase) + 1.0) * 0.5);
}

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
