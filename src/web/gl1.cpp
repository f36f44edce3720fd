// The fixed-function OpenGL 1.x pipeline the viewer uses, on WebGL 2.
//
// WebGL has no immediate mode, no matrix stacks, no lighting and no wide
// lines, so the vertex stage runs here, on the CPU, in single precision as a
// desktop driver runs it: each vertex is transformed by the product of the
// projection and modelview matrices, lit (one directional light, colour
// material, global ambient light) and mapped to window coordinates; quads
// become two triangles, lines the bands GL rasterises for wide lines, and
// bitmaps one small square per pixel. All of it is queued in drawing order,
// as four-cornered pieces of two triangles each, and drawn with one small
// shader into an offscreen frame with a 32-bit float depth buffer;
// glutSwapBuffers copies it to the canvas.
//
// The outlines lie 0.001 above their facets, about a third of a depth step
// there, so which of the two shows along an outline is decided by the last
// bit of each fragment's depth. To decide it as a desktop driver does, each
// triangle and line carries its depth plane (depth at the origin and its
// slopes across and down the window, in single precision, from the driver's
// own formulas) and the shader evaluates it at each pixel centre in the
// driver's order.
#include "web/gl1.h"

#include <GL/gl.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace morph::web {
namespace {

using Mat4 = std::array<float, 16>;  // column-major, as GL stores matrices

constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A vertex as the shader takes it: clip coordinates, a colour, and the depth
// plane of its triangle or line (see DepthPlane).
struct Vertex {
    float x, y, z, w;
    float r, g, b, a;
    float depthAtOrigin, depthPerColumn, depthPerRow, planeGiven;
};

// Depth as a plane over the window: depthAtOrigin + column * depthPerColumn +
// row * depthPerRow, for whole pixel indices, rows counted down from the top
// as the desktop driver counts them. Without a plane (planeGiven 0) the shader
// keeps the depth WebGL interpolates.
struct DepthPlane {
    float depthAtOrigin = 0, depthPerColumn = 0, depthPerRow = 0, planeGiven = 0;
};

// A point in window coordinates: x from the left, y from the bottom (GL's
// convention), yDown from the top (the desktop driver's), z the depth.
struct WindowPoint {
    float x, y, yDown, z;
};

struct Colour {
    float r, g, b, a;
};

// GL's state as far as the viewer touches it, with GL's initial values.
struct State {
    Mat4 modelview = kIdentity;
    Mat4 projection = kIdentity;
    GLenum matrixMode = GL_MODELVIEW;
    bool depthTest = false;
    bool lighting = false;
    bool light0 = false;
    bool colorMaterial = false;
    Colour clearColour{0, 0, 0, 0};
    float lineWidth = 1.0F;  // pixels
    // Light 0: ambient, diffuse, and its position in eye coordinates.
    Colour lightAmbient{0, 0, 0, 1};
    Colour lightDiffuse{1, 1, 1, 1};
    std::array<float, 4> lightPosition{0, 0, 1, 0};
    float lightDistance = 1.0F;  // the length of its x, y, z: the direction's normaliser
    Colour globalAmbient{0.2F, 0.2F, 0.2F, 1};
    // The material when colour material is off.
    Colour materialAmbient{0.2F, 0.2F, 0.2F, 1};
    Colour materialDiffuse{0.8F, 0.8F, 0.8F, 1};
    Colour colour{1, 1, 1, 1};
    std::array<float, 3> normal{0, 0, 1};
    // The current raster position, in window coordinates, and its colour.
    bool rasterValid = true;
    float rasterX = 0, rasterY = 0, rasterZ = 0;
    Colour rasterColour{1, 1, 1, 1};
};

State state;
int viewportWidth = 0;
int viewportHeight = 0;

// The primitive being specified between glBegin and glEnd.
GLenum primitive = 0;
bool insideBegin = false;
std::vector<Vertex> primitiveVertices;

// Everything drawn since the last flush, in drawing order: four corners per
// piece, drawn as the triangles (0, 1, 2) and (0, 2, 3). A triangle takes its
// depth plane from its last corner (WebGL's provoking vertex for flat
// values), so the two triangles of a piece may carry different planes.
std::vector<Vertex> queued;
constexpr int kCornersPerPiece = 4;
constexpr int kIndicesPerPiece = 6;

// WebGL objects: made by createResources(), again after a lost context.
bool ready = false;
GLuint program = 0;
GLuint vertexBuffer = 0;
GLuint indexBuffer = 0;
std::size_t indexedPieces = 0;  // pieces the index buffer holds
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 p{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            p[j * 4 + i] = a[0 * 4 + i] * b[j * 4 + 0] + a[1 * 4 + i] * b[j * 4 + 1] +
                           a[2 * 4 + i] * b[j * 4 + 2] + a[3 * 4 + i] * b[j * 4 + 3];
        }
    }
    return p;
}

