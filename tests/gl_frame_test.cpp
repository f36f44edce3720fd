// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Frames drawn by a real OpenGL context (an X display is required) and read
// back from the back buffer before any swap.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#ifdef __linux__
#include <dlfcn.h>
#include <link.h>
#endif

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "alloc_counter.h"
#include "app/shell.h"
#include "app/view_state.h"
#include "geometry/morph_mesh.h"
#include "render/scene.h"

namespace morph {
namespace {

using Rgb = std::array<int, 3>;

constexpr int kTolerance = 3;  // per channel, out of 255

Rgb grey(double level) {
    const int v = static_cast<int>(std::lround(level * 255.0));
    return {v, v, v};
}

const Rgb kClearColour = {51, 51, 179};  // (0.2, 0.2, 0.7)
const Rgb kBlack = {0, 0, 0};
// White under a zero normal: global ambient 0.2 plus light ambient 0.3.
const Rgb kUnlitGrey = grey(0.5);

bool isNear(const Rgb& a, const Rgb& b) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[static_cast<std::size_t>(i)] - b[static_cast<std::size_t>(i)]) > kTolerance) {
            return false;
        }
    }
    return true;
}

::testing::AssertionResult pixelIs(const Rgb& actual, const Rgb& expected) {
    if (isNear(actual, expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel (" << actual[0] << ", " << actual[1] << ", " << actual[2] << "), expected ("
           << expected[0] << ", " << expected[1] << ", " << expected[2] << ")";
}

// The lit colour of a white facet with unit normal n: the light shines from
// the eye's -Z, which in world space is the viewing direction -(1, 1, 1)/sqrt 3.
Rgb litWhite(const Vec3& n) {
    const double towardsLight = -(n.x + n.y + n.z) / std::sqrt(3.0);
    return grey(std::fmin(1.0, 0.5 + 0.5 * std::fmax(0.0, towardsLight)));
}

// Mesa unloads its driver when the process exits, while blocks the driver
// allocated for the still-open context stay on the heap; a leak checker then
// sees them as lost from an unknown module. Keeping the loaded driver (and so
// what it references) in place until the end avoids that false report.
// (Linux only: elsewhere there is no leak checker to mislead.)
void keepGlDriverLoaded() {
#ifdef __linux__
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t /*size*/, void* /*data*/) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "_dri.so") != nullptr) {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
#endif
}

class GlFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (std::getenv("DISPLAY") == nullptr) {
            return;  // each test then fails in SetUp
        }
        static char name[] = "gl_frame_test";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        openWindowForOwnFrames(&argc, argv);  // frames are drawn by the tests themselves
        keepGlDriverLoaded();
        windowOpen = true;
    }

    void SetUp() override {
        // A failure, not a skip: these tests must never pass unseen.
        ASSERT_TRUE(windowOpen) << "needs an X display (./scripts/test provides one)";
    }

    static inline bool windowOpen = false;

    // Draws two frames (the axes take the normal the first one leaves) with
    // the given view state; the back buffer then holds the second.
    static void drawWith(int first, int second, float weight) {
        firstFunction = first;
        secondFunction = second;
        morphWeight = weight;
        drawFrame();
        drawFrame();
        glFinish();
    }

    static Rgb pixel(int x, int y) {
        std::array<std::uint8_t, 3> rgb{};
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return {rgb[0], rgb[1], rgb[2]};
    }

    // Window pixel (origin bottom left) under a world point, for the current camera.
    static std::array<int, 2> project(const Vec3& p) {
        std::array<GLdouble, 16> model{};
        std::array<GLdouble, 16> projection{};
        std::array<GLint, 4> viewport{};
        glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        GLdouble wx = 0;
        GLdouble wy = 0;
        GLdouble wz = 0;
        gluProject(p.x, p.y, p.z, model.data(), projection.data(), viewport.data(), &wx, &wy, &wz);
        return {static_cast<int>(std::floor(wx)), static_cast<int>(std::floor(wy))};
    }
};

