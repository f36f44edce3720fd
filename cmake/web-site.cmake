# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The browser build's site folder, build-web/site: the page (index.html in
# English and <tag>/index.html in every other language) with language.js, a
# classic script that takes a reader to their language's page, style.css and
# page.js, each page with its language's texts in place and the messages its
# script says in it (tools/page_texts.py, from data/po); the viewer's worker
# (viewer-worker.js) and the WebAssembly module, with viewer.js for a browser
# whose workers cannot draw; the web app manifest with its icons; and the
# service worker (sw.js, written last, with the SHA-256 of every other file).
# The scripts and the style are bundled and minified (tools/bundle_site.mjs)
# from the modules as written, gathered in build-web/modules: data/web's, the
# facts the page takes from the viewer's headers (viewer-facts.js and
# viewer-facts.css, by tools/viewer_facts), the languages (languages.js) and
# Emscripten's module (morph-viewer.js, an ES module). The tests import the
# modules from there.
# Relative paths only; any static server serves it, under the policy
#   default-src 'self'; script-src 'self' 'wasm-unsafe-eval'
set(MORPH_SITE_DIR ${PROJECT_BINARY_DIR}/site)
set(morph_modules ${PROJECT_BINARY_DIR}/modules)
set(morph_web ${PROJECT_SOURCE_DIR}/data/web)
set_target_properties(morph-viewer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${morph_modules} SUFFIX .js)
target_link_libraries(morph-viewer PRIVATE morph_web_boundary)
target_link_options(morph-viewer PRIVATE
  -sENVIRONMENT=web,worker # in a worker with an OffscreenCanvas, or on the page's thread
  -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createViewer  # an ES module for viewer.js to import
  -sEXIT_RUNTIME=1         # Escape's exit(1) ends the runtime and reaches the page
  -sDYNAMIC_EXECUTION=0    # no eval or new Function: the page's policy forbids them
  -sFILESYSTEM=0           # the viewer reads and writes no files
  -Oz                      # wasm-opt at the link for size (what was compiled keeps its -O3)
  # For size (the wasm and Emscripten's module, 2.7 KiB gzipped together): a
  # small allocator (the viewer allocates at its start, never in a frame); the
  # browser's TextDecoder alone; no WebGL extension switched on unasked, none
  # under a prefixed name, and no pooled buffers for client-side arrays (the
  # backend draws from its own buffers); no errno kept for JavaScript; of
  # the module's settings only those viewer.js gives; and GL errors left to
  # the context (the backend asks for none).
  -sMALLOC=emmalloc
  -sTEXTDECODER=2
  -sGL_SUPPORT_AUTOMATIC_ENABLE_EXTENSIONS=0
  -sGL_EXTENSIONS_IN_PREFIXED_FORMAT=0
  -sGL_POOL_TEMP_BUFFERS=0
  -sSUPPORT_ERRNO=0
  -sINCOMING_MODULE_JS_API=[canvas,onExit,onRuntimeInitialized]
  -sGL_TRACK_ERRORS=0
  -sEXPORTED_FUNCTIONS=@${PROJECT_BINARY_DIR}/exports.txt)  # main and the boundary's functions

# The module's export list, from the boundary between page and viewer
# (src/web/boundary.h): a function listed there but not defined fails the link.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/exports.txt
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:viewer_facts> --exports ${PROJECT_BINARY_DIR}/exports.txt
  DEPENDS viewer_facts
  COMMENT "Writing the viewer module's export list"
  VERBATIM)
add_custom_target(morph_exports DEPENDS ${PROJECT_BINARY_DIR}/exports.txt)
add_dependencies(morph-viewer morph_exports)
set_property(TARGET morph-viewer APPEND PROPERTY LINK_DEPENDS ${PROJECT_BINARY_DIR}/exports.txt)

# What the page takes from the viewer's headers, for its script and its style.
add_custom_command(OUTPUT ${morph_modules}/viewer-facts.js ${morph_modules}/viewer-facts.css
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:viewer_facts> --js ${morph_modules}/viewer-facts.js
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:viewer_facts> --css ${morph_modules}/viewer-facts.css
  DEPENDS viewer_facts
  COMMENT "Writing the viewer's facts for the page"
  VERBATIM)

# The page's texts, from the translations' catalogs.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_package(Gettext REQUIRED)  # msgattrib and msgexec, beside msgfmt
set(morph_po ${PROJECT_SOURCE_DIR}/data/po)
file(STRINGS ${morph_po}/LINGUAS morph_languages)
set(morph_text_paths ${MORPH_SITE_DIR}/index.html ${morph_modules}/texts/en.json)
set(morph_catalogs)
foreach(locale IN LISTS morph_languages)
  string(REPLACE _ - tag ${locale})
  # Its page, and its catalog's messages for the tests.
  list(APPEND morph_text_paths ${MORPH_SITE_DIR}/${tag}/index.html ${morph_modules}/texts/${tag}.json)
  list(APPEND morph_catalogs ${morph_po}/${locale}.po)
endforeach()
add_custom_command(OUTPUT ${morph_modules}/languages.js ${morph_text_paths}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/page_texts.py ${morph_po}/morph-viewer.pot ${morph_po}
          ${morph_web}/index.html ${MORPH_SITE_DIR} ${morph_modules}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/page_texts.py ${morph_po}/morph-viewer.pot ${morph_po}/LINGUAS ${morph_catalogs}
          ${morph_web}/index.html
  COMMENT "Writing the page's texts"
  VERBATIM)
