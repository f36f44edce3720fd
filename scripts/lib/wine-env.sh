# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The Wine settings of the project's Windows programs, sourced by wine-run and
# wine-session: the project's own 64-bit prefix, Mono, Gecko and Wine's menu
# builder left out, Wine's own diagnostics silenced.
#   WINEPREFIX: the prefix (default: ~/.cache/morph-viewer/wine)
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/morph-viewer/wine}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
