# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The release's signatures, each verified, then refused on a copy altered by
# one byte and against the other key. Sourced by release_test.sh (uses $one,
# $version, $keys, $scratch).

# altered FILE: a copy of FILE with one byte changed (its middle byte).
altered() {
  local copy
  copy=$scratch/altered-$(basename "$1")
  cp "$1" "$copy"
  local at=$(($(stat -c %s "$copy") / 2))
  printf "$(printf '\\%03o' $((($(od -An -tu1 -j "$at" -N1 "$copy") + 1) % 256)))" |
    dd of="$copy" bs=1 seek="$at" conv=notrunc status=none
  echo "$copy"
}

# expect_refused WHAT COMMAND...: COMMAND fails.
expect_refused() {
  local what=$1
  shift
  if "$@" >"$scratch/refused.log" 2>&1; then
    fail "$what was accepted"
  fi
  echo "refused: $what ($(grep -iwE 'bad|failed|not ok|error|mismatch|no public key|nokey|missing|not signed' \
    "$scratch/refused.log" | head -n 1 | cut -c 1-110))"
}

echo "== SHA256SUMS.asc"
keyring=$one/apt/morph-viewer-archive-keyring.pgp
cmp -s <(gpg --batch --dearmor <"$one/morph-viewer-archive-keyring.asc") "$keyring" ||
  fail "the armored public key beside SHA256SUMS is not the repository's"
gpgv --keyring "$keyring" "$one/SHA256SUMS.asc" "$one/SHA256SUMS" 2>&1 | sed 's/^/  /'
expect_refused "SHA256SUMS altered by one byte" gpgv --keyring "$keyring" "$one/SHA256SUMS.asc" "$(altered "$one/SHA256SUMS")"
expect_refused "SHA256SUMS.asc against the other key" gpgv --keyring "$keys/other.pgp" "$one/SHA256SUMS.asc" "$one/SHA256SUMS"

echo "== the .rpms' header signatures"
for name in release other; do
  mkdir -p "$scratch/rpmdb-$name"
  rpm --dbpath "$scratch/rpmdb-$name" --import "$keys/$name.asc"
done
for arch in x86_64 aarch64; do
  rpm=$one/morph-viewer-$version-1.$arch.rpm
  rpm --dbpath "$scratch/rpmdb-release" -K "$rpm" | tee "$scratch/rpm-k.log" | sed "s|$one/|  |"
  grep -q 'signatures OK' "$scratch/rpm-k.log" || fail "rpm -K does not say the $arch .rpm's signature is OK"
  expect_refused "the $arch .rpm altered by one byte" rpm --dbpath "$scratch/rpmdb-release" -K "$(altered "$rpm")"
  expect_refused "the $arch .rpm against the other key" rpm --dbpath "$scratch/rpmdb-other" -K "$rpm"
done

echo "== Authenticode: the program in the zip, in the installer, and the installer"
unzip -p "$one/morph-viewer-$version-win64.zip" "morph-viewer-$version-win64/bin/morph-viewer.exe" \
  >"$scratch/zip-morph-viewer.exe"
7z e -so "$one/morph-viewer-$version-win64.exe" 'bin/morph-viewer.exe' >"$scratch/installed-morph-viewer.exe" 2>/dev/null ||
  fail "7-Zip cannot take the program out of the installer"
cmp -s "$scratch/zip-morph-viewer.exe" "$scratch/installed-morph-viewer.exe" ||
  fail "the installer's program is not the zip's"
for exe in "$scratch/zip-morph-viewer.exe" "$one/morph-viewer-$version-win64.exe"; do
  osslsigncode verify -CAfile "$keys/release-ca.pem" -in "$exe" >"$scratch/verify.log" 2>&1 || {
    cat "$scratch/verify.log" >&2
    fail "osslsigncode does not verify $(basename "$exe")"
  }
  grep -E 'Message digest algorithm|Signer.s certificate|Subject:|Signature verification' "$scratch/verify.log" |
    head -n 4 | sed "s/^/  $(basename "$exe"): /"
  expect_refused "$(basename "$exe") altered by one byte" \
    osslsigncode verify -CAfile "$keys/release-ca.pem" -in "$(altered "$exe")"
  expect_refused "$(basename "$exe") against the other authority" \
    osslsigncode verify -CAfile "$keys/other-ca.pem" -in "$exe"
done
