#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# A cross build draws the same frames as the native build: its morph_frames,
# run through $MORPH_VIEWER_WRAPPER (Wine for the Windows build, qemu-user for
# the arm64 one), and morph_frames of the native x86-64 Linux build, both on
# Mesa's llvmpipe on a private X server, give byte-identical frames at 12
# states (four weights of each of the pairs Plane-Wave, ProductWave-RippleDisc
# and Cylinder-Sphere).
# Usage: frames_test.sh NATIVE_MORPH_FRAMES CROSS_MORPH_FRAMES
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/x11.sh"
native=$1
cross=$2
[ -x "$native" ] || fail "no native build's morph_frames at $native (scripts/build default makes it)"
work=$(mktemp -d)
trap 'stop_private_x; rm -rf "$work"' EXIT
start_private_x

states=0 same=0
for pair in "0 1" "2 3" "4 5"; do
  set -- $pair
  mkdir -p "$work/native-$1$2" "$work/cross-$1$2"
  "$native" --pair "$1" "$2" "$work/native-$1$2" 100 >/dev/null || fail "morph_frames failed"
  ${MORPH_VIEWER_WRAPPER:+"$MORPH_VIEWER_WRAPPER"} "$cross" --pair "$1" "$2" "$work/cross-$1$2" 100 >/dev/null ||
    fail "the cross build's morph_frames failed"
  for frame in "$work/native-$1$2"/frame-*.ppm; do
    name=$(basename "$frame")
    states=$((states + 1))
    if cmp -s "$frame" "$work/cross-$1$2/$name"; then
      same=$((same + 1))
      result="identical"
    else
      result="DIFFERENT: $(differing_pixels "$frame" "$work/cross-$1$2/$name" 2>/dev/null) pixels differ"
    fi
    echo "pair $1 $2, idle call ${name//[^0-9]/}: $result"
  done
done
echo "$same of $states frames byte-identical"
[ "$states" -eq 12 ] || fail "expected 12 frames, got $states"
[ "$same" -eq "$states" ] || fail "the cross build's frames differ from the native build's"
echo "PASS"
