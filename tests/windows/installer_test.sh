#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The Windows installer and zip, packed by CPack from a Windows build, in a
# fresh Wine prefix: a silent install (/S) puts the program, its licence, the
# Start-menu shortcut and the uninstall entry (version, publisher) in place;
# the installed program maps its window and ends with status 1 on Escape; a
# silent uninstall leaves none of its files, shortcuts or registry keys. The
# zip holds the program, its licence and the notices of what it bundles.
# With INSTALLER, that installer (and the zip beside it, as a release holds
# them) instead of a new one; with MORPH_UNINSTALLER_CA too, the uninstaller
# it installed must carry an Authenticode signature of that authority.
# Usage: installer_test.sh SOURCE_DIR WINDOWS_BUILD_DIR [INSTALLER]
set -euo pipefail
# A command whose failure ends the test says so, with its line.
trap 'echo "FAIL: line $LINENO of $(basename "${BASH_SOURCE[0]}"): $BASH_COMMAND" >&2' ERR
source="$1"
build="$2"
given=${3:-}
source "$source/scripts/lib/x11.sh"
wine_run=$source/scripts/lib/wine-run
scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix
trap 'WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT

if [ -n "$given" ]; then
  installer=$given
  zip=${given%.exe}.zip
else
  cpack --config "$build/CPackConfig.cmake" -B "$scratch/packages" >"$scratch/cpack.log" 2>&1 || {
    tail -n 30 "$scratch/cpack.log" >&2
    fail "cpack failed"
  }
  installer=$(ls "$scratch"/packages/morph-viewer-*-win64.exe)
  zip=$(ls "$scratch"/packages/morph-viewer-*-win64.zip)
fi
version=$(basename "$installer" | sed -E 's/^morph-viewer-(.*)-win64\.exe$/\1/')
echo "installer $(basename "$installer") ($(stat -c %s "$installer") bytes), zip $(basename "$zip") ($(stat -c %s "$zip") bytes)"

echo "== zip"
unzip -Z1 "$zip" | sort | tee "$scratch/zip.list"
for file in bin/morph-viewer.exe bin/NOTICES.txt LICENSE.txt; do
  grep -qx "morph-viewer-$version-win64/$file" "$scratch/zip.list" || fail "the zip lacks $file"
done

echo "== silent install in a fresh prefix"
"$wine_run" cmd /c exit 0  # makes the prefix
drive=$WINEPREFIX/drive_c
snapshot() { (cd "$drive" && find . -path ./windows -prune -o -print | sort); }
snapshot >"$scratch/before"
"$wine_run" "$installer" /S
wineserver -w
snapshot >"$scratch/installed"
echo "added by the installer:"
comm -13 "$scratch/before" "$scratch/installed" | sed 's/^/  /' | tee "$scratch/added"

app="$drive/Program Files/Morph Viewer"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Morph Viewer"
for file in "$app/bin/morph-viewer.exe" "$app/bin/NOTICES.txt" "$app/LICENSE.txt" "$app/Uninstall.exe" \
  "$menu/Morph Viewer.lnk"; do
  [ -f "$file" ] || fail "not installed: ${file#"$drive/"}"
done
if [ -n "${MORPH_UNINSTALLER_CA:-}" ]; then
  osslsigncode verify -CAfile "$MORPH_UNINSTALLER_CA" -in "$app/Uninstall.exe" >"$scratch/verify.log" 2>&1 || {
    cat "$scratch/verify.log" >&2
    fail "the installed uninstaller carries no valid signature"
  }
  echo "uninstaller: $(grep -m 1 -E '^Signature verification' "$scratch/verify.log")"
fi
cmp -s "$app/LICENSE.txt" "$source/LICENSE" || fail "the installed licence is not the project's"
cmp -s "$app/bin/NOTICES.txt" "$build/notices/NOTICES.txt" || fail "the installed notices are not the build's"
grep -q "Pawel W. Olszta" "$app/bin/NOTICES.txt" || fail "the notices do not name freeglut's copyright holder"

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morph Viewer'
"$wine_run" reg query "$uninstall_key" >"$scratch/entry" 2>/dev/null || fail "no uninstall entry"
tr -d '\r' <"$scratch/entry" | grep -E 'DisplayName|DisplayVersion|Publisher|UninstallString|DisplayIcon' | sed 's/^ */  /'
tr -d '\r' <"$scratch/entry" | grep -Eq "DisplayVersion +REG_SZ +$version$" || fail "the entry lacks version $version"
tr -d '\r' <"$scratch/entry" | grep -Eq 'Publisher +REG_SZ +The morph-viewer authors$' || fail "the entry lacks the publisher"

vendor_key='HKLM\Software\The morph-viewer authors'
"$wine_run" reg query "$vendor_key\Morph Viewer" >/dev/null 2>&1 || fail "no key $vendor_key\Morph Viewer"

echo "== the installed program"
(
  MORPH_VIEWER_WRAPPER=$wine_run
  trap cleanup_viewer EXIT
  launch_viewer "$app/bin/morph-viewer.exe" || fail "no window titled $MORPH_WINDOW_TITLE appeared"
  wait_for_frame "$WINDOW" "$WORK/first.png" || fail "the installed viewer never drew a frame"
  xdotool windowfocus --sync "$WINDOW" || fail "could not focus the window"
  expect_escape_ends_viewer
) || exit 1

echo "== silent uninstall"
"$wine_run" "$app/Uninstall.exe" /S
wineserver -w  # the uninstaller runs on from a copy of itself
snapshot >"$scratch/after"
left=$(comm -12 "$scratch/added" <(sed 's/^/  /' "$scratch/after") || true)
[ -z "$left" ] || fail "left behind after uninstalling: $left"
echo "none of the added files is left"
for key in "$uninstall_key" "$vendor_key"; do
  if "$wine_run" reg query "$key" >/dev/null 2>&1; then
    fail "registry key left behind: $key"
  fi
done
echo "no uninstall entry, no vendor key"
echo "PASS"
