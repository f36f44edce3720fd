// Counts calls of the global operator new made by this test program.
#pragma once

#include <cstddef>

namespace morph::test {

// Number of global operator new calls (all forms) since the program started.
std::size_t allocationCount();

}  // namespace morph::test
