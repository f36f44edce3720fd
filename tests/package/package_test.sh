#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Builds the Debian package with scripts/package and checks it without
# installing it: lintian finds no errors or warnings; the package holds the
# viewer and the files a desktop program ships; its control fields, changelog
# and metainfo agree on the version; the desktop entry and metainfo validate;
# the viewer is hardened; and the viewer unpacked with dpkg-deb runs on a
# private X server, maps its window "foo!" and ends with status 1 on Escape.
# For ARCH arm64 the package is cross-built and its viewer runs under qemu-user.
# Usage: package_test.sh SOURCE_DIR [ARCH]   (ARCH: amd64, the default, or arm64)
set -euo pipefail
MORPH_SOURCE="$1"
source "$MORPH_SOURCE/scripts/lib/x11.sh"
source "$MORPH_SOURCE/tests/package/lib.sh" "$@"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

deb=$(make_package deb "$scratch")
echo "package: $deb"
[[ $(basename "$deb") =~ ^morph-viewer_[0-9.]+_${MORPH_PACKAGE_ARCH}\.deb$ ]] ||
  fail "not named morph-viewer_VERSION_$MORPH_PACKAGE_ARCH.deb"

echo "== lintian"
status=0
lintian --fail-on error,warning "$deb" >"$scratch/lintian" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian" || true
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings"

echo "== contents"
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$scratch/contents"
grep -v '/$' "$scratch/contents" >"$scratch/files"
expect_packaged_files "$scratch/files"
if grep -v '^\./usr/' "$scratch/contents" | grep -qv '^\./$'; then
  fail "the package installs outside /usr"
fi
echo "all under /usr"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
version=$(field Version)
[ "$(field Package)" = morph-viewer ] || fail "package name is not morph-viewer"
[ "$(field Section)" = graphics ] || fail "section is not graphics"
[ "$(field Architecture)" = "$MORPH_PACKAGE_ARCH" ] || fail "the architecture is $(field Architecture)"
grep -q 'libglut' <<<"$(field Depends)" || fail "no dependency on freeglut: $(field Depends)"
[ "$(field Description | wc -l)" -ge 4 ] || fail "no extended description"
echo "Version $version, $(field Architecture); Depends: $(field Depends)"

dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
doc=$root/usr/share/doc/morph-viewer
changelogVersion=$(zcat "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$changelogVersion" = "$version" ] || fail "changelog is at $changelogVersion, the package at $version"
grep -q 'Copyright: 2026 The morph-viewer authors' "$doc/copyright" || fail "copyright file lacks the notice"

echo "== desktop entry, metainfo, icon, hardening"
check_unpacked_tree "$root" "$version"

echo "== the unpacked viewer"
run_unpacked_viewer "$root"
echo "PASS"
