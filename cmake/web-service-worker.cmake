# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Writes the site's service worker as written (OUTPUT, which the build then
# minifies into the site folder) from data/web/sw.js.in: the SHA-256 of each
# file the page needs, and a build name made from them, so that every build
# has a worker of its own and the same sources give the same bytes.
# Usage: cmake -DSITE_DIR=DIR -DTEMPLATE=FILE -DOUTPUT=FILE -DFILES="a;b;..." -P web-service-worker.cmake
set(entries "")
set(manifest "")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE_DIR}/${file} sha256)
  string(APPEND entries "  '${file}': '${sha256}',\n")
  string(APPEND manifest "${sha256}  ${file}\n")
endforeach()
string(SHA256 build "${manifest}")
string(SUBSTRING ${build} 0 16 MORPH_SITE_BUILD)
string(REGEX REPLACE ",\n$" "" MORPH_SITE_FILES "${entries}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
