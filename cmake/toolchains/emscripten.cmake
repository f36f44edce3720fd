# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Browser build with Debian's Emscripten (package emscripten): WebAssembly and
# JavaScript for the page in build-web/site, and tools run under Node.js.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# em++'s JavaScript tools load Debian's JavaScript modules (acorn), which a
# Node.js other than Debian's own does not look for: every compile and link
# gets NODE_PATH, whichever Node.js is first on the PATH.
set(morph_node_path ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_COMPILER_LAUNCHER ${morph_node_path})
set(CMAKE_CXX_LINKER_LAUNCHER ${morph_node_path})
