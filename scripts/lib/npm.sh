# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The project's npm packages (a driver for Chromium, image comparison), from
# the committed lockfile. Sourced by the scripts of the browser build.

# ensure_npm_packages: npm ci, unless node_modules already matches the lockfile.
ensure_npm_packages() {
  if ! command -v npm >/dev/null 2>&1; then
    ensure_packages npm || return 1
  fi
  if [ node_modules/.package-lock.json -nt package-lock.json ] 2>/dev/null; then
    return 0
  fi
  # puppeteer-core drives Debian's Chromium and downloads no browser.
  # --omit=optional: the SBOM library's XML support (a native module) is not
  # used, and building it would fetch from the network.
  PUPPETEER_SKIP_DOWNLOAD=1 npm ci --omit=optional --no-audit --no-fund --loglevel=error >/dev/null
}
