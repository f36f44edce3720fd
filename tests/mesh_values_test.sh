#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The stream of tools/mesh_values, which the exactness check digests: its
# length and layout (the first cell, Plane with Plane at weight 0, in the
# order of the GL calls), and that --compare tells equal streams from ones
# that differ in a single bit or are a value short.
# Usage: mesh_values_test.sh MESH_VALUES
set -euo pipefail
values=$1
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
stream=$(mktemp)
trap 'rm -f "$stream" "$stream".*' EXIT
"$values" >"$stream"

readonly kValues=$((36 * 402 * 441 * 27))  # pairs x weights x cells x floats
[ "$(stat -c %s "$stream")" -eq $((kValues * 4)) ] || fail "the stream is not $kValues floats long"

# Normal, four corners, four corners lifted by 0.001 (as float) along Y.
mapfile -t first < <(head -c 108 "$stream" | od -A n -t f4 -v | tr -s ' ' '\n' | sed '/^$/d')
expected=(0 -1 0 -5 0 -5 -5 0 -4.5 -4.5 0 -4.5 -4.5 0 -5
  -5 0.001 -5 -5 0.001 -4.5 -4.5 0.001 -4.5 -4.5 0.001 -5)
[ "${first[*]}" = "${expected[*]}" ] || fail "first cell: ${first[*]}"
echo "$kValues values; the first cell is the plane's"

compare() {
  local status=0
  "$values" --compare "$1" >"$stream.out" || status=$?
  tail -n 1 "$stream.out"
  return "$status"
}
compare "$stream" || fail "a stream differs from itself"

# Flip the lowest bit of value 1,000,000 (a little-endian float: its first byte).
offset=$((1000000 * 4))
byte=$(od -A n -t u1 -j "$offset" -N 1 "$stream" | tr -d ' ')
printf "$(printf '\\%03o' $((byte ^ 1)))" | dd of="$stream" bs=1 seek="$offset" conv=notrunc status=none
status=0
compare "$stream" || status=$?
[ "$status" -eq 1 ] && grep -q "^1 of $kValues values differ" "$stream.out" || fail "one flipped bit went unseen"

truncate -s $(((kValues - 1) * 4)) "$stream"
status=0
compare "$stream" || status=$?
[ "$status" -eq 2 ] || fail "a stream one value short was accepted"
echo "PASS"
