#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The real program's window resized to odd shapes and back: it keeps running
# and animating, and the image stretches with the window.
# Usage: resize_test.sh VIEWER
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/x11.sh"
trap cleanup_viewer EXIT
launch_viewer "$1" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
window=$WINDOW
work=$WORK
pid=$VIEWER_PID
wait_for_frame "$window" "$work/first.png" || fail "the viewer never drew a frame"

# Back to the window's own size last.
IFS=x read -r width height <<<"$MORPH_WINDOW_SIZE"
for size in "1 1" "1000 200" "200 800" "$width $height"; do
  set -- $size
  xdotool windowsize --sync "$window" "$1" "$2"
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || fail "the viewer ended at $1 x $2"
  import -window "$window" "$work/shot.png"
  shown=$(identify -format '%wx%h' "$work/shot.png")
  echo "window $1 x $2: screenshot $shown"
  [ "$shown" = "${1}x${2}" ] || fail "window is $shown, not ${1}x${2}"
done

# Stretched, not cropped: at 1000 x 200 the mesh spans most of the width once
# the viewer has drawn at that size.
xdotool windowsize --sync "$window" 1000 200
deadline=$((SECONDS + 5))
while :; do
  import -window "$window" "$work/wide.png"
  # shellcheck disable=SC2086 # the colour is three numbers
  scene=$((1000 - $(count_colour_pixels "$work/wide.png" 1000x1+0+150 $MORPH_CLEAR_RGB)))
  [ "$scene" -ge 500 ] || [ "$SECONDS" -ge "$deadline" ] && break
  sleep 0.1
done
echo "row 150 at 1000 x 200: $scene of 1000 pixels show the scene"
[ "$scene" -ge 500 ] || fail "the scene does not stretch across the wide window"

xdotool windowsize --sync "$window" "$width" "$height"
expect_motion "$window" "$work/back" "back at $width x $height"
echo "PASS"
