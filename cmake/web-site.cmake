# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The browser build's site folder, build-web/site: the page (index.html in
# English and <tag>/index.html in every other language, language.js, which
# takes a reader to their language's page, style.css and its ES modules:
# page.js, viewer-link.js, keys.js, embedding.js, url-state.js, protocol.js,
# texts.js),
# its texts in every language (texts/<tag>.json, with languages.js and the
# English put into index.html, by tools/page_texts.py from data/po), the
# viewer's side (viewer.js, viewer-worker.js) with Emscripten's module
# (morph-viewer.js, an ES module too, and the WebAssembly module), the facts
# the page takes from the viewer's headers (viewer-facts.js, written by
# tools/viewer_facts, with viewer-facts.css for the style), the web app manifest with its icons, and the service
# worker (sw.js, written last, with the SHA-256 of every other file).
# Relative paths only; any static server serves it, under the policy
#   default-src 'self'; script-src 'self' 'wasm-unsafe-eval'
set(MORPH_SITE_DIR ${PROJECT_BINARY_DIR}/site)
set(morph_web ${PROJECT_SOURCE_DIR}/data/web)
set_target_properties(morph-viewer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MORPH_SITE_DIR} SUFFIX .js)
target_link_libraries(morph-viewer PRIVATE morph_web_boundary)
target_link_options(morph-viewer PRIVATE
  -sENVIRONMENT=web,worker # in a worker with an OffscreenCanvas, or on the page's thread
  -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createViewer  # an ES module for viewer.js to import
  -sEXIT_RUNTIME=1         # Escape's exit(1) ends the runtime and reaches the page
  -sDYNAMIC_EXECUTION=0    # no eval or new Function: the page's policy forbids them
  -sFILESYSTEM=0           # the viewer reads and writes no files
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
add_custom_command(OUTPUT ${MORPH_SITE_DIR}/viewer-facts.js ${MORPH_SITE_DIR}/viewer-facts.css
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:viewer_facts> --js ${MORPH_SITE_DIR}/viewer-facts.js
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:viewer_facts> --css ${MORPH_SITE_DIR}/viewer-facts.css
  DEPENDS viewer_facts
  COMMENT "Writing the viewer's facts for the page"
  VERBATIM)
add_custom_target(morph_site_facts ALL DEPENDS ${MORPH_SITE_DIR}/viewer-facts.js ${MORPH_SITE_DIR}/viewer-facts.css)

# The page's texts, from the translations' catalogs.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_package(Gettext REQUIRED)  # msgattrib and msgexec, beside msgfmt
set(morph_po ${PROJECT_SOURCE_DIR}/data/po)
file(STRINGS ${morph_po}/LINGUAS morph_languages)
set(morph_texts texts/en.json index.html)
set(morph_catalogs)
foreach(locale IN LISTS morph_languages)
  string(REPLACE _ - tag ${locale})
  list(APPEND morph_texts texts/${tag}.json ${tag}/index.html)  # its messages and its page
  list(APPEND morph_catalogs ${morph_po}/${locale}.po)
endforeach()
list(TRANSFORM morph_texts PREPEND ${MORPH_SITE_DIR}/ OUTPUT_VARIABLE morph_text_paths)
add_custom_command(OUTPUT ${MORPH_SITE_DIR}/languages.js ${morph_text_paths}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/page_texts.py ${morph_po}/morph-viewer.pot ${morph_po}
          ${morph_web}/index.html ${MORPH_SITE_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/page_texts.py ${morph_po}/morph-viewer.pot ${morph_po}/LINGUAS ${morph_catalogs}
          ${morph_web}/index.html
  COMMENT "Writing the page's texts"
  VERBATIM)
add_custom_target(morph_site_texts ALL DEPENDS ${MORPH_SITE_DIR}/index.html)

set(morph_site_files style.css manifest.webmanifest language.js page.js viewer-link.js keys.js embedding.js
    url-state.js protocol.js texts.js viewer.js viewer-worker.js)
foreach(file IN LISTS morph_site_files)
  configure_file(${morph_web}/${file} ${MORPH_SITE_DIR}/${file} COPYONLY)
endforeach()
set(morph_data ${PROJECT_SOURCE_DIR}/data)
configure_file(${morph_data}/icons/256x256/morph-viewer.png ${MORPH_SITE_DIR}/icon.png COPYONLY)
configure_file(${morph_data}/icons/192x192/morph-viewer.png ${MORPH_SITE_DIR}/icon-192.png COPYONLY)
configure_file(${morph_data}/icons/512x512/morph-viewer.png ${MORPH_SITE_DIR}/icon-512.png COPYONLY)
# The notices of what the site bundles (freeglut's glyphs, Emscripten's
# runtime and libraries), linked from the page.
include(${PROJECT_SOURCE_DIR}/cmake/notices.cmake)
morph_web_notices(morph_site_notices ${MORPH_SITE_DIR}/notices.txt ${MORPH_FREEGLUT_SOURCE_DIR})
list(APPEND morph_site_files morph-viewer.js morph-viewer.wasm viewer-facts.js viewer-facts.css icon.png icon-192.png icon-512.png
     notices.txt languages.js ${morph_texts})
list(SORT morph_site_files)

list(TRANSFORM morph_site_files PREPEND ${MORPH_SITE_DIR}/ OUTPUT_VARIABLE morph_site_paths)
add_custom_command(OUTPUT ${MORPH_SITE_DIR}/sw.js
  COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${MORPH_SITE_DIR} -DTEMPLATE=${morph_web}/sw.js.in
          "-DFILES=${morph_site_files}" -P ${PROJECT_SOURCE_DIR}/cmake/web-service-worker.cmake
  DEPENDS morph-viewer morph_site_facts morph_site_texts ${morph_site_paths} ${morph_web}/sw.js.in ${PROJECT_SOURCE_DIR}/cmake/web-service-worker.cmake
  COMMENT "Writing the site's service worker"
  VERBATIM)
add_custom_target(morph_site_worker ALL DEPENDS ${MORPH_SITE_DIR}/sw.js)
