# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The project's npm packages (the bundler of the page's scripts, a driver for
# Chromium, image comparison), from the committed lockfile. Sourced by the
# scripts of the browser build.

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
  # used, and building it would fetch from the network. It would leave out
  # esbuild's binary too, which package.json therefore names itself
  # (@esbuild/linux-x64: the site is built on x86-64 Linux).
  PUPPETEER_SKIP_DOWNLOAD=1 npm ci --omit=optional --no-audit --no-fund --loglevel=error >/dev/null
}

# page_tests: the command that runs the page's tests (tests/web/), one file
# per core side by side (each file starts browsers of its own; one at a time
# leaves a core idle while a browser starts or a page loads), on Xvfb where
# there is no display (Firefox and WebKitGTK draw WebGL 2 only in a window).
# Node.js before 20.10 runs them one at a time. Sets the array page_tests.
page_tests() {
  page_tests=(node --test)
  if node -e 'const [major, minor] = process.versions.node.split(".").map(Number);
      process.exit(major > 20 || (major === 20 && minor >= 10) ? 0 : 1)'; then
    page_tests+=(--test-concurrency="$(nproc)")
  fi
  page_tests+=(tests/web/)
  [ -n "${DISPLAY:-}" ] || page_tests=(scripts/lib/on-xvfb "${page_tests[@]}")
}
