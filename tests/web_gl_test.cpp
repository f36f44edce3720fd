// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser's GL and GLU entry points on a GL context whose back end
// records what it is asked: the start-up state reaching the back end, queued
// primitives drawn before a clear and at the end of a frame, calls outside
// glBegin/glEnd or without a context left alone, and both precisions of
// glMultMatrix alike.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "web/backend.h"
#include "web/gl_context.h"

namespace morph::web {
namespace {

// Each call as a word, in order; draws with their piece count.
class RecordingBackend final : public Backend {
public:
    bool create(int width, int height, const GlState& state) override {
        calls.push_back("create " + std::to_string(width) + "x" + std::to_string(height) +
                        (state.depthTest ? " depth" : ""));
        clearColour = state.clearColour;
        return true;
    }
    void resize(int width, int height) override {
        calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
    }
    void forget() override { calls.emplace_back("forget"); }
    void draw(const Pieces& pieces) override {
        if (!pieces.empty()) {
            calls.push_back("draw " + std::to_string(pieces.size() / kCornersPerPiece));
        }
    }
    void present() override { calls.emplace_back("present"); }
    void clear(unsigned int mask) override { calls.push_back("clear " + std::to_string(mask)); }
    void setClearColour(const Colour& colour) override { clearColour = colour; }
    void enableDepthTest() override { calls.emplace_back("depth"); }

    std::vector<std::string> calls;
    Colour clearColour{};
};

class WebGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeCurrent(&context);
        context.attach(400, 400, 1.0F);
        backend.calls.clear();
    }
    void TearDown() override { makeCurrent(nullptr); }

    // One quad well inside the view volume, under identity matrices.
    static void quad() {
        glBegin(GL_QUADS);
        glVertex3f(-0.5F, -0.5F, 0.0F);
        glVertex3f(0.5F, -0.5F, 0.0F);
        glVertex3f(0.5F, 0.5F, 0.0F);
        glVertex3f(-0.5F, 0.5F, 0.0F);
        glEnd();
    }

    RecordingBackend backend;
    GlContext context{backend};
};

TEST_F(WebGlTest, ClearColourIsClampedAndReachesTheBackEnd) {
    struct Case {
        float in[4];
        float out[4];
    };
    for (const Case& c : {Case{{0.2F, 0.2F, 0.7F, 1.0F}, {0.2F, 0.2F, 0.7F, 1.0F}},
                          Case{{-1.0F, 2.0F, 0.5F, 7.0F}, {0.0F, 1.0F, 0.5F, 1.0F}}}) {
        glClearColor(c.in[0], c.in[1], c.in[2], c.in[3]);
        const Colour got = backend.clearColour;
        EXPECT_EQ(got.r, c.out[0]);
        EXPECT_EQ(got.g, c.out[1]);
        EXPECT_EQ(got.b, c.out[2]);
        EXPECT_EQ(got.a, c.out[3]);
    }
}

TEST_F(WebGlTest, QueuedPiecesAreDrawnBeforeAClearAndAtTheEndOfAFrame) {
    glEnable(GL_DEPTH_TEST);
    quad();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    quad();
    quad();
    context.present();
    const std::vector<std::string> expected = {"depth", "draw 1", "clear 16640", "draw 2", "present"};
    EXPECT_EQ(backend.calls, expected);
}

TEST_F(WebGlTest, CallsOutsideBeginAndEndOrWithoutAContextChangeNothing) {
    glVertex3f(0.0F, 0.0F, 0.0F);  // outside glBegin/glEnd
    glEnd();                       // without glBegin
    glLineWidth(0.0F);             // not a width
    glLineWidth(-3.0F);
    EXPECT_TRUE(context.queued.empty());
    EXPECT_EQ(context.state.lineWidth, 1.0F);
    makeCurrent(nullptr);
    quad();
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    EXPECT_TRUE(context.queued.empty());
    EXPECT_TRUE(backend.calls.empty());
    EXPECT_FALSE(context.state.lighting);
}