std::array<float, 4> transform(const Mat4& m, const std::array<float, 4>& v) {
    std::array<float, 4> out{};
    for (int i = 0; i < 4; ++i) {
        out[i] = m[0 * 4 + i] * v[0] + m[1 * 4 + i] * v[1] + m[2 * 4 + i] * v[2] + m[3 * 4 + i] * v[3];
    }
    return out;
}

// The matrix that glMultMatrix and friends change. What is derived from the
// matrices (their product, the normal matrix) is made again, once, when
// either has changed: not for each of the thousands of vertices of a frame.
bool derivedStale = true;
Mat4 product = kIdentity;
// The cofactors of the modelview matrix's upper 3 x 3, row by row, and its
// determinant: the inverse transpose is the cofactors over the determinant.
std::array<float, 9> cofactors{};
float determinant = 1.0F;

Mat4& currentMatrix() {
    derivedStale = true;
    return state.matrixMode == GL_PROJECTION ? state.projection : state.modelview;
}

void deriveFromMatrices() {
    if (!derivedStale) {
        return;
    }
    product = multiply(state.projection, state.modelview);
    const Mat4& m = state.modelview;
    const float a = m[0], b = m[4], c = m[8];
    const float d = m[1], e = m[5], f = m[9];
    const float g = m[2], h = m[6], k = m[10];
    cofactors = {e * k - f * h, f * g - d * k, d * h - e * g,  //
                 c * h - b * k, a * k - c * g, b * g - a * h,  //
                 b * f - c * e, c * d - a * f, a * e - b * d};
    determinant = a * cofactors[0] + b * cofactors[1] + c * cofactors[2];
    derivedStale = false;
}

// Projection times modelview: positions are transformed by the product, as
// a desktop driver's fixed-function vertex program does when no lighting
// term needs the eye-space position (a directional light, no specular light).
const Mat4& modelviewProjection() {
    deriveFromMatrices();
    return product;
}

// The normal in eye coordinates: transformed by the inverse transpose of the
// modelview matrix's upper 3 x 3, not renormalised (GL_NORMALIZE is off).
std::array<float, 3> eyeNormal() {
    deriveFromMatrices();
    if (determinant == 0.0F) {
        return {0, 0, 0};
    }
    const auto& c = cofactors;
    const auto& n = state.normal;
    return {(c[0] * n[0] + c[1] * n[1] + c[2] * n[2]) / determinant,
            (c[3] * n[0] + c[4] * n[1] + c[5] * n[2]) / determinant,
            (c[6] * n[0] + c[7] * n[1] + c[8] * n[2]) / determinant};
}

float clamp01(float v) {
    return v < 0.0F ? 0.0F : (v > 1.0F ? 1.0F : v);
}

