# Helpers for driving the viewer on a private X server: start Xvfb, start the
# viewer and find its window, send Escape, read screenshot pixels. Sourced by
# the scripts and the end-to-end tests.

MORPH_WINDOW_TITLE='^foo!$'

# Starts Xvfb on a free display number and exports DISPLAY; Xvfb picks the
# number itself and reports it once it accepts connections. -noreset: by
# default the server resets whenever its last client disconnects, and a client
# connecting during that reset is refused. The server is stopped by
# stop_private_x (call it from an EXIT trap).
start_private_x() {
  local numberFile i
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numberFile" >/dev/null 2>&1 &
  MORPH_XVFB_PID=$!
  for i in $(seq 100); do
    [ -s "$numberFile" ] && break
    sleep 0.1
  done
  if [ ! -s "$numberFile" ]; then
    echo "Xvfb did not start" >&2
    rm -f "$numberFile"
    return 1
  fi
  export DISPLAY=":$(tr -d '\n' <"$numberFile")"
  rm -f "$numberFile"
}

stop_private_x() {
  if [ -n "${MORPH_XVFB_PID:-}" ]; then
    kill "$MORPH_XVFB_PID" 2>/dev/null || true
    wait "$MORPH_XVFB_PID" 2>/dev/null || true
  fi
}

# Prints the id of the viewer's window once it is mapped; fails after $2
# seconds (default 10) or as soon as process $1 has ended.
wait_for_window() {
  local pid=$1 seconds=${2:-10} id i
  for i in $(seq $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "$MORPH_WINDOW_TITLE" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Runs the viewer command "$@" on a private X server and waits for its window.
# Sets VIEWER_PID, WINDOW and WORK (a scratch directory, which also keeps the
# viewer's standard error in $WORK/stderr); all of it is cleaned up when the
# calling shell exits. Fails if no window appears.
launch_viewer() {
  WORK=$(mktemp -d)
  trap cleanup_viewer EXIT
  start_private_x
  "$@" 2>"$WORK/stderr" &
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
# checks that the viewer ends within a second with exit status 1.
expect_escape_ends_viewer() {
  local started status=0
  started=$(date +%s%N)
  xdotool key Escape
  for _ in $(seq 20); do
    kill -0 "$VIEWER_PID" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$VIEWER_PID" 2>/dev/null && fail "Escape did not end the viewer within a second"
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
