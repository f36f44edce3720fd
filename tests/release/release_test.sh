#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# A release: scripts/release in two fresh clones of the commit, in different
# folders and a second later, makes the same bytes in every file of its
# folder; SHA256SUMS checks there; the source archive, unpacked where there is
# no git, builds a .deb byte-identical to the release's; the Windows zip and
# installer and the site's zip hold the notices, which name freeglut's
# copyright holder; every SBOM passes CycloneDX's own validator, and those of
# the Windows program and the site list freeglut.
# Tests the commit checked out in SOURCE_DIR (not uncommitted changes).
# Usage: release_test.sh SOURCE_DIR
set -euo pipefail
source="$1"
source "$source/scripts/lib/x11.sh"  # fail
export MORPH_NO_INSTALL=1  # a test installs no Debian package: missing ones fail it
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
git clone -q "$source" "$scratch/first"
mkdir -p "$scratch/elsewhere/deeper"
git clone -q "$source" "$scratch/elsewhere/deeper/second"
echo "commit $(git -C "$source" rev-parse HEAD), cloned twice"

# release CLONE: the release folder scripts/release made there.
release() {
  (cd "$1" && ./scripts/release) >"$1/release.log" 2>&1 || {
    tail -n 40 "$1/release.log" >&2
    fail "scripts/release failed in $1"
  }
  echo "$1/$(tail -n 1 "$1/release.log")"
}
one=$(release "$scratch/first")
sleep 1.1  # a later second: any date taken from the clock would differ
two=$(release "$scratch/elsewhere/deeper/second")
version=$(basename "$one" | sed 's/^morph-viewer-//')

echo "== the release folder, twice"
(cd "$one" && ls -l | sed 1d | awk '{printf "  %10d  %s\n", $5, $9}')
diff <(cd "$one" && ls) <(cd "$two" && ls) || fail "the two release folders hold different files"
for file in "$one"/*; do
  cmp -s "$file" "$two/$(basename "$file")" || {
    diffoscope --no-progress --text - "$file" "$two/$(basename "$file")" 2>&1 | head -n 40 || true
    fail "the two builds of $(basename "$file") differ"
  }
done
echo "every file the same bytes; SHA256SUMS:"
sed 's/^/  /' "$one/SHA256SUMS"
(cd "$two" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check"
echo "sha256sum -c SHA256SUMS: OK"

echo "== the source archive, built without git"
mkdir "$scratch/archive"
tar -xzf "$one/morph-viewer-$version.tar.gz" -C "$scratch/archive"
tree=$scratch/archive/morph-viewer-$version
[ ! -e "$tree/.git" ] || fail "the source archive holds .git"
grep -qE '^[0-9]+$' "$tree/cmake/source-date.txt" || fail "the source archive carries no commit time"
(cd "$tree" && ./scripts/package deb "$scratch/archive-build") >"$scratch/archive.log" 2>&1 || {
  tail -n 30 "$scratch/archive.log" >&2
  fail "scripts/package failed in the unpacked source archive"
}
rebuilt=$(tail -n 1 "$scratch/archive.log")
released=$(ls "$one"/morph-viewer_*.deb)
sha256sum "$rebuilt" "$released" | sed "s|$scratch/||"
cmp -s "$rebuilt" "$released" || {
  diffoscope --no-progress --text - "$released" "$rebuilt" 2>&1 | head -n 40 || true
  fail "the .deb built from the source archive differs from the release's"
}

echo "== the notices"
zip=$one/morph-viewer-$version-win64.zip
unzip -Z1 "$zip" | grep -qx "morph-viewer-$version-win64/bin/NOTICES.txt" || fail "the zip holds no bin/NOTICES.txt"
# (Each file is read whole before grep looks: grep -q would end the pipe early.)
unzip -p "$zip" "morph-viewer-$version-win64/bin/NOTICES.txt" >"$scratch/zip-notices.txt"
grep -q "Pawel W. Olszta" "$scratch/zip-notices.txt" || fail "the zip's notices do not name freeglut's copyright holder"
7z l "$one/morph-viewer-$version-win64.exe" >"$scratch/installer.list"
grep -qE 'bin[/\\]NOTICES\.txt$' "$scratch/installer.list" || fail "the installer installs no bin/NOTICES.txt"
site=$one/morph-viewer-$version-web.zip
unzip -p "$site" "morph-viewer-$version-web/notices.txt" >"$scratch/site-notices.txt"
grep -q "Pawel W. Olszta" "$scratch/site-notices.txt" || fail "the site's notices do not name freeglut's copyright holder"
unzip -p "$site" "morph-viewer-$version-web/index.html" >"$scratch/index.html"
grep -q 'href="notices.txt"' "$scratch/index.html" || fail "the page does not link its notices"
echo "the zip, the installer and the site hold the notices, naming freeglut's copyright holder"

echo "== the SBOMs"
(cd "$scratch/first" && node scripts/lib/sbom.mjs check "$one"/*.cdx.json) | sed "s|$scratch/||" ||
  fail "an SBOM is not valid CycloneDX"
for sbom in "$one/morph-viewer-$version-win64.zip.cdx.json" "$one/morph-viewer-$version-win64.exe.cdx.json" \
  "$one/morph-viewer-$version-web.zip.cdx.json"; do
  grep -qE '"name": "freeglut( 8 x 13 font)?"' "$sbom" || fail "$(basename "$sbom") does not list freeglut"
done
echo "the Windows program's and the site's SBOMs list freeglut"
echo "PASS"
