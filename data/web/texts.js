// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's texts that change as it runs (the status line, the surfaces'
// names, the pause control), in the page's language: its messages, which the
// build writes into the page (a message the language lacks is the English
// one), and putting one into an element. The rest of the page's texts the
// build has put in place (language.js has the reader's language's page
// chosen). Placeholders are named: {first}.
import { kLanguages } from './languages.js';

export const kEnglish = kLanguages[0].tag;

// MESSAGE with each {name} replaced by VALUES[name] (a missing value stays
// as written, so that a fault shows).
export function format(message, values = {}) {
  return message.replace(/\{(\w+)\}/g, (whole, name) => (name in values ? String(values[name]) : whole));
}

// A translator for MESSAGES: t(key, values) is the message, else the key
// itself (so that a fault shows).
export function translator(messages) {
  return (key, values) => format(messages[key] ?? key, values);
}

// The messages the build wrote into DOCUMENT, by key; none if they cannot be
// read.
export function pageMessages(document) {
  try {
    return JSON.parse(document.getElementById('messages').textContent);
  } catch (error) {
    console.error(`The page's messages could not be read: ${error}`);
    return {};
  }
}

// Puts a message into ELEMENT: its {name} placeholders become the element's
// children marked data-part="name", in the order the language puts them.
export function fillElement(element, message) {
  const parts = new Map([...element.querySelectorAll('[data-part]')].map((part) => [part.dataset.part, part]));
  const nodes = message.split(/\{(\w+)\}/).map((piece, i) => (i % 2 === 0 ? document.createTextNode(piece) :
    parts.get(piece) ?? document.createTextNode(`{${piece}}`)));
  element.replaceChildren(...nodes);
}