// The colour of a vertex (or of the raster position): the current colour, or
// with lighting on, GL's lighting equation for one directional light without
// specular light (the material's specular colour is black).
Colour litColour() {
    if (!state.lighting) {
        return state.colour;
    }
    const Colour ambient = state.colorMaterial ? state.colour : state.materialAmbient;
    const Colour diffuse = state.colorMaterial ? state.colour : state.materialDiffuse;
    float r = ambient.r * state.globalAmbient.r;
    float g = ambient.g * state.globalAmbient.g;
    float b = ambient.b * state.globalAmbient.b;
    if (state.light0) {
        const auto n = eyeNormal();
        const auto& p = state.lightPosition;
        float facing = 0.0F;
        if (state.lightDistance > 0.0F) {
            facing = (n[0] * p[0] + n[1] * p[1] + n[2] * p[2]) / state.lightDistance;
        }
        facing = facing > 0.0F ? facing : 0.0F;
        r += ambient.r * state.lightAmbient.r + facing * diffuse.r * state.lightDiffuse.r;
        g += ambient.g * state.lightAmbient.g + facing * diffuse.g * state.lightDiffuse.g;
        b += ambient.b * state.lightAmbient.b + facing * diffuse.b * state.lightDiffuse.b;
    }
    return {clamp01(r), clamp01(g), clamp01(b), clamp01(diffuse.a)};
}

Vertex makeVertex(const std::array<float, 4>& clip, const Colour& c) {
    return {clip[0], clip[1], clip[2], clip[3], c.r, c.g, c.b, c.a, 0, 0, 0, 0};
}

// Clips the segment a-b to the view volume (-w <= x, y, z <= w) in clip
// coordinates; false when nothing of it is left.
bool clipSegment(Vertex& a, Vertex& b) {
    float t0 = 0.0F, t1 = 1.0F;
    const float da[6] = {a.w + a.x, a.w - a.x, a.w + a.y, a.w - a.y, a.w + a.z, a.w - a.z};
    const float db[6] = {b.w + b.x, b.w - b.x, b.w + b.y, b.w - b.y, b.w + b.z, b.w - b.z};
    for (int i = 0; i < 6; ++i) {
        if (da[i] < 0.0F && db[i] < 0.0F) {
            return false;
        }
        if (da[i] < 0.0F) {
            t0 = std::fmax(t0, da[i] / (da[i] - db[i]));
        } else if (db[i] < 0.0F) {
            t1 = std::fmin(t1, da[i] / (da[i] - db[i]));
        }
    }
    if (t0 > t1) {
        return false;
    }
    const auto lerp = [](const Vertex& p, const Vertex& q, float t) {
        return Vertex{p.x + (q.x - p.x) * t,
                      p.y + (q.y - p.y) * t,
                      p.z + (q.z - p.z) * t,
                      p.w + (q.w - p.w) * t,
                      p.r + (q.r - p.r) * t,
                      p.g + (q.g - p.g) * t,
                      p.b + (q.b - p.b) * t,
                      p.a + (q.a - p.a) * t,
                      0,
                      0,
                      0,
                      0};
    };
    const Vertex a0 = a;
    if (t0 > 0.0F) {
        a = lerp(a0, b, t0);
    }
    if (t1 < 1.0F) {
        b = lerp(a0, b, t1);
    }
    return true;
}

// A window-space point back in normalised device coordinates (w = 1).
Vertex fromWindow(float x, float y, float z, const Vertex& colourOf, const DepthPlane& plane = {}) {
    return {x / static_cast<float>(viewportWidth) * 2.0F - 1.0F,
            y / static_cast<float>(viewportHeight) * 2.0F - 1.0F,
            z * 2.0F - 1.0F,
            1.0F,
            colourOf.r,
            colourOf.g,
            colourOf.b,
            colourOf.a,
            plane.depthAtOrigin,
            plane.depthPerColumn,
            plane.depthPerRow,
            plane.planeGiven};
}

