# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Browser build with Debian's Emscripten (package emscripten): WebAssembly and
# JavaScript for the page in build-web/site, and tools run under Node.js.
# em++ needs NODE_PATH=/usr/share/nodejs with a Node.js other than Debian's
# (the web presets set it).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
