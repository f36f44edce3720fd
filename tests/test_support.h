// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Helpers for comparing computed vectors with expected doubles.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/vec3.h"

namespace morph::test {

// An expected component: exact (bit for bit, sign of zero included) unless
// marked as good to 12 significant digits only.
struct Component {
    double value;
    bool approximate = false;
    Component(double v) : value(v) {}  // NOLINT(google-explicit-constructor): table literals
    Component(double v, bool approx) : value(v), approximate(approx) {}
};

inline Component Near12(double v) {
    return {v, true};
}

struct Expected {
    Component x;
    Component y;
    Component z;
};

inline void expectComponent(const char* name, double actual, const Component& expected) {
    if (expected.approximate) {
        EXPECT_NEAR(actual, expected.value, std::fabs(expected.value) * 1e-12) << name;
    } else {
        EXPECT_EQ(actual, expected.value) << name;
        EXPECT_EQ(std::signbit(actual), std::signbit(expected.value)) << name << " sign of " << actual;
    }
}

inline void expectComponents(const Vec3& actual, const Expected& expected) {
    expectComponent("x", actual.x, expected.x);
    expectComponent("y", actual.y, expected.y);
    expectComponent("z", actual.z, expected.z);
}

}  // namespace morph::test