// Window coordinates of a clip-space vertex, computed as a desktop driver's
// vertex pipeline computes them: the reciprocal of w, then each coordinate
// times it, scaled and offset by the viewport in one fused multiply-add. The
// driver's rows run down from the top: its y scale is negative.
WindowPoint toWindow(const Vertex& v) {
    const float reciprocal = 1.0F / v.w;
    const float halfWidth = 0.5F * static_cast<float>(viewportWidth);
    const float halfHeight = 0.5F * static_cast<float>(viewportHeight);
    WindowPoint p{};
    p.x = std::fma(v.x * reciprocal, halfWidth, halfWidth);
    p.yDown = std::fma(v.y * reciprocal, -halfHeight, static_cast<float>(viewportHeight) - halfHeight);
    p.y = static_cast<float>(viewportHeight) - p.yDown;
    p.z = std::fma(v.z * reciprocal, 0.5F, 0.5F);
    return p;
}

// The depth plane of a triangle, as a desktop driver sets it up: from the
// first vertex, with the pixel centres at half-integer coordinates.
DepthPlane trianglePlane(const WindowPoint& p0, const WindowPoint& p1, const WindowPoint& p2) {
    const float dx01 = p0.x - p1.x, dy01 = p0.yDown - p1.yDown;
    const float dx20 = p2.x - p0.x, dy20 = p2.yDown - p0.yDown;
    const float oneOverArea = 1.0F / (dx01 * dy20 - dy01 * dx20);
    const float dx20Scaled = dx20 * oneOverArea, dy20Scaled = dy20 * oneOverArea;
    const float dx01Scaled = dx01 * oneOverArea, dy01Scaled = dy01 * oneOverArea;
    const float dz01 = p0.z - p1.z, dz20 = p2.z - p0.z;
    DepthPlane plane;
    plane.depthPerColumn = dz01 * dy20Scaled - dz20 * dy01Scaled;
    plane.depthPerRow = dz20 * dx01Scaled - dz01 * dx20Scaled;
    plane.depthAtOrigin =
        p0.z - (plane.depthPerColumn * (p0.x - 0.5F) + plane.depthPerRow * (p0.yDown - 0.5F));
    plane.planeGiven = 1.0F;
    return plane;
}

// The sign of a triangle's area on the driver's grid of 1/256 pixel, rows
// down: it draws a triangle of negative area with its first two vertices
// swapped, and no triangle of zero area.
int areaSign(const WindowPoint& p0, const WindowPoint& p1, const WindowPoint& p2) {
    const auto snap = [](float v) {
        return static_cast<std::int64_t>(std::nearbyint((v - 0.5F) * 256.0F));
    };
    const std::int64_t x0 = snap(p0.x), y0 = snap(p0.yDown);
    const std::int64_t x1 = snap(p1.x), y1 = snap(p1.yDown);
    const std::int64_t x2 = snap(p2.x), y2 = snap(p2.yDown);
    const std::int64_t area = (x0 - x1) * (y2 - y0) - (x2 - x0) * (y0 - y1);
    return area == 0 ? 0 : (area < 0 ? -1 : 1);
}

// A quad whose corners all lie in front of the near plane, in window terms
// (w = 1), split along the diagonal from its first corner as a desktop driver
// splits it (the cells are not flat, so the split decides depths). The driver
// draws a triangle of negative area with its first two corners swapped (which
// changes its plane's arithmetic) and no triangle of zero area.
void queueQuad(const Vertex* q) {
    const WindowPoint p[4] = {toWindow(q[0]), toWindow(q[1]), toWindow(q[2]), toWindow(q[3])};
    const auto plane = [](const WindowPoint& a, const WindowPoint& b, const WindowPoint& c, int sign) {
        return sign < 0 ? trianglePlane(b, a, c) : trianglePlane(a, b, c);
    };
    const int firstSign = areaSign(p[0], p[1], p[2]);
    const int secondSign = areaSign(p[0], p[2], p[3]);
    if (firstSign == 0 && secondSign == 0) {
        return;
    }
    Vertex corners[4] = {fromWindow(p[0].x, p[0].y, p[0].z, q[0]), fromWindow(p[1].x, p[1].y, p[1].z, q[1]),
                         fromWindow(p[2].x, p[2].y, p[2].z, q[2], plane(p[0], p[1], p[2], firstSign)),
                         fromWindow(p[3].x, p[3].y, p[3].z, q[3], plane(p[0], p[2], p[3], secondSign))};
    // A triangle left out becomes a point: one of its own corners repeated.
    if (firstSign == 0) {
        corners[1] = corners[0];
    }
    if (secondSign == 0) {
        corners[3] = corners[0];
    }
    queued.insert(queued.end(), std::begin(corners), std::end(corners));
}

