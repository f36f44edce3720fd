// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Keyboard and idle state updates, and the exit on Escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/input.h"
#include "app/view_state.h"
#include "geometry/surface.h"

namespace morph {
namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        firstFunction = 0;
        secondFunction = 1;
        morphWeight = 0.0F;
        morphPhase = 0.0F;
    }
};

TEST_F(InputTest, KeysStepTheirSelectionWithWrapAround) {
    struct Case {
        const char* keys;
        int first;
        int second;
    };
    const Case cases[] = {
        {"", 0, 1},
        {"2", 0, 2},  // "2" once at start-up
        {"1", 1, 1},
        {"111111", 0, 1},  // six presses return
        {"11111", 5, 1},
        {"111111"
         "11111"
         "1",
         0, 1},               // from 5 one press gives 0
        {"22222", 0, 0},      // 1 -> 2 -> 3 -> 4 -> 5 -> 0
        {"1212x 3\t", 2, 3},  // interleaved, other keys ignored
    };
    for (const Case& c : cases) {
        SetUp();
        for (const char* k = c.keys; *k != '\0'; ++k) {
            stepSelection(static_cast<unsigned char>(*k));
        }
        EXPECT_EQ(firstFunction, c.first) << "keys \"" << c.keys << "\"";
        EXPECT_EQ(secondFunction, c.second) << "keys \"" << c.keys << "\"";
    }
}

TEST_F(InputTest, EveryOtherByteChangesNothing) {
    firstFunction = 3;
    secondFunction = 5;
    morphWeight = 0.25F;
    morphPhase = 1.5F;
    for (int key = 0; key < 256; ++key) {
        if (key == kEscapeKey || key == kStepFirstKey || key == kStepSecondKey) {
            continue;
        }
        stepSelection(static_cast<unsigned char>(key));
        ASSERT_EQ(firstFunction, 3) << "key " << key;
        ASSERT_EQ(secondFunction, 5) << "key " << key;
        ASSERT_EQ(morphWeight, 0.25F) << "key " << key;
        ASSERT_EQ(morphPhase, 1.5F) << "key " << key;
    }
}

TEST_F(InputTest, EscapeExitsWithStatusOne) {
    EXPECT_EXIT(onKey(kEscapeKey, 10, 20), ::testing::ExitedWithCode(1), "");
}

TEST_F(InputTest, FirstIdleCallAndFirstPeriod) {
    advanceMorph();
    EXPECT_EQ(static_cast<double>(morphPhase), 0.015707960352301598);
    EXPECT_EQ(static_cast<double>(morphWeight), 0.5078536868095398);

    // Until the sum reaches 2 pi the phase is the plain float sum; the call
    // that reaches it stores the sum less 2 pi, and the weight follows it.
    SetUp();
    float plain = 0.0F;
    double sum = 0.0;
    int calls = 0;
    for (;;) {
        sum = static_cast<double>(plain) + 0.01570796;
        advanceMorph();
        ++calls;
        if (sum >= kFullTurn) {
            break;
        }
        plain = static_cast<float>(sum);
        ASSERT_EQ(morphPhase, plain) << "call " << calls;
        ASSERT_EQ(morphWeight, static_cast<float>((std::sin(sum) + 1.0) * 0.5)) << "call " << calls;
    }
    EXPECT_EQ(calls, 400);
    EXPECT_EQ(morphPhase, static_cast<float>(sum - 2.0 * M_PI));
    EXPECT_EQ(morphWeight, static_cast<float>((std::sin(sum - 2.0 * M_PI) + 1.0) * 0.5));
    EXPECT_LT(morphPhase, 1e-5F);
}

TEST_F(InputTest, LongRunNeverFreezesOrDrifts) {
    // Unwrapped, the float phase would step by 1/64 past 2^11, by 1/32 past
    // 2^18 and not at all from 2^19 (about 33 million calls); 30 million
    // calls cover the first two.
    constexpr long kCalls = 30'000'000;
    const double fullTurn = 2.0 * M_PI;
    const double tolerance = 4.0 * std::numeric_limits<float>::epsilon() * fullTurn;
    double minStep = 1.0;
    double maxStep = 0.0;
    float minWeight = 1.0F;
    float maxWeight = 0.0F;
    long unchangedRun = 0;
    long longestUnchangedRun = 0;
    for (long call = 0; call < kCalls; ++call) {
        const double before = morphPhase;
        const float weightBefore = morphWeight;
        advanceMorph();
        double step = static_cast<double>(morphPhase) - before;
        if (step < 0.0) {
            step += fullTurn;
        }
        minStep = std::fmin(minStep, step);
        maxStep = std::fmax(maxStep, step);
        if (!(morphPhase >= 0.0F && static_cast<double>(morphPhase) < fullTurn) ||
            !(morphWeight >= 0.0F && morphWeight <= 1.0F)) {
            FAIL() << "call " << call << ": phase " << morphPhase << ", weight " << morphWeight;
        }
        unchangedRun = morphWeight == weightBefore ? unchangedRun + 1 : 0;
        longestUnchangedRun = std::max(longestUnchangedRun, unchangedRun);
        if (call >= kCalls - 401) {
            minWeight = std::fmin(minWeight, morphWeight);
            maxWeight = std::fmax(maxWeight, morphWeight);
        }
    }
    EXPECT_NEAR(minStep, kPhaseStep, tolerance);
    EXPECT_NEAR(maxStep, kPhaseStep, tolerance);
    // Only at its turning points may the weight repeat, rounded to float.
    EXPECT_LE(longestUnchangedRun, 2);
    EXPECT_LT(minWeight, 0.001F);  // the last period still swings fully
    EXPECT_GT(maxWeight, 0.999F);
}

}  // namespace
}  // namespace morph
