// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The allocation counter's self-check, built once for every optimisation
// level: the tests that expect no allocation rely on it at whatever level they
// are compiled.
#include <gtest/gtest.h>

#include "alloc_counter.h"

namespace morph {
namespace {

TEST(AllocCounterTest, SeesAnExplicitAllocation) {
    EXPECT_TRUE(test::counterSeesAnAllocation());
}

TEST(AllocCounterTest, CountsEveryFormOfOperatorNew) {
    const std::size_t before = test::allocationCount();
    void* single = ::operator new(8);
    void* array = ::operator new[](8);
    void* noThrow = ::operator new(8, std::nothrow);
    EXPECT_EQ(test::allocationCount(), before + 3);
    ::operator delete(single);
    ::operator delete[](array);
    ::operator delete(noThrow);
}

}  // namespace
}  // namespace morph
