// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Serves the site folder on 127.0.0.1 until stopped.
// Usage: node web-serve.mjs SITE_DIR PORT
import { serveSite } from './web.mjs';

const [site, port = '8000'] = process.argv.slice(2);
const { url } = await serveSite(site, Number(port));
console.log(`The viewer is at ${url} (serving ${site}; Ctrl+C stops)`);
