#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The OpenGL calls of the real program, recorded with apitrace: the start-up
# state, and the first frame's calls in order (camera, axes, 441 facets with
# their lifted outlines, caption, swap). Vertex values are checked for the
# first cell and for the outline lift; the mesh's exact numbers are the unit
# tests' business.
# Usage: gl_calls_test.sh VIEWER
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib/x11.sh"
if [ "${MORPH_SANITIZED:-0}" = 1 ]; then
  export ASAN_OPTIONS=verify_asan_link_order=0  # apitrace preloads its tracer
fi
trace=$(mktemp -u "${TMPDIR:-/tmp}/morph-calls-XXXXXX.trace")
# A wrapper (Wine, for the Windows program) runs inside the tracer, which
# follows it into the program.
wrapper=${MORPH_VIEWER_WRAPPER:-}
unset MORPH_VIEWER_WRAPPER
trap 'rm -f "$trace"; cleanup_viewer' EXIT
launch_viewer apitrace trace -o "$trace" ${wrapper:+"$wrapper"} "$1" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
# The trace must hold a whole first frame: wait until one is shown.
wait_for_frame "$WINDOW" "$WORK/first.png" || fail "the viewer never drew a frame"
xdotool windowfocus --sync "$WINDOW"
expect_escape_ends_viewer

apitrace dump --color=never "$trace" | sed -E 's/^[0-9]+ //' >"$WORK/calls"
[ -s "$WORK/calls" ] || fail "apitrace recorded nothing"

# Start-up, from the first glEnable to the last enabled capability.
awk '/^glEnable\(cap = GL_DEPTH_TEST\)/ { on = 1 } on { print } /GL_COLOR_MATERIAL/ { exit }' \
  "$WORK/calls" >"$WORK/startup"
cat >"$WORK/startup.expected" <<'CALLS'
glEnable(cap = GL_DEPTH_TEST)
glEnable(cap = GL_LIGHTING)
glMatrixMode(mode = GL_PROJECTION)
glLoadIdentity()
glMultMatrixd(m = {2.414213562373095, 0, 0, 0, 0, 2.414213562373095, 0, 0, 0, 0, -1.000020000200002, -1, 0, 0, -0.02000020000200002, 0})
glMatrixMode(mode = GL_MODELVIEW)
glClearColor(red = 0.2, green = 0.2, blue = 0.7, alpha = 1)
glLineWidth(width = 2)
glLightfv(light = GL_LIGHT0, pname = GL_AMBIENT, params = {0.3, 0.3, 0.3, 1})
glLightfv(light = GL_LIGHT0, pname = GL_DIFFUSE, params = {0.5, 0.5, 0.5, 1})
glLightfv(light = GL_LIGHT0, pname = GL_POSITION, params = {0, 0, -10, 0})
glEnable(cap = GL_LIGHT0)
glEnable(cap = GL_COLOR_MATERIAL)
CALLS
diff -u "$WORK/startup.expected" "$WORK/startup" || fail "start-up calls differ"
echo "start-up: 13 calls as expected"

