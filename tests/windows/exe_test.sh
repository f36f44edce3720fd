#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# morph-viewer.exe as Windows sees it: a 64-bit GUI program that imports only
# Windows' own DLLs (freeglut, the C++ runtime, libgcc and winpthread are
# linked in), with address space layout randomisation (high entropy) and
# no-execute data (DEP), the stack protector, and its icon and version
# information among its resources.
# Usage: exe_test.sh MORPH_VIEWER_EXE
set -euo pipefail
exe=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
headers=$(x86_64-w64-mingw32-objdump -p "$exe")

grep -q '^Magic[[:space:]]*020b' <<<"$headers" || fail "not a PE32+ (64-bit) program"
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || fail "not a GUI program: $(grep '^Subsystem' <<<"$headers")"

# Windows' own DLLs: the kernel, user interface, graphics and C runtime
# libraries every Windows has. Anything else would have to ship beside it.
imports=$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)
echo "imports: $(tr '\n' ' ' <<<"$imports")"
while read -r dll; do
  case $dll in
    kernel32.dll | user32.dll | gdi32.dll | winmm.dll | opengl32.dll | glu32.dll | msvcrt.dll | advapi32.dll) ;;
    *) fail "imports $dll, which is not one of Windows' own DLLs" ;;
  esac
done <<<"$imports"
grep -qx opengl32.dll <<<"$imports" || fail "does not import opengl32.dll"

characteristics=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
echo "$characteristics" | sed -n '1,6p'
for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
  grep -q "$flag" <<<"$characteristics" || fail "DllCharacteristics lack $flag"
done

# The stack protector's guard and failure handler are linked in.
symbols=$(x86_64-w64-mingw32-nm "$exe")
grep -q ' T __stack_chk_fail$' <<<"$symbols" || fail "no stack protector in the program"

# Resources: an icon group and version information naming the product (its
# strings are UTF-16).
grep -q 'Resource Directory' <<<"$headers" || fail "no resources"
texts=$(strings -el "$exe")
grep -qx 'Morph Viewer' <<<"$texts" || fail "no version information naming Morph Viewer"
grep -q 'Copyright (c) 2026 The morph-viewer authors' <<<"$texts" || fail "no copyright in the version information"
grep -q 'GLUT_ICON' <<<"$texts" || fail "no icon named GLUT_ICON"
echo "PASS"
