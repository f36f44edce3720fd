// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Vec3 operations and the surface catalogue against known points.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/surface.h"
#include "geometry/vec3.h"
#include "test_support.h"

namespace morph {
namespace {

using test::expectComponents;
using test::Near12;

TEST(Vec3Test, NormalizedCrossAndLength) {
    struct Case {
        const char* what;
        Vec3 actual;
        test::Expected expected;
    };
    const Case cases[] = {
        {"3-4-5 triangle", Vec3(3, 4, 0).normalized(), {0.6, 0.8, 0.0}},
        {"zero stays zero", Vec3(0, 0, 0).normalized(), {0.0, 0.0, 0.0}},
        {"tiny vector is divided by the guard",
         Vec3(2e-06, 0, 0).normalized(),
         {0.19999999999999998, 0.0, 0.0}},
        {"cross of unit axes", Vec3(1, 0, 0).cross(Vec3(0, 1, 0)), {0.0, 0.0, 1.0}},
        {"cross component order", Vec3(1, 2, 3).cross(Vec3(4, 5, 6)), {-3.0, 6.0, -3.0}},
        {"cross is anti-commutative", Vec3(4, 5, 6).cross(Vec3(1, 2, 3)), {3.0, -6.0, 3.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectComponents(c.actual, c.expected);
    }
    EXPECT_EQ(Vec3(2, 3, 6).length(), 7.0);
    EXPECT_EQ(Vec3(0, 0, 0).length(), 0.0);
}

TEST(Vec3Test, DividedByGuardsSmallDivisors) {
    struct Case {
        double divisor;
        double expectedX;  // of (1, 1, 1) divided
    };
    const double byGuard = 99999.99999999999;  // 1 / 1e-05 in double precision
    const Case cases[] = {
        {1.001e-05, 1.0 / 1.001e-05},    // above the guard: divided as given
        {1e-05, byGuard},                // at the guard: divided as given
        {9.99e-06, byGuard},             // below: replaced by +1e-05
        {-5e-06, -byGuard},              // negative below: replaced by -1e-05
        {-1.001e-05, 1.0 / -1.001e-05},  // negative above: divided as given
        {0.0, byGuard},                  // +0.0 -> +1e-05
        {-0.0, byGuard},                 // -0.0 -> +1e-05, not -1e-05
        {4.0, 0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "divisor " << c.divisor);
        expectComponents(Vec3(1, 1, 1).dividedBy(c.divisor), {c.expectedX, c.expectedX, c.expectedX});
    }
}

TEST(SurfaceTest, KnownPoints) {
    struct Case {
        int function;
        double u;
        double v;
        test::Expected expected;
    };
    // Near12 marks sines and cosines taken within about 1e-06 of a multiple
    // of pi/2: their last digits belong to the sine routine.
    const Case cases[] = {
        {Plane, -1, -1, {-5.0, 0.0, -5.0}},
        {Plane, 0.5, 1, {2.5, 0.0, 5.0}},
        {Wave, -1, -1, {-5.0, 0.9589242746631385, -5.0}},
        {ProductWave, -1, -1, {-5.0, -0.9589242746631385, -5.0}},
        {ProductWave, 0, 0.7, {0.0, 0.0, 3.5}},
        {ProductWave, -0.3, 0, {-1.5, -0.0, 0.0}},
        {Cylinder, 0, 0, {-0.0, 0.0, 3.0}},
        {Cylinder, -1, -1, {Near12(1.96076937923e-06), -3.0, -2.999999999999359}},
        {Sphere, 0.5, 1, {0.0, 3.0, 0.0}},
        {Sphere, 0, 0, {-2.9999999999998397, Near12(9.80384689614e-07), -0.0}},
        {Sphere, -1, -1, {Near12(1.96076937923e-06), -2.999999999999359, Near12(1.28153885284e-12)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "function " << c.function << " at (" << c.u << ", " << c.v << ")");
        expectComponents(evaluateSurface(c.function, c.u, c.v), c.expected);
    }
}

TEST(SurfaceTest, RippleDiscEdgeCollapsesToCentre) {
    for (const double u : {-1.0, -0.55, 0.0, 0.3, 1.0, 1.0999999999999999}) {
        const Vec3 p = evaluateSurface(RippleDisc, u, -1.0);
        EXPECT_EQ(p.x, 0.0) << "u " << u;
        EXPECT_EQ(p.y, 1.0) << "u " << u;
        EXPECT_EQ(p.z, 0.0) << "u " << u;
    }
}

TEST(SurfaceTest, ShapesHaveTheirRadiiAndOrientation) {
    // Round surfaces keep their radius; the cylinder starts on +Z and turns towards -X.
    for (const double u : {-0.9, -0.2, 0.4, 0.8}) {
        for (const double v : {-0.6, 0.1, 0.7}) {
            const Vec3 c = evaluateSurface(Cylinder, u, v);
            EXPECT_NEAR(std::hypot(c.x, c.z), 3.0, 1e-12);
            EXPECT_NEAR(evaluateSurface(Sphere, u, v).length(), 3.0, 1e-12);
            const Vec3 d = evaluateSurface(RippleDisc, u, v);
            EXPECT_NEAR(std::hypot(d.x, d.z), 3.0 * (v + 1.0), 1e-12);
        }
    }
    EXPECT_LT(evaluateSurface(Cylinder, 0.1, 0).x, 0.0);
    EXPECT_GT(evaluateSurface(RippleDisc, 0.1, 0).x, 0.0);
    EXPECT_GT(evaluateSurface(Sphere, 0.0, 0.5).y, 0.0);
}

}  // namespace
}  // namespace morph
