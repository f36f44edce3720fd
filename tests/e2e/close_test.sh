#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Closing the real program's window, as a window manager's close button asks
# it to, ends the program with exit status 0.
# Usage: close_test.sh VIEWER
set -euo pipefail
here=$(dirname "$0")
source "$here/../../scripts/lib/x11.sh"
if [ "${MORPH_SANITIZED:-0}" = 1 ]; then
  # On a close, freeglut destroys the GL context and Mesa unloads its driver
  # before the leak check, which then sees the driver's last blocks as lost
  # from an unknown module that no suppression can name. Leak checking stays
  # on for Escape (the other end-to-end tests) and the GL frame tests.
  export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
fi
trap cleanup_viewer EXIT
launch_viewer "$1" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
wait_for_frame "$WINDOW" "$WORK/first.png" || fail "the viewer never drew a frame"

started=$(date +%s%N)
# Debian's python3 (close_window.py's first line), which has python3-xlib.
"$here/close_window.py" "$WINDOW" || fail "could not ask the window to close"
# Wine takes about two seconds, waiting for a window manager that never comes.
for _ in $(seq 200); do
  kill -0 "$VIEWER_PID" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$VIEWER_PID" 2>/dev/null && fail "the viewer did not end within 10 s of the close request"
status=0
wait "$VIEWER_PID" || status=$?
VIEWER_PID=
echo "closed: exit status $status after $((($(date +%s%N) - started) / 1000000)) ms"
if [ "$status" -ne 0 ]; then
  sed 's/^/viewer: /' "$WORK/stderr" | head -n 40 >&2
  fail "exit status $status after closing, not 0"
fi
echo "PASS"
