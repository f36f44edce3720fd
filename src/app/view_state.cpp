// Definitions and start-up values of the shared view state.
#include "app/view_state.h"

namespace morph {

int firstFunction = 0;
int secondFunction = 1;
float morphWeight = 0.0F;
float morphPhase = 0.0F;

}  // namespace morph
