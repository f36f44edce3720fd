// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Definitions and start-up values of the shared view state, and its updates.
#include "app/view_state.h"

#include <cmath>

#include "geometry/surface.h"

namespace morph {

int firstFunction = 0;
int secondFunction = 1;
float morphWeight = 0.0F;
float morphPhase = 0.0F;

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

}  // namespace morph
