#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The real program driven with real key presses on a private X server: "1" and
# "2" change what it shows, 2,000 random keys other than Escape leave it running
# and animating, and Escape ends it with status 1 within a second.
# Usage: keys_test.sh VIEWER
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/x11.sh"
# Keys are sent with a short pause after them; the checks below poll for what
# the keys should have brought about rather than trusting the pause.
press() { xdotool key --delay 20 "$@"; sleep 0.1; }

# A mesh blending two different functions changes from shot to shot; with both
# selections on the same function it stands still.
expect_animating() { expect_motion "$window" "$work/$1" "$1"; }
expect_still() { expect_stillness "$window" "$work/$1" "$1"; }

trap cleanup_viewer EXIT
launch_viewer "$1" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
window=$WINDOW
work=$WORK
pid=$VIEWER_PID
xdotool windowfocus --sync "$window"
wait_for_frame "$window" "$work/first.png" || fail "the viewer never drew a frame"
first=0 second=1  # what the selections are, from the keys sent

expect_animating "start (Plane and Wave)"
press 2 2 2 2 2 && second=0
expect_still "2 x5 (Plane and Plane)"
cp "$work/2 x5 (Plane and Plane).b.png" "$work/plane.png"
press 1 && first=1
expect_animating "1 (Wave and Plane)"
press 2 && second=1
expect_still "2 (Wave and Wave)"
n=$(differing_pixels "$work/plane.png" "$work/2 (Wave and Wave).b.png")
echo "Plane against Wave: $n pixels differ"
[ "$n" -ge 2000 ] || fail "the keys did not change the shown function"

# 2,000 random keys, Escape excluded; "1" and "2" among them are counted.
keys=(1 2 3 4 5 6 7 8 9 0 a b c d e f q w x y z A B Q Z space Return Tab BackSpace
      comma period slash minus equal bracketleft F1 F5 F12 Left Right Up Down Delete Home)
storm=()
for _ in $(seq 2000); do
  key=${keys[RANDOM % ${#keys[@]}]}
  storm+=("$key")
  case $key in 1) first=$(((first + 1) % 6)) ;; 2) second=$(((second + 1) % 6)) ;; esac
done
xdotool key --delay 2 "${storm[@]}"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the viewer ended during the key storm"
if [ "$first" -eq "$second" ]; then
  press 1 && first=$(((first + 1) % 6))
fi
echo "after the storm: functions $first and $second"
expect_animating "after 2,000 keys"

expect_escape_ends_viewer
echo "PASS"
