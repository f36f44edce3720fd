// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The vertex stage: transform, lighting, window coordinates, clipping of
// lines (see vertex_stage.h).
#include "web/pipeline/vertex_stage.h"

#include <cmath>

namespace morph::web {

Colour litColour(const GlState& state, Matrices& matrices) {
    if (!state.lighting) {
        return state.colour;
    }
    const Colour ambient = state.colorMaterial ? state.colour : state.materialAmbient;
    const Colour diffuse = state.colorMaterial ? state.colour : state.materialDiffuse;
    float r = ambient.r * state.globalAmbient.r;
    float g = ambient.g * state.globalAmbient.g;
    float b = ambient.b * state.globalAmbient.b;
    if (state.light0) {
        const auto n = matrices.eyeNormal(state.normal);
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
    return clamped({r, g, b, diffuse.a});
}

Vertex processVertex(const GlState& state, Matrices& matrices, float x, float y, float z) {
    const Vec4 clip = transform(matrices.modelviewProjection(), {x, y, z, 1.0F});
    return {clip[0], clip[1], clip[2], clip[3], litColour(state, matrices), {}};
}

void setLightPosition(GlState& state, const Mat4& modelview, const Vec4& position) {
    state.lightPosition = transform(modelview, position);
    const auto& p = state.lightPosition;
    state.lightDistance = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
}

RasterPosition rasterPosition(const GlState& state, Matrices& matrices, const Vec4& object,
                              const Viewport& viewport) {
    const Vec4 clip = transform(matrices.modelviewProjection(), object);
    const float w = clip[3];
    RasterPosition raster;
    raster.valid =
        -w <= clip[0] && clip[0] <= w && -w <= clip[1] && clip[1] <= w && -w <= clip[2] && clip[2] <= w;
    if (!raster.valid) {
        return raster;
    }
    raster.x = (clip[0] / w + 1.0F) * 0.5F * static_cast<float>(viewport.width);
    raster.y = (clip[1] / w + 1.0F) * 0.5F * static_cast<float>(viewport.height);
    raster.z = (clip[2] / w + 1.0F) * 0.5F;
    raster.colour = litColour(state, matrices);
    return raster;
}

WindowPoint toWindow(const Vertex& v, const Viewport& viewport) {
    const float reciprocal = 1.0F / v.w;
    const float halfWidth = 0.5F * static_cast<float>(viewport.width);
    const float halfHeight = 0.5F * static_cast<float>(viewport.height);
    WindowPoint p{};
    p.x = std::fma(v.x * reciprocal, halfWidth, halfWidth);
    p.yDown = std::fma(v.y * reciprocal, -halfHeight, static_cast<float>(viewport.height) - halfHeight);
    p.y = static_cast<float>(viewport.height) - p.yDown;
    p.z = std::fma(v.z * reciprocal, 0.5F, 0.5F);
    return p;
}

Vertex fromWindow(float x, float y, float z, const Colour& colour, const Viewport& viewport,
                  const DepthPlane& plane) {
    return {x / static_cast<float>(viewport.width) * 2.0F - 1.0F,
            y / static_cast<float>(viewport.height) * 2.0F - 1.0F,
            z * 2.0F - 1.0F,
            1.0F,
            colour,
            plane};
}

bool clipSegment(Vertex& a, Vertex& b) {
    float t0 = 0.0F;
    float t1 = 1.0F;
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
        const auto mix = [t](float from, float to) {
            return from + (to - from) * t;
        };
        return Vertex{mix(p.x, q.x),
                      mix(p.y, q.y),
                      mix(p.z, q.z),
                      mix(p.w, q.w),
                      {mix(p.colour.r, q.colour.r), mix(p.colour.g, q.colour.g), mix(p.colour.b, q.colour.b),
                       mix(p.colour.a, q.colour.a)},
                      {}};
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

}  // namespace morph::web