TEST_F(WebGlTest, BothPrecisionsOfMultMatrixGiveTheSameMatrix) {
    const double d[16] = {1.5, 0.25, 0, 0, -0.5, 2, 0, 0, 0, 0, 1, -1, 3, 4, 5, 1};
    float f[16];
    for (int i = 0; i < 16; ++i) {
        f[i] = static_cast<float>(d[i]);
    }
    glMultMatrixd(d);
    const Mat4 fromDouble = context.matrices.modelview();
    glLoadIdentity();
    glMultMatrixf(f);
    EXPECT_EQ(context.matrices.modelview(), fromDouble);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(fromDouble[i], f[i]);
    }
}

// What gluPerspective and gluLookAt leave on GL's stacks, against matrices
// worked out by hand; their last bits are compared with the system's libGLU
// in web_glu_test.cpp.
TEST_F(WebGlTest, GluLeavesTheMatricesOfAPerspectiveAndALookOnTheStacks) {
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 1.0, 0.01, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(10.0, 10.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    // cot(22.5 degrees) = 1 + sqrt(2); depth from -(f + n) / (f - n) and
    // -2 f n / (f - n).
    const double cot = 1.0 + std::sqrt(2.0);
    const Mat4 projection = {static_cast<float>(cot),
                             0,
                             0,
                             0,
                             0,
                             static_cast<float>(cot),
                             0,
                             0,
                             0,
                             0,
                             static_cast<float>(-1000.01 / 999.99),
                             -1,
                             0,
                             0,
                             static_cast<float>(-20.0 / 999.99),
                             0};
    // Looking from (10, 10, 10) at the origin, y up: the rows are the side
    // (1, 0, -1) / sqrt 2, the up (-1, 2, -1) / sqrt 6 and the back
    // (1, 1, 1) / sqrt 3; the eye is then 10 sqrt 3 along the back.
    const auto a = static_cast<float>(1.0 / std::sqrt(2.0));
    const auto u = static_cast<float>(1.0 / std::sqrt(6.0));
    const auto b = static_cast<float>(1.0 / std::sqrt(3.0));
    const Mat4 modelview = {
        a, -u, b, 0, 0, 2 * u, b, 0, -a, -u, b, 0, 0, 0, static_cast<float>(-10.0 * std::sqrt(3.0)), 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(context.matrices.projection()[i], projection[i], 1e-6) << "projection " << i;
        EXPECT_NEAR(context.matrices.modelview()[i], modelview[i], 1e-5) << "modelview " << i;
    }
    // A degenerate projection leaves the matrix alone, as GLU does.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 0.0, 0.01, 1000.0);
    gluPerspective(45.0, 1.0, 5.0, 5.0);
    EXPECT_EQ(context.matrices.projection(), kIdentity);
}

TEST_F(WebGlTest, ARasterPositionOutsideTheViewDrawsNoBitmap) {
    const unsigned char bits[1] = {0xFF};
    const double inside[4] = {0, 0, 0, 1};
    const double outside[4] = {5, 0, 0, 1};
    glRasterPos4dv(outside);
    glBitmap(8, 1, 0, 0, 8, 0, bits);
    EXPECT_TRUE(context.queued.empty());
    glRasterPos4dv(inside);
    glBitmap(8, 1, 0, 0, 8, 0, bits);
    EXPECT_EQ(context.queued.size(), 8 * kCornersPerPiece);
    // The raster position moved on by the bitmap's advance.
    EXPECT_EQ(context.state.raster.x, 208.0F);
}

TEST_F(WebGlTest, AResizeAndALostContextDropWhatIsQueued) {
    quad();
    context.resize(800, 800, 2.0F);
    EXPECT_TRUE(context.queued.empty());
    EXPECT_EQ(context.viewport.scale, 2.0F);
    quad();
    context.forget();
    EXPECT_TRUE(context.queued.empty());
    const std::vector<std::string> expected = {"resize 800x800", "forget"};
    EXPECT_EQ(backend.calls, expected);
}

}  // namespace
}  // namespace morph::web
