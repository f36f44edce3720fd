// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// viewer_facts: what the page and the test scripts need to know of the
// viewer, printed from the viewer's own headers and start-up state, so that
// each fact stays in one place. The build runs it and writes its output to a
// file beside what uses it; nobody edits that file.
//
// Usage: viewer_facts --js FILE   an ES module for the page: the surfaces by
//                                 their identifiers in the keys' order, the
//                                 selections the viewer starts with, its keys,
//                                 its window, and the boundary between page
//                                 and viewer: the module's functions and the
//                                 hooks it calls (web/boundary.h)
//        viewer_facts --sh FILE   shell assignments for the end-to-end
//                                 scripts: the window's title, its size and
//                                 its clear colour, 0..255
//        viewer_facts --css FILE  custom properties for the page's style
//                                 sheet: the window's size and clear colour
//        viewer_facts --exports FILE   the browser module's export list, a
//                                 symbol a line, for the linker
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

#include "app/input.h"
#include "app/shell.h"
#include "app/view_state.h"
#include "geometry/surface.h"
#include "web/boundary.h"

namespace {

// The catalogue by the identifiers the viewer's code gives it: a renamed
// entry fails to compile here, a new one fails the count check.
#define MORPH_SURFACE(name) std::pair<int, const char*>(morph::name, #name)
constexpr std::pair<int, const char*> kSurfaces[] = {
    MORPH_SURFACE(Plane),      MORPH_SURFACE(Wave),     MORPH_SURFACE(ProductWave),
    MORPH_SURFACE(RippleDisc), MORPH_SURFACE(Cylinder), MORPH_SURFACE(Sphere),
};
#undef MORPH_SURFACE
static_assert(std::size(kSurfaces) == morph::kSurfaceFunctionCount,
              "a surface of the catalogue is not named here");

constexpr bool numberedInOrder() {
    for (std::size_t i = 0; i < std::size(kSurfaces); ++i) {
        if (kSurfaces[i].first != static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(numberedInOrder(), "the surfaces are listed here out of their numbers' order");

// Writes `export const CONSTANT = Object.freeze({ role: 'PREFIX<name>', ... });`
// for ENTRIES, each with a role and the name NAME points to.
template <typename Entry, std::size_t N>
void printRoles(std::FILE* out, const char* constant, const Entry (&entries)[N],
                const char* const Entry::*name, const char* prefix) {
    std::fprintf(out, "export const %s = Object.freeze({", constant);
    for (std::size_t i = 0; i < N; ++i) {
        std::fprintf(out, "%s %s: '%s%s'", i == 0 ? "" : ",", entries[i].role, prefix, entries[i].*name);
    }
    std::fprintf(out, " });\n");
}

void printModule(std::FILE* out) {
    std::fprintf(
        out, "// Made by the build from the viewer's own headers (tools/viewer_facts.cpp): do not edit.\n");
    std::fprintf(out, "// The surfaces by their identifiers, in the order the keys step through them.\n");
    std::fprintf(out, "export const kSurfaces = Object.freeze([");
    for (std::size_t i = 0; i < std::size(kSurfaces); ++i) {
        std::fprintf(out, "%s'%s'", i == 0 ? "" : ", ", kSurfaces[i].second);
    }
    std::fprintf(out, "]);\n");
    std::fprintf(out, "// The selections the viewer starts with.\n");
    std::fprintf(out, "export const kStart = Object.freeze({ first: %d, second: %d });\n",
                 morph::firstFunction, morph::secondFunction);
    std::fprintf(out, "// The characters of the viewer's keys, as its keyboard handler takes them.\n");
    std::fprintf(out, "export const kKeys = Object.freeze({ stepFirst: %d, stepSecond: %d, escape: %d });\n",
                 morph::kStepFirstKey, morph::kStepSecondKey, morph::kEscapeKey);
    std::fprintf(out, "// The viewer's window: its size in pixels and its title.\n");
    std::fprintf(out, "export const kWindow = Object.freeze({ width: %d, height: %d, title: '%s' });\n",
                 morph::kWindowWidth, morph::kWindowHeight, morph::kWindowTitle);
    std::fprintf(out, "// The functions of the viewer's module the page may call, by their names on it.\n");
    printRoles(out, "kExports", morph::web::kExports, &morph::web::Export::symbol, "_");
    std::fprintf(out, "// The hooks the viewer calls on its module, by their names on it.\n");
    printRoles(out, "kHooks", morph::web::kHooks, &morph::web::Hook::name, "");
}

void printExports(std::FILE* out) {
    std::fprintf(out, "_main\n");
    for (const auto& function : morph::web::kExports) {
        std::fprintf(out, "_%s\n", function.symbol);
    }
}

long toByte(float channel) {
    return std::lround(static_cast<double>(channel) * 255.0);
}

void printShell(std::FILE* out) {
    std::fprintf(
        out, "# Made by the build from the viewer's own headers (tools/viewer_facts.cpp): do not edit.\n");
    std::fprintf(out, "MORPH_WINDOW_TITLE='%s'\n", morph::kWindowTitle);
    std::fprintf(out, "MORPH_WINDOW_SIZE='%dx%d'\n", morph::kWindowWidth, morph::kWindowHeight);
    std::fprintf(out, "MORPH_CLEAR_RGB='%ld %ld %ld'\n", toByte(morph::kClearColour[0]),
                 toByte(morph::kClearColour[1]), toByte(morph::kClearColour[2]));
}

void printStyle(std::FILE* out) {
    std::fprintf(
        out,
        "/* Made by the build from the viewer's own headers (tools/viewer_facts.cpp): do not edit. */\n");
    std::fprintf(out, ":root {\n");
    std::fprintf(out, "  --window-width: %dpx;\n", morph::kWindowWidth);
    std::fprintf(out, "  --window-aspect-ratio: %d / %d;\n", morph::kWindowWidth, morph::kWindowHeight);
    // In percent, as GL takes the colour: 0.7 is 178.5 of 255, which the
    // browser rounds as GL does.
    std::fprintf(out, "  --clear-colour: rgb(%.6g%% %.6g%% %.6g%%);\n", morph::kClearColour[0] * 100.0,
                 morph::kClearColour[1] * 100.0, morph::kClearColour[2] * 100.0);
    std::fprintf(out, "}\n");
}

}  // namespace

int main(int argc, char** argv) {
    const bool js = argc == 3 && std::strcmp(argv[1], "--js") == 0;
    const bool sh = argc == 3 && std::strcmp(argv[1], "--sh") == 0;
    const bool css = argc == 3 && std::strcmp(argv[1], "--css") == 0;
    const bool exports = argc == 3 && std::strcmp(argv[1], "--exports") == 0;
    if (!js && !sh && !css && !exports) {
        std::fprintf(stderr, "usage: viewer_facts --js FILE | --sh FILE | --css FILE | --exports FILE\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    if (js) {
        printModule(out);
    } else if (sh) {
        printShell(out);
    } else if (css) {
        printStyle(out);
    } else {
        printExports(out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
