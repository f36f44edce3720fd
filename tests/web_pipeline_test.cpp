// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The browser layer's pure stages against the numbers GL's rules and a
// desktop driver's rasteriser give: a lit vertex under the viewer's light and
// material, window coordinates, triangle depth planes with the swap for a
// negative area, wide lines' ends under the diamond-exit rule, and a
// bitmap's pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "web/pipeline/assembly.h"
#include "web/pipeline/depth_plane.h"
#include "web/pipeline/gl_state.h"
#include "web/pipeline/vertex_stage.h"

namespace morph::web {
namespace {

constexpr float kTolerance = 1e-6F;

// A window of 256 x 256 pixels: window coordinates with a few binary digits
// turn into clip coordinates and back without rounding.
constexpr Viewport kExact{256, 256};

// The vertex whose window coordinates are (x, yDown, z), w = 1.
Vertex atWindow(float x, float yDown, float z, const Viewport& viewport = kExact) {
    const float halfWidth = 0.5F * static_cast<float>(viewport.width);
    const float halfHeight = 0.5F * static_cast<float>(viewport.height);
    return {x / halfWidth - 1.0F, 1.0F - yDown / halfHeight, 2.0F * z - 1.0F, 1.0F, {1, 1, 1, 1}, {}};
}

// A piece's corner back in window coordinates (x from the left, y from the bottom).
std::pair<float, float> windowOf(const Vertex& v, const Viewport& viewport = kExact) {
    return {(v.x + 1.0F) * 0.5F * static_cast<float>(viewport.width),
            (v.y + 1.0F) * 0.5F * static_cast<float>(viewport.height)};
}

// The viewer's lighting: light 0 with ambient 0.3 and diffuse 0.5, shining
// from the eye's -Z direction (position (0, 0, -10, 0) under the identity),
// colour material on, GL's global ambient 0.2.
GlState viewerLighting() {
    GlState state;
    state.lighting = true;
    state.light0 = true;
    state.colorMaterial = true;
    state.lightAmbient = {0.3F, 0.3F, 0.3F, 1};
    state.lightDiffuse = {0.5F, 0.5F, 0.5F, 1};
    setLightPosition(state, kIdentity, {0, 0, -10, 0});
    return state;
}

TEST(WebVertexStageTest, LitColourFollowsGlLightingEquation) {
    // colour = c * (global ambient + light ambient) + max(n . L, 0) * c * light diffuse,
    // L = (0, 0, -1); the normal goes to eye space through the inverse
    // transpose of the modelview and is not renormalised.
    const Mat4 quarterTurnAboutY = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1};  // x -> -z
    const Mat4 doubled = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    struct Case {
        const char* what;
        Colour colour;
        Vec3f normal;
        Mat4 modelview;
        Colour expected;
    };
    const Case cases[] = {
        {"facing the light", {1, 1, 1, 1}, {0, 0, -1}, kIdentity, {1, 1, 1, 1}},
        {"facing away: ambient only", {1, 1, 1, 1}, {0, 0, 1}, kIdentity, {0.5F, 0.5F, 0.5F, 1}},
        {"zero normal (caption, axes): mid grey", {1, 1, 1, 1}, {0, 0, 0}, kIdentity, {0.5F, 0.5F, 0.5F, 1}},
        {"at an angle: n . L = 0.8", {1, 1, 1, 1}, {0, 0.6F, -0.8F}, kIdentity, {0.9F, 0.9F, 0.9F, 1}},
        {"coloured", {1, 0.5F, 0, 1}, {0, 0, -1}, kIdentity, {1, 0.5F, 0, 1}},
        {"black outline stays black", {0, 0, 0, 1}, {0, 0, 0}, kIdentity, {0, 0, 0, 1}},
        {"not renormalised: half length, half diffuse",
         {1, 1, 1, 1},
         {0, 0, -0.5F},
         kIdentity,
         {0.75F, 0.75F, 0.75F, 1}},
        {"too long: clamped to 1", {1, 1, 1, 1}, {0, 0, -2}, kIdentity, {1, 1, 1, 1}},
        {"rotated into the light by the modelview", {1, 1, 1, 1}, {1, 0, 0}, quarterTurnAboutY, {1, 1, 1, 1}},
        {"a scaled modelview shortens the normal",
         {1, 1, 1, 1},
         {0, 0, -1},
         doubled,
         {0.75F, 0.75F, 0.75F, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GlState state = viewerLighting();
        state.colour = c.colour;
        state.normal = c.normal;
        Matrices matrices;
        matrices.multiply(c.modelview);
        const Colour lit = litColour(state, matrices);
        EXPECT_NEAR(lit.r, c.expected.r, kTolerance);
        EXPECT_NEAR(lit.g, c.expected.g, kTolerance);
        EXPECT_NEAR(lit.b, c.expected.b, kTolerance);
        EXPECT_EQ(lit.a, c.expected.a);
    }
    // Without lighting the current colour passes unchanged.
    GlState unlit;
    unlit.colour = {0.25F, 0.5F, 0.75F, 1};
    Matrices matrices;
    const Colour plain = litColour(unlit, matrices);
    EXPECT_EQ(plain.r, 0.25F);
    EXPECT_EQ(plain.g, 0.5F);
    EXPECT_EQ(plain.b, 0.75F);
}

TEST(WebVertexStageTest, WindowCoordinates) {
    // x = (x_c / w + 1) * width / 2, y likewise from the bottom, yDown =
    // height - y, z = (z_c / w + 1) / 2.
    struct Case {
        Vec4 clip;
        Viewport viewport;
        WindowPoint expected;
    };
    const Case cases[] = {
        {{0, 0, 0, 1}, {400, 400}, {200, 200, 200, 0.5F}},
        {{0.5F, -0.25F, 0.2F, 1}, {400, 400}, {300, 150, 250, 0.6F}},
        {{-1, 1, -1, 1}, {400, 400}, {0, 400, 0, 0}},
        {{1, 1, 0, 2}, {400, 400}, {300, 300, 100, 0.5F}},
        {{0.5F, 0.5F, 1, 1}, {800, 600}, {600, 450, 150, 1}},
    };
    for (const Case& c : cases) {
        const Vertex v{c.clip[0], c.clip[1], c.clip[2], c.clip[3], {1, 1, 1, 1}, {}};
        const WindowPoint p = toWindow(v, c.viewport);
        SCOPED_TRACE(testing::Message()
                     << c.clip[0] << " " << c.clip[1] << " " << c.clip[2] << " " << c.clip[3]);
        EXPECT_NEAR(p.x, c.expected.x, 1e-4F);
        EXPECT_NEAR(p.y, c.expected.y, 1e-4F);
        EXPECT_NEAR(p.yDown, c.expected.yDown, 1e-4F);
        EXPECT_NEAR(p.z, c.expected.z, kTolerance);
    }
}

TEST(WebVertexStageTest, CaptionRasterPositionUnderTheViewersCamera) {
    // gluPerspective(45, 1, 0.01, 1000) and gluLookAt from (10, 10, 10) at
    // the origin, Y up, written out by their formulas in double precision;
    // the caption's point (-12, 3, 0) falls about 18 pixels from the left and
    // 358 above the bottom of the 400 x 400 window.
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double near = 0.01;
    const double far = 1000.0;
    const double projection[16] = {
        f, 0, 0, 0, 0, f, 0, 0, 0, 0, -(far + near) / (far - near), -1, 0, 0, -2 * far * near / (far - near),
        0};
    const double s = 1.0 / std::sqrt(2.0);
    const double u = 1.0 / std::sqrt(6.0);
    const double b = 1.0 / std::sqrt(3.0);
    // Rows: side (1, 0, -1)/sqrt2, up (-1, 2, -1)/sqrt6, back (1, 1, 1)/sqrt3.
    const double look[16] = {s, -u, b, 0, 0, 2 * u, b, 0, -s, -u, b, 0, 0, 0, 0, 1};
    Matrices matrices;
    Mat4 p{};
    Mat4 l{};
    for (int i = 0; i < 16; ++i) {
        p[i] = static_cast<float>(projection[i]);
        l[i] = static_cast<float>(look[i]);
    }
    matrices.select(MatrixMode::Projection);
    matrices.multiply(p);
    matrices.select(MatrixMode::Modelview);
    matrices.multiply(l);
    matrices.translate(-10, -10, -10);

    // The same point through the same formulas, in double precision.
    // Relative to the eye, (-12, 3, 0) is (-22, -7, -10).
    const double eye[3] = {s * (-22 + 10), u * (22 - 14 + 10), b * (-22 - 7 - 10)};
    const double ndcX = f * eye[0] / -eye[2];
    const double ndcY = f * eye[1] / -eye[2];

    const GlState state = viewerLighting();
    const RasterPosition raster = rasterPosition(state, matrices, {-12, 3, 0, 1}, {400, 400});
    ASSERT_TRUE(raster.valid);
    EXPECT_NEAR(raster.x, (ndcX + 1) * 200, 1e-3);
    EXPECT_NEAR(raster.y, (ndcY + 1) * 200, 1e-3);
    EXPECT_NEAR(raster.x, 18.0, 0.5);
    EXPECT_NEAR(raster.y, 357.6, 0.5);
    // Lit under the default normal (0, 0, 1), facing away from the light.
    EXPECT_NEAR(raster.colour.r, 0.5F, kTolerance);

    // Behind the eye: no valid raster position.
    EXPECT_FALSE(rasterPosition(state, matrices, {20, 20, 20, 1}, {400, 400}).valid);
}

TEST(WebDepthPlaneTest, TrianglePlaneOfALinearDepth) {
    // Depth z = z0 + a * x + b * yDown over the window: the plane's slopes are
    // a and b, and its value at column 0, row 0 is the depth at the pixel
    // centre (0.5, 0.5).
    struct Case {
        const char* what;
        float x[3], yDown[3];
        float z0, a, b;
    };
    const Case cases[] = {
        {"right angle", {10, 60, 10}, {10, 10, 90}, 0.25F, 0.001F, 0.002F},
        {"the other winding", {10, 10, 60}, {10, 90, 10}, 0.25F, 0.001F, 0.002F},
        {"falling across, rising down", {100, 140, 20}, {30, 200, 180}, 0.9F, -0.0005F, 0.0003F},
        {"flat", {5, 250, 120}, {5, 40, 250}, 0.5F, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowPoint p[3];
        for (int i = 0; i < 3; ++i) {
            p[i] = {c.x[i], 256 - c.yDown[i], c.yDown[i], c.z0 + c.a * c.x[i] + c.b * c.yDown[i]};
        }
        const DepthPlane plane = trianglePlane(p[0], p[1], p[2]);
        EXPECT_EQ(plane.planeGiven, 1.0F);
        EXPECT_NEAR(plane.depthPerColumn, c.a, 1e-7F);
        EXPECT_NEAR(plane.depthPerRow, c.b, 1e-7F);
        EXPECT_NEAR(plane.depthAtOrigin, c.z0 + c.a * 0.5F + c.b * 0.5F, 1e-5F);
    }
}

TEST(WebDepthPlaneTest, AreaSignOnTheSubpixelGrid) {
    struct Case {
        const char* what;
        WindowPoint p0, p1, p2;
        int expected;
    };
    // (x, y, yDown, z); only x and yDown count.
    const Case cases[] = {
        {"clockwise on the screen (rows down): negative", {0, 0, 0, 0}, {10, 0, 0, 0}, {0, 0, 10, 0}, -1},
        {"counter-clockwise: positive", {0, 0, 0, 0}, {0, 0, 10, 0}, {10, 0, 0, 0}, 1},
        {"on one line: zero", {0, 0, 0, 0}, {5, 0, 5, 0}, {10, 0, 10, 0}, 0},
        {"thinner than 1/256 pixel: zero", {0, 0, 0, 0}, {100, 0, 0, 0}, {50, 0, 0.001F, 0}, 0},
        {"1/256 pixel below the line: clockwise", {0, 0, 0, 0}, {100, 0, 0, 0}, {50, 0, 1.0F / 256, 0}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(areaSign(c.p0, c.p1, c.p2), c.expected);
    }
}

bool samePlane(const DepthPlane& a, const DepthPlane& b) {
    return a.depthAtOrigin == b.depthAtOrigin && a.depthPerColumn == b.depthPerColumn &&
           a.depthPerRow == b.depthPerRow && a.planeGiven == b.planeGiven;
}

TEST(WebDepthPlaneTest, NegativeAreaTriangleTakesThePlaneOfItsSwappedVertices) {
    // A quad whose first triangle (0, 1, 2) has negative area: the driver sets
    // up its plane from (1, 0, 2). In this case the two orders differ in the
    // last bit of the slope down the window, so the order shows.
    const WindowPoint p0{137.9375F, 0, 216.625F, 0.941500247F};
    const WindowPoint p1{80.1875F, 0, 175.4375F, 0.951930285F};
    const WindowPoint p2{52.3125F, 0, 113.5F, 0.986933649F};
    ASSERT_EQ(areaSign(p0, p1, p2), -1);
    ASSERT_FALSE(samePlane(trianglePlane(p0, p1, p2), trianglePlane(p1, p0, p2)));

    const Vertex quad[4] = {atWindow(p0.x, p0.yDown, p0.z), atWindow(p1.x, p1.yDown, p1.z),
                            atWindow(p2.x, p2.yDown, p2.z), atWindow(150, 120, 0.95F)};
    Pieces pieces;
    assembleQuad(quad, kExact, pieces);
    ASSERT_EQ(pieces.size(), kCornersPerPiece);
    // The first triangle's plane rides on its last corner, corner 2.
    EXPECT_TRUE(samePlane(pieces[2].plane, trianglePlane(p1, p0, p2)));
    EXPECT_FALSE(samePlane(pieces[2].plane, trianglePlane(p0, p1, p2)));
}

TEST(WebAssemblyTest, QuadsWithoutAreaAreNotDrawn) {
    Pieces pieces;
    // All four corners on one line: nothing.
    const Vertex line[4] = {atWindow(10, 10, 0.5F), atWindow(20, 20, 0.5F), atWindow(30, 30, 0.5F),
                            atWindow(40, 40, 0.5F)};
    assembleQuad(line, kExact, pieces);
    EXPECT_TRUE(pieces.empty());
    // The first triangle degenerate, the second not: corner 1 repeats corner
    // 0, so that only the second triangle covers pixels.
    const Vertex half[4] = {atWindow(10, 10, 0.5F), atWindow(20, 20, 0.5F), atWindow(30, 30, 0.5F),
                            atWindow(10, 30, 0.5F)};
    assembleQuad(half, kExact, pieces);
    ASSERT_EQ(pieces.size(), kCornersPerPiece);
    EXPECT_EQ(windowOf(pieces[1]), windowOf(pieces[0]));
    EXPECT_NE(windowOf(pieces[3]), windowOf(pieces[0]));
}

// Where a line's band starts and ends along its major axis, and its extent across.
struct Band {
    float start, end, low, high;
};

Band bandOf(const Pieces& pieces, bool xMajor) {
    // Corners in the order a0 (start, low), b0 (end, low), b1 (end, high), a1 (start, high).
    const auto along = [xMajor](const Vertex& v) {
        const auto [x, y] = windowOf(v);
        return xMajor ? std::pair{x, y} : std::pair{y, x};
    };
    return {along(pieces[0]).first, along(pieces[1]).first, along(pieces[0]).second, along(pieces[3]).second};
}

TEST(WebAssemblyTest, WideLineEndsFollowTheDiamondExitRule) {
    // A pixel whose diamond |dx| + |dy| < 1/2 about its centre holds the first
    // point is drawn and one that holds the last point is not; otherwise the
    // line covers the pixel centres between its ends. Points in window
    // coordinates, y from the bottom; the band covers the centres from
    // "start" up to (not including) "end".
    struct Case {
        const char* what;
        float ax, ay, bx, by;
        bool xMajor;
        float start, end;
    };
    const Case cases[] = {
        {"both ends at pixel centres: pixels 10 to 19", 10.5F, 20.5F, 20.5F, 20.5F, true, 10, 20},
        {"backwards: pixels 20 down to 11", 20.5F, 20.5F, 10.5F, 20.5F, true, 21, 11},
        {"ends inside their diamonds, off centre", 10.25F, 20.5F, 20.75F, 20.5F, true, 10, 20},
        {"ends on a row's edge, in no diamond: pixels 10 to 20", 10.25F, 20.0F, 20.75F, 20.0F, true, 10.25F,
         20.75F},
        {"ends outside their diamonds, off the centre line", 10.875F, 20.875F, 20.875F, 20.875F, true,
         10.875F, 20.875F},
        {"vertical: rows 5 to 14", 30.5F, 5.5F, 30.5F, 15.5F, false, 5, 15},
        {"within one diamond: nothing", 10.5F, 20.5F, 10.75F, 20.5F, true, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pieces pieces;
        assembleLine(atWindow(c.ax, 256 - c.ay, 0.5F), atWindow(c.bx, 256 - c.by, 0.5F), 2.0F, kExact,
                     pieces);
        ASSERT_EQ(pieces.size(), kCornersPerPiece);
        const Band band = bandOf(pieces, c.xMajor);
        EXPECT_EQ(band.start, c.start);
        EXPECT_EQ(band.end, c.end);
        // Two pixels wide, centred on the line where it starts.
        EXPECT_EQ(band.high - band.low, 2.0F);
        EXPECT_EQ(band.low + 1.0F, c.xMajor ? c.ay : c.ax);
        // Each fragment's depth comes from the line's plane.
        EXPECT_EQ(pieces[0].plane.planeGiven, 1.0F);
    }
    // At twice the pixel density the same line, given in drawing-buffer
    // pixels, is twice as wide.
    {
        Pieces doubled;
        const Viewport dense{256, 256, 2.0F};
        assembleLine(atWindow(20.5F, 256 - 40.5F, 0.5F, dense), atWindow(40.5F, 256 - 40.5F, 0.5F, dense),
                     2.0F, dense, doubled);
        ASSERT_EQ(doubled.size(), kCornersPerPiece);
        const Band band = bandOf(doubled, true);
        EXPECT_EQ(band.high - band.low, 4.0F);
    }
    // A line of no length is not drawn.
    Pieces none;
    assembleLine(atWindow(10.5F, 10.5F, 0.5F), atWindow(10.5F, 10.5F, 0.5F), 2.0F, kExact, none);
    EXPECT_TRUE(none.empty());
}

// The pixels (column, row from the bottom) a bitmap's pieces cover.
std::set<std::pair<int, int>> pixelsOf(const Pieces& pieces) {
    std::set<std::pair<int, int>> pixels;
    for (std::size_t i = 0; i < pieces.size(); i += kCornersPerPiece) {
        const auto [x0, y0] = windowOf(pieces[i]);
        const auto [x1, y1] = windowOf(pieces[i + 2]);
        EXPECT_EQ(x1 - x0, 1.0F);
        EXPECT_EQ(y1 - y0, 1.0F);
        pixels.insert({static_cast<int>(x0), static_cast<int>(y0)});
    }
    return pixels;
}

TEST(WebAssemblyTest, BitmapGlyphPixels) {
    // An "L" five pixels wide, three high, rows from the bottom, most
    // significant bit leftmost; its origin (1, 2) lies left of and below the
    // raster position, and its lower left pixel is where that lands, rounded
    // down.
    const unsigned char letterL[] = {0xF8, 0x80, 0x80};
    // Nine columns take two bytes a row: the ninth pixel is the second byte's
    // leftmost bit.
    const unsigned char wide[] = {0x80, 0x80};
    using Pixels = std::set<std::pair<int, int>>;
    struct Case {
        const char* what;
        Bitmap bitmap;
        float rasterX, rasterY;
        Pixels expected;
    };
    const Case cases[] = {
        {"L",
         {5, 3, 1, 2, letterL},
         20.7F,
         30.2F,
         {{19, 28}, {20, 28}, {21, 28}, {22, 28}, {23, 28}, {19, 29}, {19, 30}}},
        {"on whole pixels",
         {5, 3, 0, 0, letterL},
         40.0F,
         50.0F,
         {{40, 50}, {41, 50}, {42, 50}, {43, 50}, {44, 50}, {40, 51}, {40, 52}}},
        {"nine columns", {9, 1, 0, 0, wide}, 100.5F, 100.5F, {{100, 100}, {108, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RasterPosition raster;
        raster.x = c.rasterX;
        raster.y = c.rasterY;
        raster.z = 0.25F;
        raster.colour = {0.5F, 0.5F, 0.5F, 1};
        Pieces pieces;
        assembleBitmap(c.bitmap, raster, kExact, pieces);
        EXPECT_EQ(pixelsOf(pieces), c.expected);
        for (const Vertex& v : pieces) {
            EXPECT_EQ(v.colour.r, 0.5F);
            EXPECT_EQ(v.z, 2.0F * 0.25F - 1.0F);
        }
    }
    // At twice the pixel density (raster position in drawing-buffer pixels)
    // each glyph pixel is a square of 2 x 2 at twice the coordinates.
    {
        RasterPosition raster;
        raster.x = 41.4F;  // window pixel 20.7
        raster.y = 60.4F;  // window pixel 30.2
        Pieces pieces;
        assembleBitmap({5, 3, 1, 2, letterL}, raster, {256, 256, 2.0F}, pieces);
        ASSERT_EQ(pieces.size(), 7 * kCornersPerPiece);
        const auto [x0, y0] = windowOf(pieces[0]);
        const auto [x1, y1] = windowOf(pieces[2]);
        EXPECT_EQ(x0, 38.0F);  // window pixel 19
        EXPECT_EQ(y0, 56.0F);  // window pixel 28
        EXPECT_EQ(x1 - x0, 2.0F);
        EXPECT_EQ(y1 - y0, 2.0F);
    }
    // Nothing at an invalid raster position.
    RasterPosition invalid;
    invalid.valid = false;
    Pieces pieces;
    assembleBitmap({5, 3, 0, 0, letterL}, invalid, kExact, pieces);
    EXPECT_TRUE(pieces.empty());
}

}  // namespace
}  // namespace morph::web
