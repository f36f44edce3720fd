# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Windows only: morph-viewer.exe becomes a GUI program (no console window)
# that carries its icon and version information as resources. The .ico is
# made at build time from the 256 px PNG icon in data/, with ImageMagick.
enable_language(RC)
find_program(MORPH_CONVERT convert REQUIRED)  # ImageMagick

set(MORPH_VENDOR "The morph-viewer authors")
set(MORPH_ICON_FILE ${PROJECT_BINARY_DIR}/data/morph-viewer.ico)
add_custom_command(OUTPUT ${MORPH_ICON_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/data
  # The sizes Windows asks for: 16 and 32 px in lists and title bars, 48 px
  # for desktop icons, 256 px (stored as PNG) for large views.
  COMMAND ${MORPH_CONVERT} ${PROJECT_SOURCE_DIR}/data/icons/256x256/morph-viewer.png
          -define icon:auto-resize=256,48,32,16 ${MORPH_ICON_FILE}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/icons/256x256/morph-viewer.png
  COMMENT "Making the Windows icon"
  VERBATIM)
add_custom_target(morph_windows_icon DEPENDS ${MORPH_ICON_FILE})

configure_file(${PROJECT_SOURCE_DIR}/data/windows/morph-viewer.rc.in ${PROJECT_BINARY_DIR}/data/morph-viewer.rc
               @ONLY)
# A library of its own, so that the C++ options of morph_options never reach
# the resource compiler.
add_library(morph_viewer_resources OBJECT ${PROJECT_BINARY_DIR}/data/morph-viewer.rc)
set_source_files_properties(${PROJECT_BINARY_DIR}/data/morph-viewer.rc PROPERTIES OBJECT_DEPENDS ${MORPH_ICON_FILE})
add_dependencies(morph_viewer_resources morph_windows_icon)
target_sources(morph-viewer PRIVATE $<TARGET_OBJECTS:morph_viewer_resources>)
set_target_properties(morph-viewer PROPERTIES WIN32_EXECUTABLE ON)