# The first frame. The glyphs of the caption are freeglut's own calls; they are
# reduced to one line a glyph. Mesh vertices and facet normals become
# placeholders, after the outline lift has been checked against the facet.
awk '/^glClear\(/ { on = 1 } on { print } on && /^glXSwapBuffers/ { exit }' "$WORK/calls" |
  awk -F'[=,)]' '
    function fail(why) { print "FAIL: " why > "/dev/stderr"; bad = 1; exit 1 }
    /^glBegin\(mode = GL_LINES\)/ { axes = 1 }
    /^glEnd\(\)/ { axes = 0; mode = "" }
    /^glBegin\(mode = GL_QUADS\)/ { mode = "quad"; n = 0 }
    /^glBegin\(mode = GL_LINE_LOOP\)/ { mode = "loop"; n = 0 }
    /^glVertex3f/ && mode != "" {
      n++
      if (mode == "quad") { qx[n] = $2; qy[n] = $4; qz[n] = $6 }
      else if ($2 != qx[n] || $6 != qz[n] || ($4 - qy[n] - 0.001) ^ 2 > 1e-10)
        fail("outline vertex " n " of cell " cells " is not its corner lifted by 0.001 along Y: " $0)
      if (mode == "quad" && cells == 0) print "first cell: " $0
      if (mode == "loop" && n == 4) cells++
      print "glVertex3f(corner)"; next
    }
    /^glNormal3f/ && !/nx = 0, ny = 0, nz = 0\)/ { print "glNormal3f(facet)"; next }
    /^glPushClientAttrib|^glPixelStorei|^glPopClientAttrib/ { next }
    /^glBitmap\(/ { print "glyph"; next }
    { print }
  ' >"$WORK/frame"
grep '^first cell: ' "$WORK/frame" | sed 's/^first cell: //' >"$WORK/first-cell"
cat >"$WORK/first-cell.expected" <<'CALLS'
glVertex3f(x = -5, y = 0.9589243, z = -5)
glVertex3f(x = -5, y = 0.9589243, z = -4.5)
glVertex3f(x = -4.5, y = 0.9775301, z = -4.5)
glVertex3f(x = -4.5, y = 0.9775301, z = -5)
CALLS
diff -u "$WORK/first-cell.expected" "$WORK/first-cell" || fail "the first frame's first cell is not the Wave's"

{
  cat <<'CALLS'
glClear(mask = GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT)
glColor3f(red = 1, green = 1, blue = 1)
glLoadIdentity()
glMultMatrixf(m = {0.7071068, -0.4082483, 0.5773503, 0, 0, 0.8164966, 0.5773503, 0, -0.7071068, -0.4082483, 0.5773503, 0, 0, 0, 0, 1})
glTranslated(x = -10, y = -10, z = -10)
glBegin(mode = GL_LINES)
glVertex3f(x = -300, y = 0, z = 0)
glVertex3f(x = 300, y = 0, z = 0)
glVertex3f(x = 0, y = -300, z = 0)
glVertex3f(x = 0, y = 300, z = 0)
glVertex3f(x = 0, y = 0, z = -300)
glVertex3f(x = 0, y = 0, z = 300)
glEnd()
CALLS
  for _ in $(seq 441); do
    printf '%s\n' 'glColor3f(red = 1, green = 1, blue = 1)' 'glNormal3f(facet)' 'glBegin(mode = GL_QUADS)' \
      'glVertex3f(corner)' 'glVertex3f(corner)' 'glVertex3f(corner)' 'glVertex3f(corner)' 'glEnd()' \
      'glColor3f(red = 0, green = 0, blue = 0)' 'glNormal3f(nx = 0, ny = 0, nz = 0)' 'glBegin(mode = GL_LINE_LOOP)' \
      'glVertex3f(corner)' 'glVertex3f(corner)' 'glVertex3f(corner)' 'glVertex3f(corner)' 'glEnd()'
  done
  printf '%s\n' 'glColor3f(red = 1, green = 1, blue = 1)' 'glNormal3f(nx = 0, ny = 0, nz = 0)' \
    'glRasterPos4dv(v = {-12, 3, 0, 1})'
  for _ in $(seq 38); do echo glyph; done
  echo 'glFlush()'
} >"$WORK/frame.expected"
grep -v '^first cell: ' "$WORK/frame" | sed -E 's/^glXSwapBuffers.*/swap/' >"$WORK/frame.actual"
echo swap >>"$WORK/frame.expected"
diff -u "$WORK/frame.expected" "$WORK/frame.actual" | head -40 || true
cmp -s "$WORK/frame.expected" "$WORK/frame.actual" || fail "the first frame's calls differ"
echo "first frame: $(wc -l <"$WORK/frame.actual") calls as expected (441 cells, 38 glyphs)"
echo "PASS"
