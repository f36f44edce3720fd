// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The reader's language, before anything is painted. The build writes a page
// per language, its texts, lang and dir in place (the English one at the
// site's root, every other in a folder named by its tag), each naming the
// site's languages in <html data-languages>. This classic script, in the head
// of each, goes at once to the page of the language the reader asks for
// (?lang=) or, on the English page, to the first the browser prefers that the
// site has, keeping the address's query; a link to a language's own page keeps
// its language. It gives the page's modules the same choice
// (globalThis.morphLanguage).
'use strict';
(() => {
  // The language and script a tag is written in, with what a bare tag
  // implies (zh is zh-Hans, zh-TW is zh-Hant, pt is pt-Latn); null for a tag
  // that is not well formed.
  function writing(tag) {
    try {
      const full = new Intl.Locale(tag).maximize();
      return `${full.language}-${full.script}`;
    } catch {
      return null;
    }
  }

  // The language of TAGS (the site's, English first) for a reader who asks
  // for ASKED (?lang=, or null) and whose browser prefers PREFERRED
  // (navigator.languages), in that order: the first that the site has,
  // exactly or in the same language and script (de-AT gets de, zh-SG gets
  // zh-CN, zh-TW gets none of these), else English. Returns { tag, unknown },
  // unknown true when ASKED was given but not had.
  function choose(asked, preferred, tags) {
    const find = (wanted) => {
      const exact = tags.find((tag) => tag.toLowerCase() === String(wanted).toLowerCase());
      if (exact) return exact;
      const script = writing(wanted);
      return script ? tags.find((tag) => writing(tag) === script) : undefined;
    };
    const given = asked !== null && asked !== undefined;
    if (given) {
      const tag = find(asked);
      if (tag) return { tag, unknown: false };
    }
    for (const wanted of preferred) {
      const tag = find(wanted);
      if (tag) return { tag, unknown: given };
    }
    return { tag: tags[0], unknown: given };
  }

  // The site's languages as this page names them: [{ tag, dir }], English
  // first.
  function languages(root) {
    return root.dataset.languages.split(' ').map((entry) => {
      const [tag, dir] = entry.split(':');
      return { tag, dir };
    });
  }

  // The address of TAG's page, from this page (HERE, in the language of tag
  // HERE_TAG) and the site's English one.
  function pageOf(tag, here, hereTag, english) {
    const site = new URL(hereTag === english ? './' : '../', here);
    return new URL(tag === english ? '' : `${tag}/`, site).href;
  }

  globalThis.morphLanguage = Object.freeze({ choose, languages, pageOf });
  if (typeof document === 'undefined') return;

  const root = document.documentElement;
  const tags = languages(root).map(({ tag }) => tag);
  const asked = new URLSearchParams(window.location.search).get('lang');
  // A language's own page is left only for one asked for: the reader chose
  // it (the first use of a browser's language data may take tens of ms).
  if (root.lang !== tags[0] && asked === null) return;
  const chosen = choose(asked, navigator.languages ?? [navigator.language], tags);
  if (chosen.tag === root.lang) return;
  window.location.replace(pageOf(chosen.tag, window.location.href, root.lang, tags[0]) + window.location.search +
    window.location.hash);
})();
