// The fixed-function OpenGL 1.x pipeline the viewer uses, on WebGL 2.
//
// WebGL has no immediate mode, no matrix stacks, no lighting and no wide
// lines, so the vertex stage runs here, on the CPU, in single precision as a
// desktop driver runs it: each vertex is transformed by the product of the
// projection and modelview matrices, lit (one directional light, colour
// material, global ambient light) and mapped to window coordinates; quads
// become two triangles, lines the bands GL rasterises for wide lines, and
// bitmaps one small square per pixel. All of it is queued in drawing order
// and drawn with one trivial shader into an offscreen frame with a 32-bit
// float depth buffer; glutSwapBuffers copies it to the canvas. The outlines
// lie 0.001 above their facets, a third of the depth buffer's resolution
// there, so facets and outlines take their depths from the same arithmetic.
#include "web/gl1.h"

#include <GL/gl.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>

#include <array>
#include <cmath>
#include <vector>

namespace morph::web {
namespace {

using Mat4 = std::array<float, 16>;  // column-major, as GL stores matrices

constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A vertex as the shader takes it: clip coordinates and a colour.
struct Vertex {
    float x, y, z, w;
    float r, g, b, a;
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

// Everything drawn since the last flush, as triangles, in drawing order.
std::vector<Vertex> queued;

// WebGL objects: made by createResources(), again after a lost context.
bool ready = false;
GLuint program = 0;
GLuint vertexBuffer = 0;
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
    return {clip[0], clip[1], clip[2], clip[3], c.r, c.g, c.b, c.a};
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
        return Vertex{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t,
                      p.w + (q.w - p.w) * t, p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t,
                      p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
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
Vertex fromWindow(float x, float y, float z, const Vertex& colourOf) {
    return {x / static_cast<float>(viewportWidth) * 2.0F - 1.0F,
            y / static_cast<float>(viewportHeight) * 2.0F - 1.0F,
            z * 2.0F - 1.0F,
            1.0F,
            colourOf.r,
            colourOf.g,
            colourOf.b,
            colourOf.a};
}

// Window coordinates of a clip-space vertex, computed as a desktop driver's
// vertex pipeline computes them: the reciprocal of w, then each coordinate
// times it, scaled and offset by the viewport in one fused multiply-add.
void toWindow(const Vertex& v, float& x, float& y, float& z) {
    const float reciprocal = 1.0F / v.w;
    const float halfWidth = 0.5F * static_cast<float>(viewportWidth);
    const float halfHeight = 0.5F * static_cast<float>(viewportHeight);
    x = std::fma(v.x * reciprocal, halfWidth, halfWidth);
    y = std::fma(v.y * reciprocal, halfHeight, halfHeight);
    z = std::fma(v.z * reciprocal, 0.5F, 0.5F);
}

// A vertex of a triangle in front of the near plane, given to WebGL in window
// terms (w = 1) like the lines, so that facets and outlines get their depths
// from one computation.
Vertex inWindowTerms(const Vertex& v) {
    float x = 0, y = 0, z = 0;
    toWindow(v, x, y, z);
    return fromWindow(x, y, z, v);
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
    float ax = 0, ay = 0, az = 0, bx = 0, by = 0, bz = 0;
    toWindow(a, ax, ay, az);
    toWindow(b, bx, by, bz);
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
    const float depthSlope = (bz - az) / (ub - ua);
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
    const float startZ = az + (startU - ua) * depthSlope;
    const float endZ = az + (endU - ua) * depthSlope;
    // Across it, as a desktop driver widens it: half the width to either side.
    const float half = 0.5F * state.lineWidth;
    const auto corner = [xMajor](float u, float v, float z, const Vertex& colourOf) {
        return xMajor ? fromWindow(u, v, z, colourOf) : fromWindow(v, u, z, colourOf);
    };
    const Vertex a0 = corner(startU, startV - half, startZ, a);
    const Vertex a1 = corner(startU, startV + half, startZ, a);
    const Vertex b0 = corner(endU, endV - half, endZ, b);
    const Vertex b1 = corner(endU, endV + half, endZ, b);
    queued.insert(queued.end(), {a0, b0, b1, a0, b1, a1});
}

void queuePrimitive() {
    const auto& v = primitiveVertices;
    switch (primitive) {
        case GL_QUADS:
            // Split along the diagonal from the first vertex, as the desktop
            // driver does (the cells are not flat, so the split decides depths).
            for (std::size_t i = 0; i + 3 < v.size(); i += 4) {
                // A quad reaching behind the eye keeps its clip coordinates, for
                // WebGL to clip.
                Vertex q[4] = {v[i], v[i + 1], v[i + 2], v[i + 3]};
                if (inFrontOfNearPlane(q[0]) && inFrontOfNearPlane(q[1]) && inFrontOfNearPlane(q[2]) &&
                    inFrontOfNearPlane(q[3])) {
                    for (auto& corner : q) {
                        corner = inWindowTerms(corner);
                    }
                }
                queued.insert(queued.end(), {q[0], q[1], q[2], q[0], q[2], q[3]});
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
out vec4 shade;
void main() {
    gl_Position = position;
    shade = colour;
}
)";

constexpr const char* kFragmentShader = R"(#version 300 es
precision highp float;
in vec4 shade;
out vec4 fragment;
void main() {
    fragment = shade;
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
    emscripten_glLinkProgram(program);
    emscripten_glUseProgram(program);

    emscripten_glGenBuffers(1, &vertexBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glEnableVertexAttribArray(0);
    emscripten_glEnableVertexAttribArray(1);
    emscripten_glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    emscripten_glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(offsetof(Vertex, r)));

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
        emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(queued.size() * sizeof(Vertex)),
                                queued.data(), GL_STREAM_DRAW);
        emscripten_glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(queued.size()));
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
        0, 0, 0, 0, state.rasterColour.r, state.rasterColour.g, state.rasterColour.b, state.rasterColour.a};
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
            queued.insert(queued.end(), {p00, p10, p11, p00, p11, p01});
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
