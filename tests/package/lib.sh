# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Checks shared by the package tests: what every package holds, and the
# checks of an unpacked package's tree. Sourced after scripts/lib/x11.sh, with
# the test's arguments (SOURCE_DIR [ARCH]).

# The architecture the package test is for: this machine's (amd64) unless
# its second argument names another (arm64, cross-built and run under
# qemu-user through MORPH_VIEWER_WRAPPER); and RPM's name for it.
MORPH_PACKAGE_ARCH=${2:-$(dpkg --print-architecture)}
case $MORPH_PACKAGE_ARCH in
  amd64) MORPH_RPM_ARCH=x86_64 ;;
  arm64) MORPH_RPM_ARCH=aarch64 ;;
  *) echo "no package test for the architecture $MORPH_PACKAGE_ARCH" >&2; exit 2 ;;
esac

# make_package KIND DIR: scripts/package KIND into DIR/build, as a test must
# (nothing installed: a missing tool fails it), for MORPH_PACKAGE_ARCH;
# prints the package's path.
make_package() {
  local arch=()
  [ "$MORPH_PACKAGE_ARCH" = "$(dpkg --print-architecture)" ] || arch=("$MORPH_PACKAGE_ARCH")
  MORPH_NO_INSTALL=1 "$MORPH_SOURCE/scripts/package" "$1" "${arch[@]}" "$2/build" >"$2/package.log" 2>&1 || {
    tail -n 30 "$2/package.log" >&2
    fail "scripts/package $1 ${arch[*]} failed"
  }
  tail -n 1 "$2/package.log"
}

# The files every package installs, relative to the root, in sorted order.
MORPH_PACKAGED_FILES=(
  usr/bin/morph-viewer
  usr/share/applications/org.example.MorphViewer.desktop
  usr/share/doc/morph-viewer/changelog.gz
  usr/share/doc/morph-viewer/copyright
  usr/share/icons/hicolor/256x256/apps/morph-viewer.png
  usr/share/man/man1/morph-viewer.1.gz
  usr/share/metainfo/org.example.MorphViewer.metainfo.xml
)

# expect_packaged_files LISTING: LISTING (a file, one path a line, leading
# "./" or "/" allowed, directories left out) names exactly the files above.
expect_packaged_files() {
  sed -E 's|^\.?/||' "$1" | sort >"$1.files"
  printf '%s\n' "${MORPH_PACKAGED_FILES[@]}" >"$1.expected"
  diff -u "$1.expected" "$1.files" || fail "the package's files are not the expected ones"
  echo "the ${#MORPH_PACKAGED_FILES[@]} expected files, nothing else"
}

# check_unpacked_tree ROOT VERSION: the desktop entry and the metainfo of an
# unpacked package validate and carry every language of data/po/LINGUAS (the
# entry's Name, GenericName, Comment and Keywords; the metainfo's name,
# summary and each paragraph of its description), the metainfo's newest
# release is VERSION, the icon is 256 x 256 and the viewer is hardened.
check_unpacked_tree() {
  local root=$1 version=$2 output release language key count
  local entry=$root/usr/share/applications/org.example.MorphViewer.desktop
  local metainfo=$root/usr/share/metainfo/org.example.MorphViewer.metainfo.xml
  output=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $output"
  [ -z "$output" ] || fail "desktop-file-validate printed: $output"
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
  local paragraphs
  paragraphs=$(sed -n '/<description>/,/<\/description>/p' "$metainfo" | grep -c '<p>' || true)
  for language in $(cat "$MORPH_SOURCE/data/po/LINGUAS"); do
    for key in Name GenericName Comment Keywords; do
      grep -q "^$key\[$language\]=." "$entry" || fail "the desktop entry has no $key[$language]"
    done
    for key in name summary; do
      grep -q "<$key xml:lang=\"$language\">" "$metainfo" || fail "the metainfo has no $key in $language"
    done
    count=$(grep -c "<p xml:lang=\"$language\">" "$metainfo" || true)
    [ "$count" = "$paragraphs" ] || fail "the metainfo's description has $count of $paragraphs paragraphs in $language"
  done
  echo "desktop entry and metainfo valid, in English and $(wc -w <"$MORPH_SOURCE/data/po/LINGUAS") more languages"
  release=$(grep -m1 -o '<release version="[^"]*"' "$root/usr/share/metainfo/org.example.MorphViewer.metainfo.xml" |
    cut -d'"' -f2)
  [ "$release" = "$version" ] || fail "metainfo's newest release is $release, the package $version"
  [ "$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/256x256/apps/morph-viewer.png")" = 256x256 ] ||
    fail "the icon is not 256 x 256"
  hardening-check --nocfprotection "$root/usr/bin/morph-viewer" || fail "the packaged viewer is not hardened"
}

# run_unpacked_viewer ROOT: the unpacked viewer maps its window "foo!" on a
# private X server and ends with status 1 on Escape. Runs in a subshell, so
# that the X server's cleanup leaves the caller's own EXIT trap alone.
run_unpacked_viewer() {
  (
    trap cleanup_viewer EXIT
    launch_viewer "$1/usr/bin/morph-viewer" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
    echo "window \"$(xdotool getwindowname "$WINDOW")\" mapped"
    wait_for_frame "$WINDOW" "$WORK/first.png" || fail "the unpacked viewer never drew a frame"
    xdotool windowfocus --sync "$WINDOW" || fail "could not focus the window"
    expect_escape_ends_viewer
  ) || exit 1
}
