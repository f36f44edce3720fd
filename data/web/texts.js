// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's texts that change as it runs (the status line, the surfaces'
// names, the pause control), in the page's language: its messages
// (texts/<tag>.json, made by the build from the translations' catalogs) and
// putting one into an element. The rest of the page's texts the build has put
// in place (language.js has the reader's language's page chosen). A message
// missing from a language falls back to English; placeholders are named:
// {first}.
import { kLanguages } from './languages.js';

export const kEnglish = kLanguages[0].tag;

// MESSAGE with each {name} replaced by VALUES[name] (a missing value stays
// as written, so that a fault shows).
export function format(message, values = {}) {
  return message.replace(/\{(\w+)\}/g, (whole, name) => (name in values ? String(values[name]) : whole));
}

// A translator for MESSAGES over ENGLISH: t(key, values) is the message in
// the language, else in English, else the key itself.
export function translator(messages, english) {
  return (key, values) => format(messages[key] ?? english[key] ?? key, values);
}

// The language's messages (fetched once; the service worker keeps them).
const fetched = new Map();
export function loadMessages(tag) {
  if (!fetched.has(tag)) {
    fetched.set(tag, fetch(`texts/${tag}.json`).then((response) => {
      if (!response.ok) throw new Error(`texts/${tag}.json: HTTP ${response.status}`);
      return response.json();
    }));
  }
  return fetched.get(tag);
}

// Puts a message into ELEMENT: its {name} placeholders become the element's
// children marked data-part="name", in the order the language puts them.
export function fillElement(element, message) {
  const parts = new Map([...element.querySelectorAll('[data-part]')].map((part) => [part.dataset.part, part]));
  const nodes = message.split(/\{(\w+)\}/).map((piece, i) => (i % 2 === 0 ? document.createTextNode(piece) :
    parts.get(piece) ?? document.createTextNode(`{${piece}}`)));
  element.replaceChildren(...nodes);
}