TEST_F(GlFrameTest, ViewportIsTheWindow) {
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 400, 400}));
}

TEST_F(GlFrameTest, ClearColourAxesAndCaption) {
    drawWith(Plane, Wave, 0.0F);
    for (const auto& corner : {std::array<int, 2>{399, 399}, {399, 220}, {0, 0}}) {
        EXPECT_TRUE(pixelIs(pixel(corner[0], corner[1]), kClearColour)) << corner[0] << ", " << corner[1];
    }

    // The +Y axis runs up the middle of the window above the mesh.
    int axisPixels = 0;
    for (int x = 190; x < 210; ++x) {
        const Rgb p = pixel(x, 390);
        if (!isNear(p, kClearColour)) {
            EXPECT_TRUE(pixelIs(p, kUnlitGrey)) << "axis at x " << x;
            ++axisPixels;
        }
    }
    EXPECT_GE(axisPixels, 2);

    // The caption: a row of 38 grey 8 x 13 glyphs starting about 18 px from
    // the left and 358 px above the bottom. Skip the axis columns.
    int captionPixels = 0;
    int left = 400;
    int right = 0;
    for (int y = 350; y < 375; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (x >= 190 && x < 210) {
                continue;
            }
            const Rgb p = pixel(x, y);
            if (!isNear(p, kClearColour)) {
                EXPECT_TRUE(pixelIs(p, kUnlitGrey)) << "caption at " << x << ", " << y;
                ++captionPixels;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GE(captionPixels, 300);
    EXPECT_NEAR(left, 19, 3);
    EXPECT_NEAR(right, 18 + 38 * 8, 8);
}

TEST_F(GlFrameTest, PlaneFacetLitAndOutlinedInBlack) {
    drawWith(Plane, Plane, 0.6F);
    const Rgb facet = litWhite({0.0, -1.0, 0.0});
    EXPECT_TRUE(pixelIs(facet, grey(0.5 + 0.5 / std::sqrt(3.0))));

    const auto inside = project({1.25, 0.0, 1.25});  // middle of a cell
    EXPECT_TRUE(pixelIs(pixel(inside[0], inside[1]), facet));

    const auto corner = project({-2.5, kOutlineLift, 2.5});  // where four outlines meet
    EXPECT_TRUE(pixelIs(pixel(corner[0], corner[1]), kBlack));
}

TEST_F(GlFrameTest, NearWallHidesFarWall) {
    // A cylinder cell facing the camera; the far wall lies behind it on screen.
    const MorphBlend cylinder = MorphBlend::of(Cylinder, Cylinder, 0.0F);
    const double u = -0.4;
    const double v = 0.9;
    const MeshCell nearCell = morphCell(cylinder, u, v);
    const Rgb expected = litWhite(nearCell.normal);

    drawWith(Cylinder, Cylinder, 0.0F);
    const auto at = project(blendedPoint(cylinder, u + 0.05, v + 0.05));
    const Rgb shown = pixel(at[0], at[1]);
    EXPECT_TRUE(pixelIs(shown, expected));

    // Without the depth test the far wall, drawn later, shows through.
    glDisable(GL_DEPTH_TEST);
    drawWith(Cylinder, Cylinder, 0.0F);
    glEnable(GL_DEPTH_TEST);
    EXPECT_FALSE(isNear(pixel(at[0], at[1]), shown));
}

TEST_F(GlFrameTest, FramesAllocateNothing) {
    ASSERT_TRUE(test::counterSeesAnAllocation());
    drawWith(ProductWave, Sphere, 0.3F);  // warm up the driver's state caches
    const std::size_t before = test::allocationCount();
    for (int i = 0; i < 20; ++i) {  // whole frames: axes, mesh, caption and the swap
        firstFunction = i % kSurfaceFunctionCount;
        morphWeight = static_cast<float>(i) / 20.0F;
        drawScene();
    }
    glFinish();
    EXPECT_EQ(test::allocationCount(), before);
}

}  // namespace
}  // namespace morph
