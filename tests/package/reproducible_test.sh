#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The packages are reproducible: two fresh clones of the same commit, in
# different folders, built at different times with a different umask, time
# zone and locale, make byte-identical packages (.deb and .rpm by default;
# "windows": the installer and the zip; "web": the files of the browser
# build's site folder). Where they differ, diffoscope shows the first
# differences.
# Tests the commit checked out in SOURCE_DIR (not uncommitted changes).
# Usage: reproducible_test.sh SOURCE_DIR [KIND...]   (KIND: deb, rpm, windows, web)
set -euo pipefail
source="$1"
source "$source/scripts/lib/x11.sh"
export MORPH_NO_INSTALL=1  # a test installs nothing: missing tools fail it
commit=$(git -C "$source" rev-parse HEAD) || fail "$source is not a git checkout"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

git clone -q "$source" "$scratch/first"
mkdir -p "$scratch/elsewhere/deeper"
git clone -q "$source" "$scratch/elsewhere/deeper/second"
echo "commit $commit, cloned twice"

# build CLONE KIND [ENV...]: the packages' paths (the lines after the build
# log's last line that is not a path), built from CLONE.
build() {
  local clone=$1 kind=$2 log
  shift 2
  log=$clone/package-$kind.log
  if [ "$kind" = web ]; then
    env "$@" "$clone/scripts/build" web >"$log" 2>&1 || {
      tail -n 30 "$log" >&2
      fail "scripts/build web failed in $clone"
    }
    # Every file of the site folder, its subfolders too, in sorted order.
    find "$clone/build-web/site" -type f | LC_ALL=C sort
    return
  fi
  env "$@" "$clone/scripts/package" "$kind" "$clone/build-$kind" >"$log" 2>&1 || {
    tail -n 30 "$log" >&2
    fail "scripts/package $kind failed in $clone"
  }
  case $kind in
    windows) tail -n 2 "$log" ;;
    *) tail -n 1 "$log" ;;
  esac
}

kinds=("${@:2}")
[ ${#kinds[@]} -gt 0 ] || kinds=(deb rpm)
for kind in "${kinds[@]}"; do
  mapfile -t one < <(umask 022 && build "$scratch/first" "$kind" TZ=UTC LC_ALL=C.UTF-8)
  sleep 1.1  # a later second: any date taken from the clock would differ
  mapfile -t two < <(umask 002 && build "$scratch/elsewhere/deeper/second" "$kind" TZ=Asia/Tokyo LC_ALL=C)
  [ ${#one[@]} -gt 0 ] && [ ${#one[@]} -eq ${#two[@]} ] || fail "the two $kind builds made different sets of packages"
  for i in "${!one[@]}"; do
    [ -f "${one[$i]}" ] && [ -f "${two[$i]}" ] || fail "no package at ${one[$i]} or ${two[$i]}"
    sha256sum "${one[$i]}" "${two[$i]}" | sed "s|$scratch/||"
    if ! cmp -s "${one[$i]}" "${two[$i]}"; then
      diffoscope --no-progress --text - "${one[$i]}" "${two[$i]}" 2>&1 | head -n 60 || true
      fail "the two builds of $(basename "${one[$i]}") differ"
    fi
  done
done
echo "PASS"
