// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Counts calls of the global operator new made by this test program.
#pragma once

#include <cstddef>
#include <new>

namespace morph::test {

// Number of global operator new calls (all forms) since the program started.
std::size_t allocationCount();

// Whether the counter sees an allocation, for tests that go on to expect
// none. It calls the global operator new itself: a compiler may leave out the
// allocation of a new-expression whose result goes unused (clang does from
// -O1 on), but never an explicit call of the allocation function. Inline, so
// that it is compiled with the options of the test that uses it.
inline bool counterSeesAnAllocation() {
    const std::size_t before = allocationCount();
    void* block = ::operator new(sizeof(int));
    const std::size_t after = allocationCount();
    ::operator delete(block);
    return after == before + 1;
}

}  // namespace morph::test
