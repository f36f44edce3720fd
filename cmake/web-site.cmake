# The browser build's site folder, build-web/site: the page (index.html), one
# script (Emscripten's loader with the page's own code in front of it), the
# WebAssembly module and the icon. Relative paths only; any static server
# serves it, under the policy
#   default-src 'self'; script-src 'self' 'wasm-unsafe-eval'
set(MORPH_SITE_DIR ${PROJECT_BINARY_DIR}/site)
set_target_properties(morph-viewer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MORPH_SITE_DIR} SUFFIX .js)
target_link_libraries(morph-viewer PRIVATE morph_web_start)
target_link_options(morph-viewer PRIVATE
  -sENVIRONMENT=web
  -sEXIT_RUNTIME=1         # Escape's exit(1) ends the runtime and reaches the page
  -sDYNAMIC_EXECUTION=0    # no eval or new Function: the page's policy forbids them
  -sFILESYSTEM=0           # the viewer reads and writes no files
  -sEXPORTED_FUNCTIONS=_main,_morph_web_configure,_morph_web_frames,_morph_web_idle_calls
  --pre-js ${PROJECT_SOURCE_DIR}/data/web/page.js)
set_property(TARGET morph-viewer APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/data/web/page.js)
configure_file(${PROJECT_SOURCE_DIR}/data/web/index.html ${MORPH_SITE_DIR}/index.html COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/icons/256x256/morph-viewer.png ${MORPH_SITE_DIR}/icon.png COPYONLY)
