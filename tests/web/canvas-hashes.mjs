// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The SHA-256 of the page's canvas pixels (RGBA, rows from the top) at ratio 1
// in the 13 compared states of frames.mjs, in their order, as Debian's
// Chromium draws them with SwiftShader; and those hashes run together and
// hashed. frames.test.mjs compares them where the Chromium is this one: a
// change that alters a frame shows there. A change meant to alter frames
// records the new hashes, which that test prints.
export const kCanvasHashes = Object.freeze({
  engine: 'Chrome/156.0.8078.129',
  states: Object.freeze([
    '739c6395d4f4f072ea34083cd1378dee69c95ad7069a47ad274443ca956bdd17',
    '739c6395d4f4f072ea34083cd1378dee69c95ad7069a47ad274443ca956bdd17',
    '76a3cf1960b98d916768cdc7c5b61cadded78017208da5c46cff15dfa2b5ac1d',
    '6a41ce5d30576bd5ba97dcc92274a6e28c1b5a59cec37c3209e09573ef046203',
    '271325c13bec8a98ab6e23b4842fe5646d6edb7d8a97c60cf0595669a2d8dd18',
    '271325c13bec8a98ab6e23b4842fe5646d6edb7d8a97c60cf0595669a2d8dd18',
    'a10223bfd9416504a48fdd78c154def1c831b43bd922dd8b103e419c4d11fdb0',
    '2d00f031de854b3ab679525308e3594dfe0e9cd13e8142ccd01ca7d3a768fe2b',
    '0dc6f4104e299db3e614e2fd415982ff81aa041e63618222d108adb661b00beb',
    'fce1e4a991d493d19e741aadb5da16ded46969032ec99d2ced5efeba20d306f9',
    'e05083e43a0769d3f9d811e74a49124900f7e5903e06eca3d1e4f9c39cfaa229',
    'a0661de2a4ac197e9f1e84f7ed17230975bd5ff4b88345d474f34a61f8d3eedc',
    'c4783e7720f1b2e4faf17fbeb207711299f41f997f26ce9e0d0fb2e0c33e0358',
  ]),
  combined: '70976e86a5d9cca2771b7e18856e681083b5ec20623105194284076bfa8b7d09',
});
