#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The Windows build draws the same frames as the Linux build: morph_frames.exe
# under Wine and morph_frames of a Linux build, both on Mesa's llvmpipe on a
# private X server, give byte-identical frames at 12 states (four weights of
# each of the pairs Plane-Wave, ProductWave-RippleDisc and Cylinder-Sphere).
# Usage: frames_test.sh LINUX_MORPH_FRAMES WINDOWS_MORPH_FRAMES_EXE
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/x11.sh"
linux=$1
windows=$2
[ -x "$linux" ] || fail "no Linux build's morph_frames at $linux (scripts/build default makes it)"
work=$(mktemp -d)
trap 'stop_private_x; rm -rf "$work"' EXIT
start_private_x

states=0 same=0
for pair in "0 1" "2 3" "4 5"; do
  set -- $pair
  mkdir -p "$work/linux-$1$2" "$work/windows-$1$2"
  "$linux" --pair "$1" "$2" "$work/linux-$1$2" 100 >/dev/null || fail "morph_frames failed"
  ${MORPH_VIEWER_WRAPPER:+"$MORPH_VIEWER_WRAPPER"} "$windows" --pair "$1" "$2" "$work/windows-$1$2" 100 >/dev/null ||
    fail "morph_frames.exe failed"
  for frame in "$work/linux-$1$2"/frame-*.ppm; do
    name=$(basename "$frame")
    states=$((states + 1))
    if cmp -s "$frame" "$work/windows-$1$2/$name"; then
      same=$((same + 1))
      result="identical"
    else
      result="DIFFERENT: $(differing_pixels "$frame" "$work/windows-$1$2/$name" 2>/dev/null) pixels differ"
    fi
    echo "pair $1 $2, idle call ${name//[^0-9]/}: $result"
  done
done
echo "$same of $states frames byte-identical"
[ "$states" -eq 12 ] || fail "expected 12 frames, got $states"
[ "$same" -eq "$states" ] || fail "the Windows build's frames differ from the Linux build's"
echo "PASS"
