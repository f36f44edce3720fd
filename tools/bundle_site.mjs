// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's scripts and style for the wire: bundled and minified by esbuild
// (pinned in the lockfile), each with its source map beside it, from the
// modules as written (data/web, with what the build writes: the viewer's
// facts, the languages and Emscripten's module) into the site folder:
//   page.js          the page's modules in one, loaded by every page
//   viewer-worker.js the viewer's worker with viewer.js, protocol.js and
//                    Emscripten's module in it: the worker fetches one script
//                    and then the wasm
//   viewer.js        the same viewer on the page's own thread, imported by
//                    page.js only where a worker cannot draw
//   language.js      the classic script of the head, minified alone
//   style.css        the page's style with the viewer's facts in it
// and, with --service-worker, once every other file of the site is written:
//   sw.js            the service worker, with the files' SHA-256 in it
// The output depends on the inputs alone (no times, and paths relative to the
// site folder), so the site stays the same bytes from build to build.
// Usage: node tools/bundle_site.mjs [--service-worker] MODULES_DIR SITE_DIR
import { build } from 'esbuild';

const serviceWorker = process.argv[2] === '--service-worker';
const [modules, site] = process.argv.slice(serviceWorker ? 3 : 2);
if (!modules || !site) {
  console.error('usage: node tools/bundle_site.mjs [--service-worker] MODULES_DIR SITE_DIR');
  process.exit(2);
}

const common = {
  absWorkingDir: modules,
  bundle: true,
  minify: true,
  sourcemap: 'linked',
  charset: 'utf8',
  legalComments: 'none',
  logLevel: 'warning',
  outdir: site,
};

if (serviceWorker) {
  // A classic script, as service workers are registered here.
  await build({ ...common, entryPoints: ['sw.js'], bundle: false });
  process.exit(0);
}

await Promise.all([
  // The page: viewer.js stays a module of its own, fetched only by the
  // fallback to the page's thread.
  build({ ...common, entryPoints: ['page.js'], format: 'esm', external: ['./viewer.js'] }),
  build({ ...common, entryPoints: ['viewer-worker.js', 'viewer.js'], format: 'esm' }),
  // A classic script: no module wrapper, its globals as they are.
  build({ ...common, entryPoints: ['language.js'], bundle: false }),
  // The style, with viewer-facts.css (imported) in it.
  build({ ...common, entryPoints: ['style.css'] }),
]);