// The depth plane of a line from a to b, as a desktop driver sets it up for
// wide lines: depth changes along the major axis only.
DepthPlane linePlane(const WindowPoint& a, const WindowPoint& b) {
    const float dx = a.x - b.x, dy = a.yDown - b.yDown;
    const float oneOverArea = 1.0F / (dx * dx + dy * dy);
    float alongX = dx, alongY = dy;
    if (std::fabs(dx) >= std::fabs(dy)) {
        const float dydx = dy / dx;
        alongX *= 1.0F + dydx * dydx;
        alongY = 0.0F;
    } else {
        const float dxdy = dx / dy;
        alongX = 0.0F;
        alongY *= 1.0F + dxdy * dxdy;
    }
    const float dz = a.z - b.z;
    DepthPlane plane;
    plane.depthPerColumn = dz * alongX * oneOverArea;
    plane.depthPerRow = dz * alongY * oneOverArea;
    plane.depthAtOrigin = a.z - (plane.depthPerColumn * (a.x - 0.5F) + plane.depthPerRow * (a.yDown - 0.5F));
    plane.planeGiven = 1.0F;
    return plane;
}

bool inFrontOfNearPlane(const Vertex& v) {
    return v.w > 0.0F && v.z >= -v.w;
}

// A wide line as GL rasterises it: the segment moved by half the width up and
// down (a line more horizontal than vertical) or left and right, so that
// every column (or row) of the line is the width thick.
void queueLine(Vertex a, Vertex b) {
    if (!clipSegment(a, b)) {
        return;
    }
    const WindowPoint pa = toWindow(a);
    const WindowPoint pb = toWindow(b);
    if (pa.x == pb.x && pa.yDown == pb.yDown) {
        return;  // no length, no direction: not drawn
    }
    const DepthPlane plane = linePlane(pa, pb);
    const float ax = pa.x, ay = pa.y, az = pa.z;
    const float bx = pb.x, by = pb.y, bz = pb.z;
    // Along the major axis GL's diamond-exit rule decides the ends: a pixel
    // whose diamond (|dx| + |dy| < 1/2 around its centre) holds the first
    // point is drawn, one that holds the last point is not; otherwise the
    // line covers the centres it passes.
    const bool xMajor = std::fabs(bx - ax) >= std::fabs(by - ay);
    float ua = xMajor ? ax : ay, va = xMajor ? ay : ax;
    float ub = xMajor ? bx : by, vb = xMajor ? by : bx;
    if (ua == ub) {
        return;  // exits no diamond
    }
    const auto inDiamond = [](float u, float v) {
        return std::fabs(u - std::floor(u) - 0.5F) + std::fabs(v - std::floor(v) - 0.5F) < 0.5F;
    };
    const bool forward = ub > ua;
    const float slope = (vb - va) / (ub - ua);
    float startU = ua;
    float endU = ub;
    if (inDiamond(ua, va)) {
        startU = forward ? std::floor(ua) : std::floor(ua) + 1.0F;
    }
    if (inDiamond(ub, vb)) {
        endU = forward ? std::floor(ub) : std::floor(ub) + 1.0F;
    }
    const float startV = va + (startU - ua) * slope;
    const float endV = va + (endU - ua) * slope;
    // Across it, as a desktop driver widens it: half the width to either side.
    // The corners' depths serve only WebGL's clipping (they lie between the
    // ends'); each fragment's depth comes from the line's plane.
    const float half = 0.5F * state.lineWidth;
    const auto corner = [xMajor, &plane](float u, float v, float z, const Vertex& colourOf) {
        return xMajor ? fromWindow(u, v, z, colourOf, plane) : fromWindow(v, u, z, colourOf, plane);
    };
    const Vertex a0 = corner(startU, startV - half, az, a);
    const Vertex a1 = corner(startU, startV + half, az, a);
    const Vertex b0 = corner(endU, endV - half, bz, b);
    const Vertex b1 = corner(endU, endV + half, bz, b);
    queued.insert(queued.end(), {a0, b0, b1, a1});
}

