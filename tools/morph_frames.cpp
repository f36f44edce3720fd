// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// morph_frames: renders one whole period of the morph, as the viewer shows it,
// into numbered PPM images, for the README's animation and the icon.
//
// It opens the viewer's own window with the viewer's GL state, then advances
// the view state exactly as the idle handler does, from start-up, and after
// every STEP idle calls draws the frame and reads it back from the back buffer
// (before the swap: the front buffer of a software renderer may read back
// black). Frames are therefore evenly spaced in phase: calls STEP, 2 STEP, ...
// up to 400, one period of the weight. Arguments after the two are GLUT's.
//
// --pair FIRST SECOND starts from those selections (0 to 5) instead of the
// viewer's Plane and Wave, for frames of every function. --at CALLS saves one
// frame instead, after CALLS idle calls (any number from 0 on), as the
// browser build shows it with ?first=FIRST&second=SECOND&steps=CALLS&paused,
// and prints the name of the file it saved.
//
// Usage: morph_frames [--pair FIRST SECOND] OUTPUT_DIR STEP [GLUT options]
//        morph_frames [--pair FIRST SECOND] --at CALLS OUTPUT_DIR [GLUT options]
#include <GL/freeglut.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "app/view_state.h"
#include "geometry/surface.h"
#include "render/scene.h"

namespace morph {
namespace {

constexpr int kCallsPerPeriod = 400;  // idle calls in one period of the weight

bool writePpm(const std::string& path, const std::vector<unsigned char>& bottomUpRgb) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", kWindowWidth, kWindowHeight);
    const std::size_t row = static_cast<std::size_t>(kWindowWidth) * 3;
    bool ok = true;
    for (int y = kWindowHeight - 1; y >= 0 && ok; --y) {  // GL's rows start at the bottom
        ok = std::fwrite(&bottomUpRgb[static_cast<std::size_t>(y) * row], 1, row, file) == row;
    }
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::perror(path.c_str());
    }
    return ok;
}

// Draws the frame of the current view state, reads it back from the back
// buffer (before the swap: the front buffer of a software renderer may read
// back black) and saves it as DIRECTORY/frame-CALL.ppm; that file's name, or
// an empty one where it could not be written.
std::string saveFrame(const std::string& directory, long call, std::vector<unsigned char>& pixels) {
    drawFrame();
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glutSwapBuffers();
    std::array<char, 40> name{};
    std::snprintf(name.data(), name.size(), "/frame-%03ld.ppm", call);
    std::string file = directory + name.data();
    return writePpm(file, pixels) ? file : std::string();
}

int renderPeriod(const std::string& directory, int step) {
    // One frame first, so that every saved frame's axes are lit under the
    // zero normal the previous frame's caption leaves, as in the viewer.
    drawScene();
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kWindowWidth) * kWindowHeight * 3);
    int saved = 0;
    for (int call = 1; call <= kCallsPerPeriod; ++call) {
        advanceMorph();
        if (call % step != 0) {
            continue;
        }
        if (saveFrame(directory, call, pixels).empty()) {
            return 1;
        }
        ++saved;
    }
    std::printf("%d frames (idle calls %d to %d, every %d) in %s\n", saved, step, saved * step, step,
                directory.c_str());
    return 0;
}

int renderAt(const std::string& directory, long calls) {
    drawScene();  // as above: the axes take the normal a caption leaves
    for (long call = 0; call < calls; ++call) {
        advanceMorph();
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kWindowWidth) * kWindowHeight * 3);
    const std::string file = saveFrame(directory, calls, pixels);
    if (file.empty()) {
        return 1;
    }
    std::printf("%s\n", file.c_str());  // the one line: what callers read
    return 0;
}

}  // namespace
}  // namespace morph

int main(int argc, char** argv) {
    using namespace morph;
    constexpr const char* kUsage =
        "usage: morph_frames [--pair FIRST SECOND] OUTPUT_DIR STEP [GLUT options]  (STEP divides 400)\n"
        "       morph_frames [--pair FIRST SECOND] --at CALLS OUTPUT_DIR [GLUT options]\n";
    // Arguments are taken from the front; what is left is GLUT's.
    int next = 1;
    const auto isFunction = [](const char* text) {
        return text[0] >= '0' && text[0] < '0' + kSurfaceFunctionCount && text[1] == '\0';
    };
    if (argc > next + 2 && std::strcmp(argv[next], "--pair") == 0) {
        if (!isFunction(argv[next + 1]) || !isFunction(argv[next + 2])) {
            std::fputs("morph_frames: --pair takes two function numbers from 0 to 5\n", stderr);
            return 2;
        }
        firstFunction = argv[next + 1][0] - '0';
        secondFunction = argv[next + 2][0] - '0';
        next += 3;
    }
    long at = -1;
    if (argc > next + 1 && std::strcmp(argv[next], "--at") == 0) {
        char* end = nullptr;
        at = std::strtol(argv[next + 1], &end, 10);
        if (end == argv[next + 1] || *end != '\0' || at < 0) {
            std::fputs("morph_frames: --at takes a number of idle calls, 0 or more\n", stderr);
            return 2;
        }
        next += 2;
    }
    const int positional = at >= 0 ? 1 : 2;
    if (argc - next < positional ||
        (at < 0 && (std::atoi(argv[next + 1]) < 1 || kCallsPerPeriod % std::atoi(argv[next + 1]) != 0))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string directory = argv[next];
    const int step = at < 0 ? std::atoi(argv[next + 1]) : 0;
    const int last = next + positional - 1;
    argv[last] = argv[0];  // GLUT gets the program name and what follows
    int glutArgc = argc - last;
    openWindowForOwnFrames(&glutArgc, argv + last);  // frames are drawn below, not on GLUT's request
    return at >= 0 ? renderAt(directory, at) : renderPeriod(directory, step);
}
