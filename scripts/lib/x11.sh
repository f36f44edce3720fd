# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Helpers for driving the viewer on a private X server: start Xvfb, start the
# viewer and find its window, send Escape, read screenshot pixels. Sourced by
# the scripts and the end-to-end tests.

source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

# The window's title, size and clear colour (MORPH_WINDOW_TITLE,
# MORPH_WINDOW_SIZE, MORPH_CLEAR_RGB),
# as the build writes them from the viewer's own headers: the file of the
# build under test (ctest sets MORPH_VIEWER_FACTS), else the default build's.
# Without that file (no build yet) only the helpers that need no viewer work.
morph_facts=${MORPH_VIEWER_FACTS:-$(dirname "${BASH_SOURCE[0]}")/../../build/viewer-facts.sh}
if [ -f "$morph_facts" ]; then
  source "$morph_facts"
fi

# Prints the id of the viewer's window once it is mapped; fails after $2
# seconds (default 10) or as soon as process $1 has ended.
wait_for_window() {
  local pid=$1 seconds=${2:-10} id i
  for i in $(seq $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "^${MORPH_WINDOW_TITLE}\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Runs the viewer command "$@" on a private X server and waits for its window;
# through $MORPH_VIEWER_WRAPPER where that is set (scripts/lib/wine-run for the
# Windows program).
# Sets VIEWER_PID, WINDOW and WORK (a scratch directory, which also keeps the
# viewer's standard error in $WORK/stderr); cleanup_viewer ends and removes
# all of it (callers run it from their EXIT trap). Fails if no window appears.
launch_viewer() {
  [ -n "${MORPH_WINDOW_TITLE:-}" ] || { echo "No $morph_facts: build the viewer first (scripts/build)" >&2; return 1; }
  WORK=$(mktemp -d)
  start_private_x
  ${MORPH_VIEWER_WRAPPER:+"$MORPH_VIEWER_WRAPPER"} "$@" 2>"$WORK/stderr" &
  VIEWER_PID=$!
  if ! WINDOW=$(wait_for_window "$VIEWER_PID" 20); then
    sed 's/^/viewer: /' "$WORK/stderr" >&2
    return 1
  fi
}

cleanup_viewer() {
  if [ -n "${VIEWER_PID:-}" ]; then
    kill "$VIEWER_PID" 2>/dev/null || true
  fi
  stop_private_x
  rm -rf "${WORK:-}"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Presses Escape (as a real key press: the window must have the focus) and
# checks that the viewer ends with exit status 1. It normally ends within a
# few milliseconds; the bound of five seconds leaves room for a loaded machine
# and still fails a viewer that ignores Escape.
expect_escape_ends_viewer() {
  local started status=0
  started=$(date +%s%N)
  xdotool key Escape
  for _ in $(seq 100); do
    kill -0 "$VIEWER_PID" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$VIEWER_PID" 2>/dev/null && fail "Escape did not end the viewer within 5 s"
  wait "$VIEWER_PID" || status=$?
  VIEWER_PID=
  echo "Escape: exit status $status after $((($(date +%s%N) - started) / 1000000)) ms"
  [ "$status" -eq 1 ] || fail "exit status $status after Escape, not 1"
}

# Prints "R G B" (0..255) of pixel (x, y), top-left origin, of an image file.
pixel_of() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 -format '%[fx:round(255*r)] %[fx:round(255*g)] %[fx:round(255*b)]\n' info:
}

# Counts the pixels of a WxH+X+Y region of an image within 3 of colour R G B.
count_colour_pixels() {
  convert "$1" -crop "$2" +repage -depth 8 txt:- |
    awk -v r="$3" -v g="$4" -v b="$5" -F'[(),]' 'NR > 1 {
      split(r " " g " " b, want, " ")
      ok = 1
      for (i = 3; i <= 5; i++) { d = $i - want[i - 2]; if (d < -3 || d > 3) ok = 0 }
      n += ok
    } END { print n + 0 }'
}

# Counts the pixels of a WxH+X+Y region within 3 of grey level $3.
count_grey_pixels() {
  count_colour_pixels "$1" "$2" "$3" "$3" "$3"
}

# Prints how many pixels differ between two images of the same size.
differing_pixels() {
  compare -metric AE "$1" "$2" null: 2>&1 || true
}

# Saves two screenshots of window $1, $3 seconds apart, to $2.a.png and
# $2.b.png, and prints how many pixels differ between them.
motion_between_shots() {
  import -window "$1" "$2.a.png"
  sleep "$3"
  import -window "$1" "$2.b.png"
  differing_pixels "$2.a.png" "$2.b.png"
}

# What the end-to-end checks call motion and stillness: pixels that differ
# between two screenshots 0.3 s apart. A morph between two different functions
# changes thousands; equal selections change none but a stray few.
readonly MORPH_MOTION_PIXELS=500
readonly MORPH_STILL_PIXELS=20
readonly MORPH_SHOT_GAP=0.3

# Every check below waits for what it expects with a bounded poll instead of
# looking once after a fixed pause: on a loaded machine the first frames (Mesa
# compiles its shaders then), key presses and resizes can take far longer than
# usual to show. The bounds only decide how long a failure takes to report.

# Waits until window $1 shows a drawn frame: its top-right 10 x 10 pixels are
# the clear colour (until the first swap the window is black). Saves that
# frame as $2. Fails after $3 seconds (default 20), naming the corner's colour.
wait_for_frame() {
  local window=$1 shot=$2 seconds=${3:-20} deadline
  deadline=$((SECONDS + seconds))
  while :; do
    # shellcheck disable=SC2086  # three channels
    if import -window "$window" "$shot" 2>/dev/null &&
      [ "$(count_colour_pixels "$shot" 10x10+385+5 $MORPH_CLEAR_RGB)" -eq 100 ]; then
      return 0
    fi
    [ "$SECONDS" -lt "$deadline" ] || break
    sleep 0.1
  done
  echo "no drawn frame within ${seconds} s: the top-right pixel is $(pixel_of "$shot" 395 5 2>/dev/null)" >&2
  return 1
}

# poll_shots WINDOW PREFIX SECONDS TEST: takes pairs of shots (PREFIX.a.png,
# PREFIX.b.png) until the count of differing pixels passes TEST ("motion" or
# "still"), for at most SECONDS. Prints the count that passed, or else the
# one nearest to passing; succeeds only when one passed.
poll_shots() {
  local window=$1 prefix=$2 seconds=$3 test=$4 deadline n best=
  deadline=$((SECONDS + seconds))
  while :; do
    n=$(motion_between_shots "$window" "$prefix" "$MORPH_SHOT_GAP")
    case $test in
      motion)
        if [ "$n" -ge "$MORPH_MOTION_PIXELS" ]; then echo "$n"; return 0; fi
        if [ -z "$best" ] || [ "$n" -gt "$best" ]; then best=$n; fi ;;
      still)
        if [ "$n" -le "$MORPH_STILL_PIXELS" ]; then echo "$n"; return 0; fi
        if [ -z "$best" ] || [ "$n" -lt "$best" ]; then best=$n; fi ;;
    esac
    [ "$SECONDS" -lt "$deadline" ] || break
  done
  echo "$best"
  return 1
}

# expect_motion WINDOW PREFIX LABEL [SECONDS]: the window animates within
# SECONDS (default 5); fails with the most motion it saw.
expect_motion() {
  local n
  n=$(poll_shots "$1" "$2" "${4:-5}" motion) ||
    fail "$3: the mesh is not animating: at most $n pixels changed in ${MORPH_SHOT_GAP} s, over ${4:-5} s"
  echo "$3: $n pixels changed in ${MORPH_SHOT_GAP} s"
}

# expect_stillness WINDOW PREFIX LABEL [SECONDS]: the window stands still
# within SECONDS (default 5); fails with the least motion it saw.
expect_stillness() {
  local n
  n=$(poll_shots "$1" "$2" "${4:-5}" still) ||
    fail "$3: the mesh is not standing still: at least $n pixels changed in ${MORPH_SHOT_GAP} s, over ${4:-5} s"
  echo "$3: $n pixels changed in ${MORPH_SHOT_GAP} s"
}