void queuePrimitive() {
    const auto& v = primitiveVertices;
    switch (primitive) {
        case GL_QUADS:
            for (std::size_t i = 0; i + 3 < v.size(); i += 4) {
                const Vertex* q = &v[i];
                if (inFrontOfNearPlane(q[0]) && inFrontOfNearPlane(q[1]) && inFrontOfNearPlane(q[2]) &&
                    inFrontOfNearPlane(q[3])) {
                    queueQuad(q);
                } else {
                    // Reaching behind the eye: clip coordinates, for WebGL to clip.
                    queued.insert(queued.end(), q, q + kCornersPerPiece);
                }
            }
            break;
        case GL_LINES:
            for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
                queueLine(v[i], v[i + 1]);
            }
            break;
        case GL_LINE_LOOP:
            for (std::size_t i = 0; i + 1 < v.size(); ++i) {
                queueLine(v[i], v[i + 1]);
            }
            if (v.size() > 1) {
                queueLine(v.back(), v.front());
            }
            break;
        default:
            break;
    }
}

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

constexpr const char* kVertexShader = R"(#version 300 es
in vec4 position;
in vec4 colour;
in vec4 depthPlane;
out vec4 shade;
flat out vec4 plane;
void main() {
    gl_Position = position;
    shade = colour;
    plane = depthPlane;
}
)";

// The plane is evaluated at the pixel as the desktop driver's fragment code
// evaluates it: across first, then down. That code fuses each multiply-add;
// GLSL ES 3.00 has no fma(), and rounding each product too changed no pixel
// of the frames compared in the tests (a product's rounding error lies far
// below the depth's last bit).
constexpr const char* kFragmentShader = R"(#version 300 es
precision highp float;
in vec4 shade;
flat in vec4 plane;
uniform float frameHeight;
out vec4 fragment;

void main() {
    fragment = shade;
    if (plane.w != 0.0) {
        float column = gl_FragCoord.x - 0.5;
        float row = frameHeight - gl_FragCoord.y - 0.5;
        float depth = (plane.x + plane.y * column) + plane.z * row;
        gl_FragDepth = clamp(depth, 0.0, 1.0);
    } else {
        gl_FragDepth = gl_FragCoord.z;
    }
}
)";

}  // namespace

void createResources(int width, int height) {
    viewportWidth = width;
    viewportHeight = height;
    program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, kVertexShader));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, kFragmentShader));
    emscripten_glBindAttribLocation(program, 0, "position");
    emscripten_glBindAttribLocation(program, 1, "colour");
    emscripten_glBindAttribLocation(program, 2, "depthPlane");
    emscripten_glLinkProgram(program);
    emscripten_glUseProgram(program);
    emscripten_glUniform1f(emscripten_glGetUniformLocation(program, "frameHeight"),
                           static_cast<float>(height));

    emscripten_glGenBuffers(1, &vertexBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glGenBuffers(1, &indexBuffer);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    indexedPieces = 0;
    emscripten_glEnableVertexAttribArray(0);
    emscripten_glEnableVertexAttribArray(1);
    emscripten_glEnableVertexAttribArray(2);
    emscripten_glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    emscripten_glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(offsetof(Vertex, r)));
    emscripten_glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(offsetof(Vertex, depthAtOrigin)));

    // The frame is drawn offscreen, with a 32-bit float depth buffer.
    emscripten_glGenRenderbuffers(1, &colourBuffer);
    emscripten_glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    emscripten_glGenRenderbuffers(1, &depthBuffer);
    emscripten_glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    emscripten_glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT32F, width, height);
    emscripten_glGenFramebuffers(1, &framebuffer);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    emscripten_glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);

    emscripten_glViewport(0, 0, width, height);
    emscripten_glDepthFunc(GL_LESS);
    if (state.depthTest) {
        emscripten_glEnable(GL_DEPTH_TEST);
    }
    emscripten_glClearColor(state.clearColour.r, state.clearColour.g, state.clearColour.b,
                            state.clearColour.a);
    ready = true;
}

