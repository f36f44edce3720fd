#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# A signed release, with throwaway keys the test makes: an OpenPGP key and a
# certificate authority with a code-signing certificate, and another of each.
#  - scripts/release in two fresh clones of the commit, in different folders
#    and a second later, gives the same bytes in every file, signatures
#    included; SHA256SUMS checks;
#  - every signature verifies (SHA256SUMS.asc, the .rpm, the APT and RPM
#    repositories, Authenticode on the program and the installer) and is
#    refused once its file is altered by one byte or checked against the
#    other key;
#  - nginx, started by the test with the release's own server block and a
#    certificate of a throwaway authority, sends each header, media type,
#    cache rule and file compressed ahead as the block says; the page's
#    start, embedding and offline tests pass through it in Chromium;
#  - over HTTPS from that server: apt, told of this repository alone,
#    installs morph-viewer, which runs; a
#    release 1.0.1 made from a commit whose changelog says so is added to the
#    repository, and apt-get upgrade brings it; the arm64 package installs in
#    its place and runs under qemu-user; a repository whose Packages
#    changed after signing, or one signed by the other key, is refused and
#    nothing is installed;
#  - dnf installs from the RPM repository with repo_gpgcheck and upgrades,
#    on x86_64 and on aarch64, and refuses an altered repository, another key
#    or a package signed by it;
#  - the signed installer installs and uninstalls under Wine;
#  - the source archive, unpacked where there is no git, builds the same .deb;
#    the zips, the installer and the site hold the notices; every SBOM is
#    valid CycloneDX.
# The last signed release stays in SOURCE_DIR/build-dist/signed-test/, with
# the test's public key and its authority's certificate beside it.
# Tests the commit checked out in SOURCE_DIR (not uncommitted changes).
# Usage: release_test.sh SOURCE_DIR
set -euo pipefail
# A command whose failure ends the test says so, with its line.
trap 'echo "FAIL: line $LINENO of $(basename "${BASH_SOURCE[0]}"): $BASH_COMMAND" >&2' ERR
source="$1"
source "$source/scripts/lib/x11.sh"
source "$source/tests/release/keys.sh"
export MORPH_NO_INSTALL=1  # a test installs no Debian package: missing ones fail it
export MORPH_VIEWER_FACTS=${MORPH_VIEWER_FACTS:-$source/build/viewer-facts.sh}
scratch=$(mktemp -d)
installed=
finish() {
  if [ -n "${nginxPid:-}" ]; then
    kill "$nginxPid" 2>/dev/null || true
  fi
  if [ -n "$installed" ]; then
    dpkg --purge morph-viewer >/dev/null 2>&1 || true
  fi
  rm -rf "$scratch"
}
trap finish EXIT
if dpkg-query -W -f='${Status}' morph-viewer 2>/dev/null | grep -q 'install ok'; then
  fail "morph-viewer is installed on this machine; the test installs and removes it itself: remove it first"
fi

echo "== throwaway keys"
keys=$scratch/keys
mkdir -m 700 "$keys"
make_openpgp_key "$keys" release
make_openpgp_key "$keys" other
make_code_signing "$keys" release
make_code_signing "$keys" other
echo "OpenPGP keys and code-signing certificates made in $keys"
signing=(--gpg-key-file "$keys/release.key" --pkcs12 "$keys/release.p12" --password-file "$keys/release.password")

git clone -q "$source" "$scratch/first"
mkdir -p "$scratch/elsewhere/deeper"
git clone -q "$source" "$scratch/elsewhere/deeper/second"
echo "commit $(git -C "$source" rev-parse HEAD), cloned twice"

# release CLONE [OPTIONS]: the release folder scripts/release made there.
release() {
  local clone=$1
  shift
  (cd "$clone" && ./scripts/release "$@") >"$clone/release.log" 2>&1 || {
    tail -n 40 "$clone/release.log" >&2
    fail "scripts/release failed in $clone"
  }
  grep -q "$keys" "$clone/release.log" && fail "the release's log names the keys' folder"
  echo "$clone/$(tail -n 1 "$clone/release.log")"
}
one=$(release "$scratch/first" "${signing[@]}")
sleep 1.1  # a later second: any date taken from the clock would differ
two=$(release "$scratch/elsewhere/deeper/second" "${signing[@]}")
version=$(basename "$one" | sed 's/^morph-viewer-//')
tail -n 3 "$scratch/first/release.log" | head -n 2 | sed 's/^/  /'

echo "== the release folder, twice"
(cd "$one" && find . -type f | sort | xargs ls -l | awk '{printf "  %10d  %s\n", $5, $9}')
diff <(cd "$one" && find . -type f | sort) <(cd "$two" && find . -type f | sort) ||
  fail "the two release folders hold different files"
while read -r file; do
  cmp -s "$one/$file" "$two/$file" || {
    diffoscope --no-progress --text - "$one/$file" "$two/$file" 2>&1 | head -n 40 || true
    fail "the two builds of $file differ"
  }
done < <(cd "$one" && find . -type f | sort)
echo "every file the same bytes, every signature included; SHA256SUMS:"
sed 's/^/  /' "$one/SHA256SUMS"
(cd "$two" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check"
echo "sha256sum -c SHA256SUMS: OK"
grep -rqa "PRIVATE KEY" "$one" && fail "a private key is in the release folder"
for secret in "$keys/release.key" "$keys/release.p12"; do
  while read -r file; do
    cmp -s "$secret" "$file" && fail "$(basename "$secret") is in the release folder"
  done < <(find "$one" -type f)
done
echo "no private key in the release folder"

source "$source/tests/release/signatures.sh"
source "$source/tests/release/hosting.sh"
source "$source/tests/release/repositories.sh"

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
released=$one/$(basename "$rebuilt")  # this machine's architecture's
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
unzip -Z1 "$site" >"$scratch/site.list"
for language in $(tr _ - <"$source/data/po/LINGUAS"); do
  grep -qx "morph-viewer-$version-web/$language/index.html" "$scratch/site.list" ||
    fail "the site holds no page in $language"
done
echo "the zip, the installer and the site hold the notices, naming freeglut's copyright holder"

echo "== the SBOMs"
(cd "$scratch/first" && node scripts/lib/sbom.mjs check "$one"/*.cdx.json) | sed "s|$scratch/||" ||
  fail "an SBOM is not valid CycloneDX"
for sbom in "$one/morph-viewer-$version-win64.zip.cdx.json" "$one/morph-viewer-$version-win64.exe.cdx.json" \
  "$one/morph-viewer-$version-web.zip.cdx.json"; do
  grep -qE '"name": "freeglut( 8 x 13 font)?"' "$sbom" || fail "$(basename "$sbom") does not list freeglut"
done
echo "the Windows program's and the site's SBOMs list freeglut"

echo "== the signed release, kept for inspection"
kept=$source/build-dist/signed-test
rm -rf "$kept"
mkdir -p "$kept"
cp -a "$three" "$kept/"
cp "$keys/release.asc" "$kept/test-openpgp-key.asc"
cp "$keys/release-ca.pem" "$kept/test-authority.pem"
echo "$kept: $(basename "$three"), the test's public key and its authority's certificate"
echo "PASS"