add_custom_target(morph_site_texts ALL DEPENDS ${MORPH_SITE_DIR}/index.html)

# The modules as written, then bundled for the site by esbuild (from npm,
# with the lockfile: scripts/build installs it).
set(morph_module_files language.js style.css page.js viewer-link.js keys.js embedding.js url-state.js protocol.js
    texts.js viewer.js viewer-worker.js)
foreach(file IN LISTS morph_module_files)
  configure_file(${morph_web}/${file} ${morph_modules}/${file} COPYONLY)
endforeach()
list(TRANSFORM morph_module_files PREPEND ${morph_modules}/ OUTPUT_VARIABLE morph_module_paths)
find_program(MORPH_NODE NAMES node nodejs REQUIRED)
set(morph_esbuild ${PROJECT_SOURCE_DIR}/node_modules/esbuild)
if(NOT EXISTS ${morph_esbuild}/package.json)
  message(FATAL_ERROR "esbuild is missing: install the npm packages (npm ci, as scripts/build web does)")
endif()
set(morph_bundles page.js viewer-worker.js viewer.js language.js style.css)
set(morph_bundle_paths)
foreach(file IN LISTS morph_bundles)
  list(APPEND morph_bundle_paths ${MORPH_SITE_DIR}/${file} ${MORPH_SITE_DIR}/${file}.map)
endforeach()
add_custom_command(OUTPUT ${morph_bundle_paths}
  COMMAND ${MORPH_NODE} ${PROJECT_SOURCE_DIR}/tools/bundle_site.mjs ${morph_modules} ${MORPH_SITE_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/bundle_site.mjs ${morph_module_paths} ${morph_modules}/viewer-facts.js
          ${morph_modules}/viewer-facts.css ${morph_modules}/languages.js morph-viewer
          ${morph_esbuild}/package.json
  COMMENT "Bundling the page's scripts and style"
  VERBATIM)
add_custom_target(morph_site_bundles ALL DEPENDS ${morph_bundle_paths})
# The WebAssembly module, beside the worker that fetches it.
add_custom_command(OUTPUT ${MORPH_SITE_DIR}/morph-viewer.wasm
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${morph_modules}/morph-viewer.wasm ${MORPH_SITE_DIR}/morph-viewer.wasm
  DEPENDS morph-viewer
  VERBATIM)

configure_file(${morph_web}/manifest.webmanifest ${MORPH_SITE_DIR}/manifest.webmanifest COPYONLY)
set(morph_data ${PROJECT_SOURCE_DIR}/data)
configure_file(${morph_data}/icons/32x32/morph-viewer.png ${MORPH_SITE_DIR}/icon.png COPYONLY)  # the tab's
configure_file(${morph_data}/icons/192x192/morph-viewer.png ${MORPH_SITE_DIR}/icon-192.png COPYONLY)
configure_file(${morph_data}/icons/512x512/morph-viewer.png ${MORPH_SITE_DIR}/icon-512.png COPYONLY)
# The notices of what the site bundles (freeglut's glyphs, Emscripten's
# runtime and libraries), linked from the page.
include(${PROJECT_SOURCE_DIR}/cmake/notices.cmake)
morph_web_notices(morph_site_notices ${MORPH_SITE_DIR}/notices.txt ${MORPH_FREEGLUT_SOURCE_DIR})

# What the service worker keeps: every file a page may load (the source
# maps are for a reader's developer tools, fetched only there).
set(morph_site_files ${morph_bundles} morph-viewer.wasm manifest.webmanifest icon.png icon-192.png icon-512.png
    notices.txt index.html)
foreach(locale IN LISTS morph_languages)
  string(REPLACE _ - tag ${locale})
  list(APPEND morph_site_files ${tag}/index.html)
endforeach()
list(SORT morph_site_files)
list(TRANSFORM morph_site_files PREPEND ${MORPH_SITE_DIR}/ OUTPUT_VARIABLE morph_site_paths)
add_custom_command(OUTPUT ${MORPH_SITE_DIR}/sw.js ${MORPH_SITE_DIR}/sw.js.map
  COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${MORPH_SITE_DIR} -DTEMPLATE=${morph_web}/sw.js.in
          -DOUTPUT=${morph_modules}/sw.js "-DFILES=${morph_site_files}"
          -P ${PROJECT_SOURCE_DIR}/cmake/web-service-worker.cmake
  COMMAND ${MORPH_NODE} ${PROJECT_SOURCE_DIR}/tools/bundle_site.mjs --service-worker ${morph_modules} ${MORPH_SITE_DIR}
  DEPENDS morph_site_texts morph_site_bundles ${morph_site_paths} ${morph_web}/sw.js.in
          ${PROJECT_SOURCE_DIR}/cmake/web-service-worker.cmake ${PROJECT_SOURCE_DIR}/tools/bundle_site.mjs
  COMMENT "Writing the site's service worker"
  VERBATIM)
add_custom_target(morph_site_worker ALL DEPENDS ${MORPH_SITE_DIR}/sw.js)
