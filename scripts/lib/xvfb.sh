# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# A private X server (Xvfb) for a script or a test: the one way the project
# starts one. Sourced by x11.sh and by on-xvfb, which runs a command on one.

# Starts Xvfb on a free display number and exports DISPLAY; Xvfb picks the
# number itself and reports it once it accepts connections. -noreset: by
# default the server resets whenever its last client disconnects, and a client
# connecting during that reset is refused. The caller stops the server with
# stop_private_x (from its EXIT trap).
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