void forgetResources() {
    ready = false;
    queued.clear();
}

void flush() {
    if (ready && !queued.empty()) {
        const std::size_t pieces = queued.size() / kCornersPerPiece;
        if (pieces > indexedPieces) {
            // The same pattern for every piece; made again only when a frame
            // needs more pieces than any before it.
            indexedPieces = pieces * 2;
            std::vector<GLuint> indices(indexedPieces * kIndicesPerPiece);
            for (std::size_t k = 0; k < indexedPieces; ++k) {
                const auto first = static_cast<GLuint>(k * kCornersPerPiece);
                const GLuint pattern[kIndicesPerPiece] = {first, first + 1, first + 2,
                                                          first, first + 2, first + 3};
                std::copy(std::begin(pattern), std::end(pattern), indices.begin() + k * kIndicesPerPiece);
            }
            emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                                    static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)), indices.data(),
                                    GL_STATIC_DRAW);
        }
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(queued.size() * sizeof(Vertex)),
                                queued.data(), GL_STREAM_DRAW);
        emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(pieces * kIndicesPerPiece),
                                  GL_UNSIGNED_INT, nullptr);
    }
    queued.clear();
}

void present() {
    flush();
    if (!ready) {
        return;
    }
    emscripten_glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    emscripten_glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    emscripten_glBlitFramebuffer(0, 0, viewportWidth, viewportHeight, 0, 0, viewportWidth, viewportHeight,
                                 GL_COLOR_BUFFER_BIT, GL_NEAREST);
    emscripten_glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

void drawBitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove,
                const unsigned char* rows) {
    if (!state.rasterValid) {
        return;
    }
    // The bitmap's lower left corner, on whole pixels; each set bit (rows
    // from the bottom, most significant bit leftmost) becomes a pixel.
    const int left = static_cast<int>(std::floor(state.rasterX - xOrigin));
    const int bottom = static_cast<int>(std::floor(state.rasterY - yOrigin));
    const int bytesPerRow = (width + 7) / 8;
    const Vertex colour{
        0, 0, 0, 0, state.rasterColour.r, state.rasterColour.g, state.rasterColour.b, state.rasterColour.a,
        0, 0, 0, 0};
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            if ((rows[j * bytesPerRow + i / 8] & (0x80 >> (i % 8))) == 0) {
                continue;
            }
            const auto x = static_cast<float>(left + i);
            const auto y = static_cast<float>(bottom + j);
            const Vertex p00 = fromWindow(x, y, state.rasterZ, colour);
            const Vertex p10 = fromWindow(x + 1.0F, y, state.rasterZ, colour);
            const Vertex p01 = fromWindow(x, y + 1.0F, state.rasterZ, colour);
            const Vertex p11 = fromWindow(x + 1.0F, y + 1.0F, state.rasterZ, colour);
            queued.insert(queued.end(), {p00, p10, p11, p01});
        }
    }
    state.rasterX += xMove;
    state.rasterY += yMove;
}

}  // namespace morph::web

using namespace morph::web;

