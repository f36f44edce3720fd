// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// mesh_values: every single-precision value the morph mesh hands to GL, for
// all 36 pairs of surface functions over a whole period of weights, as one
// binary stream; or, with --compare, how far another build's stream differs.
//
// The stream is what the exactness check digests (`mesh_values | sha256sum`):
// two builds that print the same digest hand GL the same bits. For every pair
// (first 0..5 outermost, second 0..5) and every weight (0, the weights of the
// first 400 idle calls from start-up, then 1), it holds every cell of the grid
// in drawing order, each as 27 floats in the order of the GL calls: the facet
// normal, the four corners, the four outline corners. Each float is written as
// its IEEE bits, least significant byte first, so streams of different CPUs
// compare byte for byte.
//
// Usage: mesh_values > FILE          (refuses to write to a terminal)
//        mesh_values --compare FILE  (FILE: another build's stream, e.g. <(...))
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/view_state.h"
#include "geometry/morph_mesh.h"
#include "geometry/surface.h"

namespace morph {
namespace {

constexpr int kIdleCalls = 400;  // one period of the weight, from start-up
constexpr std::size_t kValuesPerCell = 27;
constexpr std::size_t kBytesPerCell = kValuesPerCell * sizeof(std::uint32_t);

// The weights a whole period shows: the two ends, and what the idle handler
// stores on each of its first calls after start-up.
std::vector<float> periodWeights() {
    std::vector<float> weights{0.0F};
    morphPhase = 0.0F;
    for (int call = 0; call < kIdleCalls; ++call) {
        advanceMorph();
        weights.push_back(morphWeight);
    }
    weights.push_back(1.0F);
    return weights;
}

using CellValues = std::array<float, kValuesPerCell>;

CellValues valuesOf(const MeshCell& cell) {
    CellValues out{};
    std::size_t i = 0;
    const auto put = [&out, &i](const Vec3& v) {
        const Float3 f = toFloat3(v);
        out[i++] = f.x;
        out[i++] = f.y;
        out[i++] = f.z;
    };
    put(cell.normal);
    for (const Vec3* corner : {&cell.p00, &cell.p01, &cell.p11, &cell.p10}) {
        put(*corner);
    }
    for (const Vec3* corner : {&cell.p00, &cell.p01, &cell.p11, &cell.p10}) {
        put(liftedForOutline(*corner));
    }
    return out;
}

// Calls visit(first, second, weight, cellIndex, values) for the whole
// stream, in order.
template <typename Visitor>
void forEachCellOfThePeriod(Visitor&& visit) {
    const std::vector<float> weights = periodWeights();
    for (int first = 0; first < kSurfaceFunctionCount; ++first) {
        for (int second = 0; second < kSurfaceFunctionCount; ++second) {
            for (const float weight : weights) {
                std::size_t cell = 0;
                forEachMorphCell(MorphBlend::of(first, second, weight),
                                 [&](double /*u*/, double /*v*/, const MeshCell& c) {
                                     visit(first, second, weight, cell++, valuesOf(c));
                                 });
            }
        }
    }
}

std::uint32_t bitsOf(float f) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits) {
    float f = 0.0F;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void encode(const CellValues& values, unsigned char* out) {
    for (const float value : values) {
        const std::uint32_t bits = bitsOf(value);
        for (int byte = 0; byte < 4; ++byte) {
            *out++ = static_cast<unsigned char>(bits >> (8 * byte));
        }
    }
}

std::uint32_t decode(const unsigned char* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8U |
           static_cast<std::uint32_t>(in[2]) << 16U | static_cast<std::uint32_t>(in[3]) << 24U;
}

// Distance in units in the last place between two finite floats of any sign.
double ulpsBetween(float a, float b) {
    const auto ordered = [](float f) {
        const auto bits = static_cast<std::int64_t>(bitsOf(f));
        return (bits & 0x80000000) != 0 ? 0x80000000 - bits : bits;
    };
    return std::fabs(static_cast<double>(ordered(a) - ordered(b)));
}

#ifdef __EMSCRIPTEN__
// Under Node.js, Emscripten's C library takes every standard stream for a
// terminal; Node.js itself knows (asked without touching process.stdout,
// which would make a pipe non-blocking, and writes then fail with EAGAIN).
EM_JS(int, standardOutputIsTerminal, (), { return require("tty").isatty(1) ? 1 : 0; });
#else
int standardOutputIsTerminal() {
    return isatty(STDOUT_FILENO);
}
#endif

int writeStream() {
    if (standardOutputIsTerminal() != 0) {
        std::fputs("mesh_values: the stream is binary; pipe it, e.g. into sha256sum\n", stderr);
        return 2;
    }
#ifdef _WIN32
    // Windows opens standard output in text mode, which writes every 0x0A
    // byte of the stream as 0x0D 0x0A.
    if (_setmode(_fileno(stdout), _O_BINARY) == -1) {
        std::perror("mesh_values: standard output");
        return 2;
    }
#endif
    std::array<unsigned char, kBytesPerCell> buffer{};
    bool ok = true;
    forEachCellOfThePeriod([&](int, int, float, std::size_t, const CellValues& cell) {
        encode(cell, buffer.data());
        ok = ok && std::fwrite(buffer.data(), 1, buffer.size(), stdout) == buffer.size();
    });
    if (std::fflush(stdout) != 0 || !ok) {
        std::perror("mesh_values: writing the stream");
        return 1;
    }
    return 0;
}

const char* const kValueNames[kValuesPerCell] = {
    "normal.x", "normal.y", "normal.z", "p00.x",  "p00.y",  "p00.z",  "p01.x",  "p01.y",  "p01.z",
    "p11.x",    "p11.y",    "p11.z",    "p10.x",  "p10.y",  "p10.z",  "p00'.x", "p00'.y", "p00'.z",
    "p01'.x",   "p01'.y",   "p01'.z",   "p11'.x", "p11'.y", "p11'.z", "p10'.x", "p10'.y", "p10'.z"};

// Compares this build's values with the stream in `path`, value by value, and
// prints how many differ and by how much. Exit status 0 when all are equal,
// 1 when some differ, 2 when the stream cannot be read or has another length.
int compareWith(const char* path) {
    std::FILE* other = std::fopen(path, "rb");
    if (other == nullptr) {
        std::perror(path);
        return 2;
    }
    std::size_t values = 0;
    std::size_t differing = 0;
    double largest = 0.0;
    double largestUlps = 0.0;
    bool truncated = false;
    std::array<unsigned char, kBytesPerCell> buffer{};
    forEachCellOfThePeriod(
        [&](int first, int second, float weight, std::size_t cell, const CellValues& mine) {
            values += mine.size();
            if (truncated || std::fread(buffer.data(), 1, buffer.size(), other) != buffer.size()) {
                truncated = true;
                return;
            }
            for (std::size_t i = 0; i < mine.size(); ++i) {
                const float theirs = floatOf(decode(&buffer[4 * i]));
                if (bitsOf(theirs) != bitsOf(mine[i])) {
                    const double difference =
                        std::fabs(static_cast<double>(theirs) - static_cast<double>(mine[i]));
                    const double ulps = ulpsBetween(theirs, mine[i]);
                    if (differing < 20) {
                        std::printf(
                            "pair %d+%d weight %.9g cell %zu %-7s here %.9g there %.9g (%.3g, %.0f ulp)\n",
                            first, second, static_cast<double>(weight), cell, kValueNames[i],
                            static_cast<double>(mine[i]), static_cast<double>(theirs), difference, ulps);
                    }
                    ++differing;
                    largest = std::fmax(largest, difference);
                    largestUlps = std::fmax(largestUlps, ulps);
                }
            }
        });
    const bool longer = !truncated && std::fgetc(other) != EOF;
    std::fclose(other);
    if (truncated || longer) {
        std::printf("the other stream is %s than this build's %zu values\n", truncated ? "shorter" : "longer",
                    values);
        return 2;
    }
    std::printf("%zu of %zu values differ", differing, values);
    if (differing > 0) {
        std::printf("; the largest difference is %.3g (%.0f ulp)", largest, largestUlps);
    }
    std::printf("\n");
    return differing == 0 ? 0 : 1;
}

}  // namespace
}  // namespace morph

int main(int argc, char** argv) {
    if (argc == 1) {
        return morph::writeStream();
    }
    if (argc == 3 && std::strcmp(argv[1], "--compare") == 0) {
        return morph::compareWith(argv[2]);
    }
    std::fputs("usage: mesh_values > FILE\n       mesh_values --compare FILE\n", stderr);
    return 2;
}
