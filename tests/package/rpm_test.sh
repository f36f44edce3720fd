#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Builds the RPM with scripts/package and checks it without installing it:
# rpmlint finds no errors but the missing signature; it holds the same files
# under /usr as the Debian package and owns no folder but its doc folder; it
# requires the shared libraries by name, is MIT-licensed and carries a
# summary, description and changelog; unpacked with rpm2cpio and cpio, its
# desktop entry and metainfo validate, and the viewer maps its window "foo!"
# on a private X server and ends with status 1 on Escape. For ARCH arm64 the
# package (aarch64) is cross-built and its viewer runs under qemu-user.
# Usage: rpm_test.sh SOURCE_DIR [ARCH]   (ARCH: amd64, the default, or arm64)
set -euo pipefail
MORPH_SOURCE="$1"
source "$MORPH_SOURCE/scripts/lib/x11.sh"
source "$MORPH_SOURCE/tests/package/lib.sh" "$@"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

rpm=$(make_package rpm "$scratch")
echo "package: $rpm"
[[ $(basename "$rpm") =~ ^morph-viewer-[0-9.]+-1\.${MORPH_RPM_ARCH}\.rpm$ ]] ||
  fail "not named morph-viewer-VERSION-1.$MORPH_RPM_ARCH.rpm"

# Debian's rpmlint has no distribution's settings, so it also warns about what
# a distribution configures (its licence list, its man page compression); the
# warnings are printed for the reader. Errors fail the test, but for the
# signature: an RPM is signed by whoever publishes it, with their own key.
echo "== rpmlint"
rpmlint "$rpm" >"$scratch/rpmlint" 2>&1 || true
grep -E '^morph-viewer|checked' "$scratch/rpmlint" || true
if grep -E '^morph-viewer[^ ]*: E: ' "$scratch/rpmlint" | grep -v ': E: no-signature$'; then
  fail "rpmlint reports errors"
fi

echo "== header"
query() { rpm -qp --qf "$1" "$rpm"; }
version=$(query '%{VERSION}')
[ "$(query '%{NAME}')" = morph-viewer ] || fail "package name is not morph-viewer"
[ "$(query '%{LICENSE}')" = MIT ] || fail "licence is not MIT"
[ "$(query '%{ARCH}')" = "$MORPH_RPM_ARCH" ] || fail "the architecture is $(query '%{ARCH}')"
[ -n "$(query '%{SUMMARY}')" ] || fail "no summary"
[ "$(query '%{DESCRIPTION}' | wc -l)" -ge 4 ] || fail "no description"
query '[%{CHANGELOGTEXT}\n]' | grep -q . || fail "no changelog"
rpm -qpR "$rpm" >"$scratch/requires"
for library in 'libglut\.so\.3' 'libGLU\.so\.1' 'libc\.so\.6'; do
  grep -q "^$library" "$scratch/requires" || fail "does not require $library by name"
done
echo "Version $version, $(query '%{ARCH}'); requires $(grep -c "^lib" "$scratch/requires") library entries"

echo "== contents"
query '[%{FILEMODES:perms} %{FILENAMES}\n]' >"$scratch/listing"
grep -v '^d' "$scratch/listing" | cut -d' ' -f2 >"$scratch/files"
expect_packaged_files "$scratch/files"
owned=$(grep '^d' "$scratch/listing" | cut -d' ' -f2)
[ "$owned" = /usr/share/doc/morph-viewer ] || fail "owns folders other than its doc folder: $owned"
echo "owns one folder: $owned"

echo "== unpacked"
mkdir "$scratch/root"
(cd "$scratch/root" && rpm2cpio "$rpm" | cpio -idm --quiet) || fail "rpm2cpio | cpio failed"
check_unpacked_tree "$scratch/root" "$version"
run_unpacked_viewer "$scratch/root"
echo "PASS"
