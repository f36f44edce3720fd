// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// exit() in the page. The C library's exit leaves the runtime running while
// the browser's loop keeps it alive, so Escape's exit(1) would change
// nothing. Here exit stops the loop (the last frame stays on the canvas) and
// ends the runtime, which tells the page (Module.onExit) the exit status.
#include <emscripten.h>

#include "web/page_window.h"

extern "C" [[noreturn]] void exit(int status) {
    morph::web::stopLoop();
    emscripten_force_exit(status);
    __builtin_unreachable();
}
