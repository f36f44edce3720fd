// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The page's texts in its reader's language: which language to show, its
// messages (texts/<tag>.json, made by the build from the translations'
// catalogs), and putting them into the page. A message missing from a
// language falls back to English; placeholders are named: {first}.
import { kLanguages } from './languages.js';

export const kEnglish = kLanguages[0].tag;

// The language and script a tag is written in, with what a bare tag implies
// (zh is zh-Hans, zh-TW is zh-Hant, pt is pt-Latn); null for a tag that is not
// well formed.
function writing(tag) {
  try {
    const full = new Intl.Locale(tag).maximize();
    return `${full.language}-${full.script}`;
  } catch {
    return null;
  }
}

// The page's language for a reader who asks for ASKED (?lang=, or null) and
// whose browser prefers PREFERRED (navigator.languages), in that order: the
// first that the page has, exactly or in the same language and script (de-AT
// gets de, zh-SG gets zh-CN, zh-TW gets none of these), else English.
// Returns { tag, unknown }, unknown true when ASKED was given but not had.
export function chooseLanguage(asked, preferred, languages = kLanguages) {
  const tags = languages.map((language) => language.tag);
  const find = (wanted) => {
    const exact = tags.find((tag) => tag.toLowerCase() === String(wanted).toLowerCase());
    if (exact) return exact;
    const script = writing(wanted);
    return script ? tags.find((tag) => writing(tag) === script) : undefined;
  };
  if (asked !== null && asked !== undefined) {
    const tag = find(asked);
    if (tag) return { tag, unknown: false };
  }
  for (const wanted of preferred) {
    const tag = find(wanted);
    if (tag) return { tag, unknown: asked !== null && asked !== undefined };
  }
  return { tag: kEnglish, unknown: asked !== null && asked !== undefined };
}

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

export function direction(tag) {
  return kLanguages.find((language) => language.tag === tag)?.dir ?? 'ltr';
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

// Puts T's texts into every element below ROOT marked data-text="key" and
// every attribute named by data-text-<attribute>="key", and sets the
// document's language and direction to TAG's.
export function applyTexts(root, t, tag) {
  for (const element of root.querySelectorAll('[data-text]')) fillElement(element, t(element.dataset.text));
  for (const element of root.querySelectorAll('*')) {
    for (const { name, value } of [...element.attributes]) {
      if (name.startsWith('data-text-')) element.setAttribute(name.slice('data-text-'.length), t(value));
    }
  }
  document.documentElement.lang = tag;
  document.documentElement.dir = direction(tag);
}
