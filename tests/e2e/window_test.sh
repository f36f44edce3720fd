#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The real program on a private X server: its window maps at (100, 100) (or
# where the platform puts it) with a 400 x 400 client area, titled "foo!", and
# shows the clear colour and the grey caption.
# Usage: window_test.sh VIEWER
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/x11.sh"
trap cleanup_viewer EXIT
launch_viewer "$1" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
window=$WINDOW
work=$WORK

geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
# Where the client area lands: at (100, 100) with X11's freeglut; the Windows
# program places its frame there, and Wine's decorations shift the client
# area (MORPH_CLIENT_POSITION says where to).
position=${MORPH_CLIENT_POSITION:-100,100}
grep -q "Position: $position " <<<"$geometry" || fail "client area not at ($position)"
grep -q 'Geometry: 400x400$' <<<"$geometry" || fail "client area not 400 x 400"
[ "$(xdotool getwindowname "$window")" = "foo!" ] || fail "title is not foo!"

wait_for_frame "$window" "$work/shot.png" || fail "the viewer never drew a frame"
[ "$(identify -format '%wx%h' "$work/shot.png")" = 400x400 ] || fail "screenshot is not 400 x 400"

read -r r g b < <(pixel_of "$work/shot.png" 395 5)
echo "top-right pixel: $r $g $b"
for pair in "$r 51" "$g 51" "$b 179"; do
  set -- $pair
  [ $(( $1 - $2 )) -le 3 ] && [ $(( $2 - $1 )) -le 3 ] || fail "top-right corner is not the clear colour"
done

# The caption's glyphs stand about 30 to 45 px below the top edge, from x = 18 on.
grey=$(count_grey_pixels "$work/shot.png" 170x20+18+28 128)
echo "grey caption pixels left of the axis: $grey"
[ "$grey" -ge 150 ] || fail "no grey caption in the screenshot"
echo "PASS"
