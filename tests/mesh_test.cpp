// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The morph mesh's numbers: grid, blends, corners and facet normals, in double
// precision and as the single-precision values that are handed to GL.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "alloc_counter.h"
#include "geometry/morph_mesh.h"
#include "test_support.h"

namespace morph {
namespace {

using test::expectComponents;

void expectFloats(const Float3& actual, double x, double y, double z) {
    // The expected values are single-precision numbers printed as doubles.
    EXPECT_EQ(actual.x, static_cast<float>(x));
    EXPECT_EQ(actual.y, static_cast<float>(y));
    EXPECT_EQ(actual.z, static_cast<float>(z));
    EXPECT_EQ(static_cast<double>(actual.x), x);
    EXPECT_EQ(static_cast<double>(actual.y), y);
    EXPECT_EQ(static_cast<double>(actual.z), z);
}

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

TEST(MeshTest, GridHas21StartValuesPerDirectionInRowOrder) {
    std::vector<double> rowStarts;
    std::vector<double> firstRowColumns;
    int cells = 0;
    forEachMorphCell(MorphBlend::of(Plane, Plane, 0.0F), [&](double u, double v, const MeshCell& /*cell*/) {
        if (cells % kGridCellsPerSide == 0) {
            rowStarts.push_back(u);
        }
        if (cells < kGridCellsPerSide) {
            firstRowColumns.push_back(v);
        }
        ++cells;
    });
    EXPECT_EQ(cells, 441);
    ASSERT_EQ(rowStarts.size(), 21U);
    EXPECT_EQ(rowStarts, firstRowColumns);
    EXPECT_EQ(rowStarts[0], -1.0);
    EXPECT_EQ(rowStarts[1], -0.9);
    EXPECT_EQ(rowStarts[3], -0.7000000000000001);
    EXPECT_EQ(rowStarts[10], -1.3877787807814457e-16);
    EXPECT_EQ(rowStarts[19], 0.8999999999999998);
    EXPECT_EQ(rowStarts[20], 0.9999999999999998);
}

TEST(MeshTest, PlaneFacetsFaceDownwards) {
    const MorphBlend plane = MorphBlend::of(Plane, Plane, 0.37F);
    const MeshCell first = morphCell(plane, -1.0, -1.0);
    expectComponents(first.p00, {-5.0, 0.0, -5.0});
    expectComponents(first.p01, {-5.0, 0.0, -4.5});
    expectComponents(first.p11, {-4.5, 0.0, -4.5});
    expectComponents(first.p10, {-4.5, 0.0, -5.0});
    int cells = 0;
    forEachMorphCell(plane, [&](double u, double v, const MeshCell& cell) {
        SCOPED_TRACE(testing::Message() << "cell at (" << u << ", " << v << ")");
        expectComponents(cell.normal, {0.0, -1.0, 0.0});
        ++cells;
    });
    EXPECT_EQ(cells, 441);
}

// A cell of a blend, both by the cell rule at u = v = 0 and as drawn at the
// grid's eleventh start value, where it is handed to GL in single precision.
struct BlendCase {
    const char* what;
    MorphBlend blend;
    double height;  // Y of the corners at u = 0.1 by the exact rule
    double nx;
    double ny;
    double heightF;  // the same, as drawn, in single precision
    double nxF;
    double nyF;
    double p00yF;  // Y of the first corner, as drawn, in single precision
};

TEST(MeshTest, WaveAndHalfBlendCells) {
    const BlendCase cases[] = {
        {"Wave alone", MorphBlend::of(Wave, Wave, 0.0F), 0.479425538604203, 0.6921001398444316,
         -0.7218014937829641, 0.4794255495071411, 0.6921001672744751, -0.7218015193939209,
         -6.938893903907228e-16},
        {"Plane and Wave at 0.5", MorphBlend::of(Plane, Wave, 0.5F), 0.2397127693021015, 0.4323100140380859,
         -0.901725042217632, 0.23971277475357056, 0.43231001496315, -0.9017250537872314,
         -3.469446951953614e-16},
    };
    const double start = -1.3877787807814457e-16;
    const double startF = -6.938893903907228e-16;  // 5 * start, exact in single precision
    for (const BlendCase& c : cases) {
        SCOPED_TRACE(c.what);
        const MeshCell exact = morphCell(c.blend, 0.0, 0.0);
        expectComponents(exact.p00, {0.0, 0.0, 0.0});
        expectComponents(exact.p01, {0.0, 0.0, 0.5});
        expectComponents(exact.p11, {0.5, c.height, 0.5});
        expectComponents(exact.p10, {0.5, c.height, 0.0});
        expectComponents(exact.normal, {c.nx, c.ny, 0.0});

        const MeshCell drawn = morphCell(c.blend, start, start);
        expectFloats(toFloat3(drawn.p00), startF, c.p00yF, startF);
        expectFloats(toFloat3(drawn.p01), startF, c.p00yF, 0.5);
        expectFloats(toFloat3(drawn.p11), 0.5, c.heightF, 0.5);
        expectFloats(toFloat3(drawn.p10), 0.5, c.heightF, startF);
        expectFloats(toFloat3(drawn.normal), c.nxF, c.nyF, 0.0);
        // Outlines are lifted along Y in double precision, then rounded.
        EXPECT_EQ(toFloat3(liftedForOutline(drawn.p11)).y, static_cast<float>(drawn.p11.y + 0.001));
    }
}

TEST(MeshTest, WeightEndsShowOneFunctionExactly) {
    // Weight 0 shows the second function, weight 1 the first, bit for bit.
    for (int a = 0; a < kSurfaceFunctionCount; ++a) {
        for (int b = 0; b < kSurfaceFunctionCount; ++b) {
            for (const double u : {-1.0, -0.3, 0.6}) {
                const double v = 0.45;
                SCOPED_TRACE(testing::Message() << "A " << a << " B " << b << " u " << u);
                const Vec3 atZero = blendedPoint(MorphBlend::of(a, b, 0.0F), u, v);
                const Vec3 atOne = blendedPoint(MorphBlend::of(a, b, 1.0F), u, v);
                const Vec3 second = evaluateSurface(b, u, v);
                const Vec3 first = evaluateSurface(a, u, v);
                EXPECT_EQ(atZero.x, second.x);
                EXPECT_EQ(atZero.y, second.y);
                EXPECT_EQ(atZero.z, second.z);
                EXPECT_EQ(atOne.x, first.x);
                EXPECT_EQ(atOne.y, first.y);
                EXPECT_EQ(atOne.z, first.z);
            }
        }
    }
}

TEST(MeshTest, OneMinusWeightStaysInDoublePrecision) {
    // 1 - w rounded to float would lose the low bits of this weight.
    const float w = 0.1F;
    const MorphBlend blend = MorphBlend::of(Plane, Wave, w);
    EXPECT_EQ(blend.secondFactor, 1.0 - static_cast<double>(w));
    EXPECT_NE(blend.secondFactor, static_cast<double>(1.0F - w));
    EXPECT_EQ(blend.firstFactor, static_cast<double>(w));
}

TEST(MeshTest, SphereNormalsAndDegenerateCells) {
    const MorphBlend sphere = MorphBlend::of(Sphere, Sphere, 0.0F);
    // Corners P01 and P11 within 1e-15 of the top pole: the normal is the
    // guarded cross product, about 7e-11 long, not a unit vector. Its
    // components come from cancelling the last bits of near-pole points, so
    // they follow the sine routine from the eighth digit on.
    const MeshCell nearPole = morphCell(sphere, -1.0, 0.8999999999999998);
    const Vec3 expected(-5.3890498834252565e-12, -6.847439976143121e-11, -1.3877787807814457e-12);
    EXPECT_NEAR(nearPole.normal.x, expected.x, 1e-6 * std::fabs(expected.x));
    EXPECT_NEAR(nearPole.normal.y, expected.y, 1e-6 * std::fabs(expected.y));
    EXPECT_NEAR(nearPole.normal.z, expected.z, 1e-6 * std::fabs(expected.z));
    EXPECT_NEAR(nearPole.normal.length(), 6.87e-11, 0.01e-11);

    // Below the pole the facets face the centre; past it, away from it.
    int cells = 0;
    forEachMorphCell(sphere, [&](double u, double v, const MeshCell& cell) {
        SCOPED_TRACE(testing::Message() << "cell at (" << u << ", " << v << ")");
        const double facing = dot(cell.normal, cell.p11);
        if (v < 0.85 && v > -0.95) {
            EXPECT_LT(facing, 0.0);
            EXPECT_NEAR(cell.normal.length(), 1.0, 1e-12);
        } else if (v > 0.95) {
            EXPECT_GT(facing, 0.0);
        }
        ++cells;
    });
    EXPECT_EQ(cells, 441);

    // A cell too small to resolve (u + 0.1 == u): all corners coincide and
    // the normal is exactly zero, not NaN.
    const MeshCell collapsed = morphCell(MorphBlend::of(Sphere, Wave, 0.25F), 1e17, 1e17);
    expectComponents(collapsed.normal, {0.0, 0.0, 0.0});
}

TEST(MeshTest, WholeFrameAllocatesNothing) {
    ASSERT_TRUE(test::counterSeesAnAllocation());  // the counter must see an allocation...
    double sink = 0.0;
    const std::size_t start = test::allocationCount();
    for (int a = 0; a < kSurfaceFunctionCount; ++a) {
        forEachMorphCell(
            MorphBlend::of(a, Sphere, 0.3F),
            [&sink](double /*u*/, double /*v*/, const MeshCell& cell) { sink += cell.normal.y; });
    }
    EXPECT_EQ(test::allocationCount(), start);  // ...and none from whole meshes
    EXPECT_TRUE(std::isfinite(sink));
}

}  // namespace
}  // namespace morph
