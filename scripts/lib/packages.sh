# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Installs the Debian packages the project needs, where any are missing.
# Sourced by the scripts; uses apt-get as root, or through sudo where that
# works without a password, and otherwise names the packages and fails. With
# MORPH_NO_INSTALL=1 (as the tests set it) it only names them and fails.

MORPH_PACKAGES=(
  cmake g++ make                              # toolchain
  libgtest-dev libbenchmark-dev               # tests and benchmarks
  libgl-dev libglu1-mesa-dev libglut-dev      # OpenGL, GLU, freeglut headers and libraries
  libgl1-mesa-dri libglx-mesa0                # Mesa's software renderer (llvmpipe)
  xvfb xauth xdotool imagemagick apitrace     # virtual display, key presses, screenshots, GL call traces
  python3 python3-xlib                        # the notices tool; closing a window as a window manager does
  clang-format clang-tidy clang reuse         # style, licence and static checks, the second compiler
  dpkg-dev file lintian devscripts            # the Debian package: dependencies, checks, hardening-check
  desktop-file-utils appstream man-db         # checks of the desktop entry, metainfo and manual page
  gettext                                     # translations merged into the desktop entry and metainfo; their checks
  rpm rpm2cpio cpio rpmlint                   # the RPM: rpmbuild, unpacking, checks
  diffoscope-minimal                          # where two builds of a package differ
)

# For the Windows build: the MinGW-w64 cross compiler, Wine to run what it
# builds, NSIS for the installer, dpkg-dev for freeglut's source package,
# p7zip-full to list an installer's files without running it.
MORPH_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 wine wine64 nsis dpkg-dev p7zip-full)

# For the browser build: Emscripten, gettext for the page's texts, and the
# three engines of the page's tests (Chromium; Firefox ESR; WebKitGTK's
# MiniBrowser with WebKitWebDriver), with Xvfb and Mesa for the two that need a
# display. Node.js comes with Emscripten (any Node.js from 18 on will do).
MORPH_WEB_PACKAGES=(emscripten gettext chromium firefox-esr webkit2gtk-driver xvfb xauth libgl1-mesa-dri dpkg-dev)

# For a release: zip for the site's zip and brotli for its files compressed
# ahead; to sign it, GnuPG, rpmsign (in rpm), apt-ftparchive (apt-utils),
# createrepo_c and osslsigncode; for the release's test, dnf to read the RPM
# repository, and nginx (with Brotli), curl and openssl to serve the release
# over HTTPS with a certificate of its own.
MORPH_RELEASE_PACKAGES=(zip brotli gnupg rpm apt-utils createrepo-c osslsigncode openssl dnf nginx
  libnginx-mod-http-brotli-static curl)

# For the 64-bit ARM build (arm64): the cross compiler, the emulator that runs
# what it builds here, and Debian's own arm64 GL, GLU and freeglut (with Mesa's
# software renderer) beside the host's, through multiarch, with apitrace's
# arm64 tracer for the GL call test. ensure_packages adds the architecture to
# dpkg where a package names it.
MORPH_CROSS_PACKAGES=(g++-aarch64-linux-gnu qemu-user binutils-aarch64-linux-gnu
  libgl-dev:arm64 libglu1-mesa-dev:arm64 libglut-dev:arm64 libgl1-mesa-dri:arm64 libglx-mesa0:arm64
  apitrace-tracers:arm64)

# ensure_packages [PACKAGE...]: the given packages, or else MORPH_PACKAGES.
ensure_packages() {
  local wanted=("$@")
  [ ${#wanted[@]} -gt 0 ] || wanted=("${MORPH_PACKAGES[@]}")
  if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "This is not a Debian-based system; install the equivalents of: ${wanted[*]}" >&2
    return 1
  fi
  local missing=() p
  for p in "${wanted[@]}"; do
    # Installed, or installed with triggers still to run (as while another
    # apt-get is at work).
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -Eq 'install ok (installed|triggers-(pending|awaited))' ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "${MORPH_NO_INSTALL:-0}" = 1 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    return 1
  fi
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
      sudo=(sudo)
    else
      echo "Missing packages: ${missing[*]}" >&2
      echo "Install them as root with: apt-get install ${missing[*]}" >&2
      return 1
    fi
  fi
  # A package of another architecture (libglut-dev:arm64) needs that
  # architecture added to dpkg first, and then apt-get update.
  local arch
  for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/^[^:]*:\([a-z0-9]*\)$/\1/p' | sort -u); do
    if [ "$arch" != "$(dpkg --print-architecture)" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
      echo "Adding the architecture $arch to dpkg"
      "${sudo[@]}" dpkg --add-architecture "$arch" || return 1
    fi
  done
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null || {
      echo "apt-get could not install: ${missing[*]}" >&2
      return 1
    }
}
