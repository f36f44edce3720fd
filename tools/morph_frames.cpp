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
// viewer's Plane and Wave, for frames of every function.
//
// Usage: morph_frames [--pair FIRST SECOND] OUTPUT_DIR STEP [GLUT options]
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
        drawFrame();
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        glutSwapBuffers();
        std::array<char, 32> name{};
        std::snprintf(name.data(), name.size(), "/frame-%03d.ppm", call);
        if (!writePpm(directory + name.data(), pixels)) {
            return 1;
        }
        ++saved;
    }
    std::printf("%d frames (idle calls %d to %d, every %d) in %s\n", saved, step, saved * step, step,
                directory.c_str());
    return 0;
}

}  // namespace
}  // namespace morph

int main(int argc, char** argv) {
    using namespace morph;
    // Arguments are taken from the front; what is left after STEP is GLUT's.
    int next = 1;
    const auto isFunction = [](const char* text) {
        return text[0] >= '0' && text[0] < '0' + kSurfaceFunctionCount && text[1] == '\0';
    };
    if (argc > 3 && std::strcmp(argv[1], "--pair") == 0) {
        if (!isFunction(argv[2]) || !isFunction(argv[3])) {
            std::fputs("morph_frames: --pair takes two function numbers from 0 to 5\n", stderr);
            return 2;
        }
        firstFunction = argv[2][0] - '0';
        secondFunction = argv[3][0] - '0';
        next = 4;
    }
    if (argc - next < 2 || std::atoi(argv[next + 1]) < 1 ||
        kCallsPerPeriod % std::atoi(argv[next + 1]) != 0) {
        std::fputs(
            "usage: morph_frames [--pair FIRST SECOND] OUTPUT_DIR STEP [GLUT options]  (STEP divides 400)\n",
            stderr);
        return 2;
    }
    const std::string directory = argv[next];
    const int step = std::atoi(argv[next + 1]);
    argv[next + 1] = argv[0];  // GLUT gets the program name and what follows STEP
    int glutArgc = argc - next - 1;
    openWindowForOwnFrames(&glutArgc, argv + next + 1);  // frames are drawn below, not on GLUT's request
    return renderPeriod(directory, step);
}
