# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Debian's freeglut source package: built as a static library for 64-bit
# Windows (x86_64-w64-mingw32), since Debian ships no MinGW freeglut, and read
# for its bitmap font by the browser build. The source comes through a private
# apt configuration (deb-src entries made from the system's own sources, a
# private lists folder), so the system's apt setup is left as it is. Sourced
# by scripts/build and scripts/package.

# The freeglut version both builds are made with (Debian 12's), as the build
# names it.
MORPH_FREEGLUT_VERSION=$(eval "$(cmake -P "$(dirname "${BASH_SOURCE[0]}")/../../cmake/facts.cmake")" &&
  echo "$MORPH_FREEGLUT_VERSION")

# _morph_write_deb_src APT_DIR: deb-src entries for the suites and mirrors of
# the system's own sources, in APT_DIR/sources.list and sources.list.d/.
_morph_write_deb_src() {
  local file
  : >"$1/sources.list"
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"$1/sources.list" || true
  fi
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && sed 's/^Types: deb$/Types: deb-src/' "$file" >"$1/sources.list.d/$(basename "$file")"
  done
  return 0
}

# fetch_freeglut_source DEPS_DIR: unpacks Debian's freeglut source package
# into DEPS_DIR/source/freeglut-VERSION unless it is there already.
fetch_freeglut_source() {
  local deps=$1 apt
  [ -f "$deps/source/freeglut-$MORPH_FREEGLUT_VERSION/src/fg_font_data.c" ] && return 0
  rm -rf "$deps/source" "$deps/apt"
  apt=$deps/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d" "$deps/source"
  _morph_write_deb_src "$apt"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root)
  echo "Fetching Debian's freeglut source package"
  apt-get "${options[@]}" update -qq
  (cd "$deps/source" && apt-get "${options[@]}" source -qq freeglut >/dev/null)
  [ -d "$deps/source/freeglut-$MORPH_FREEGLUT_VERSION" ] || {
    echo "apt-get source freeglut did not unpack freeglut $MORPH_FREEGLUT_VERSION: $(ls "$deps/source")" >&2
    return 1
  }
}

# build_freeglut_for_windows DEPS_DIR TOOLCHAIN_FILE: installs freeglut into
# DEPS_DIR/prefix (headers, the static library, its CMake package) unless it
# is already there.
build_freeglut_for_windows() {
  local deps=$1 toolchain=$2 source
  if [ -f "$deps/prefix/lib/cmake/FreeGLUT/FreeGLUTConfig.cmake" ]; then
    return 0
  fi
  fetch_freeglut_source "$deps"
  source=$deps/source/freeglut-$MORPH_FREEGLUT_VERSION
  rm -rf "$deps/build" "$deps/prefix"

  # Static only; FREEGLUT_REPLACE_GLUT installs GL/glut.h as well, which the
  # viewer includes. No demos.
  cmake -S "$source" -B "$deps/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/prefix" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
    -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_REPLACE_GLUT=ON >/dev/null
  cmake --build "$deps/build" -j"$(nproc)" >"$deps/build.log" 2>&1 || {
    tail -n 30 "$deps/build.log" >&2
    return 1
  }
  cmake --install "$deps/build" >/dev/null
}