extern "C" {

void glEnable(GLenum cap) {
    switch (cap) {
        case GL_DEPTH_TEST:
            flush();
            state.depthTest = true;
            if (ready) {
                emscripten_glEnable(GL_DEPTH_TEST);
            }
            break;
        case GL_LIGHTING:
            state.lighting = true;
            break;
        case GL_LIGHT0:
            state.light0 = true;
            break;
        case GL_COLOR_MATERIAL:
            state.colorMaterial = true;
            break;
        default:
            break;
    }
}

void glClear(GLbitfield mask) {
    flush();
    if (ready) {
        emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    }
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    state.clearColour = {clamp01(red), clamp01(green), clamp01(blue), clamp01(alpha)};
    if (ready) {
        emscripten_glClearColor(state.clearColour.r, state.clearColour.g, state.clearColour.b,
                                state.clearColour.a);
    }
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    state.colour = {red, green, blue, 1.0F};
}

void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) {
    state.normal = {nx, ny, nz};
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!insideBegin) {
        return;
    }
    primitiveVertices.push_back(makeVertex(transform(modelviewProjection(), {x, y, z, 1.0F}), litColour()));
}

void glBegin(GLenum mode) {
    insideBegin = true;
    primitive = mode;
    primitiveVertices.clear();
}

void glEnd() {
    if (insideBegin) {
        queuePrimitive();
    }
    insideBegin = false;
    primitiveVertices.clear();
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (light != GL_LIGHT0) {
        return;
    }
    switch (pname) {
        case GL_AMBIENT:
            state.lightAmbient = {params[0], params[1], params[2], params[3]};
            break;
        case GL_DIFFUSE:
            state.lightDiffuse = {params[0], params[1], params[2], params[3]};
            break;
        case GL_POSITION:
            // Kept in eye coordinates: transformed by the modelview matrix now.
            state.lightPosition = transform(state.modelview, {params[0], params[1], params[2], params[3]});
            state.lightDistance = std::sqrt(state.lightPosition[0] * state.lightPosition[0] +
                                            state.lightPosition[1] * state.lightPosition[1] +
                                            state.lightPosition[2] * state.lightPosition[2]);
            break;
        default:
            break;
    }
}

void glLineWidth(GLfloat width) {
    if (width > 0.0F) {
        state.lineWidth = width;
    }
}

void glMatrixMode(GLenum mode) {
    state.matrixMode = mode;
}

void glLoadIdentity() {
    currentMatrix() = kIdentity;
}

void glMultMatrixd(const GLdouble* m) {
    Mat4 f{};
    for (int i = 0; i < 16; ++i) {
        f[i] = static_cast<float>(m[i]);
    }
    currentMatrix() = multiply(currentMatrix(), f);
}

void glMultMatrixf(const GLfloat* m) {
    Mat4 f{};
    for (int i = 0; i < 16; ++i) {
        f[i] = m[i];
    }
    currentMatrix() = multiply(currentMatrix(), f);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    Mat4& m = currentMatrix();
    const auto fx = static_cast<float>(x), fy = static_cast<float>(y), fz = static_cast<float>(z);
    for (int i = 0; i < 4; ++i) {
        m[12 + i] = m[i] * fx + m[4 + i] * fy + m[8 + i] * fz + m[12 + i];
    }
}

void glRasterPos4dv(const GLdouble* v) {
    const std::array<float, 4> object{static_cast<float>(v[0]), static_cast<float>(v[1]),
                                      static_cast<float>(v[2]), static_cast<float>(v[3])};
    const auto clip = transform(modelviewProjection(), object);
    const float w = clip[3];
    state.rasterValid =
        -w <= clip[0] && clip[0] <= w && -w <= clip[1] && clip[1] <= w && -w <= clip[2] && clip[2] <= w;
    if (!state.rasterValid) {
        return;
    }
    state.rasterX = (clip[0] / w + 1.0F) * 0.5F * static_cast<float>(viewportWidth);
    state.rasterY = (clip[1] / w + 1.0F) * 0.5F * static_cast<float>(viewportHeight);
    state.rasterZ = (clip[2] / w + 1.0F) * 0.5F;
    state.rasterColour = litColour();
}

}  // extern "C"
