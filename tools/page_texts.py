#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

"""The page's texts for the site folder, from the translations' catalogs.

Reads the page's messages (those with a msgctxt: the key) from the template
and from each catalog of LINGUAS, through gettext's msgattrib and msgexec,
and writes into the site folder:
  texts/<tag>.json  one per language, {key: text}; English in full, every
                    other language only what it translates (not fuzzy), so
                    that the page falls back to English message by message
  languages.js      the languages, English first, with their writing direction
  index.html        the page with its English texts in place, for the first
                    paint and for browsers without scripts
A catalog's name is a gettext locale (pt_BR); the page's tag is its BCP 47
form (pt-BR).

Usage: page_texts.py TEMPLATE PO_DIR INDEX_HTML SITE_DIR
"""
import html
import json
import os
import re
import subprocess
import sys

# Languages written right to left, by their primary subtag.
kRightToLeft = frozenset({'ar', 'dv', 'fa', 'he', 'ps', 'ur', 'yi'})

# msgexec runs this for each message, with its translation on standard input:
# the key (msgctxt), the English and the translation, each ended by a NUL.
kEmit = 'printf "%s\\0%s\\0" "$MSGEXEC_MSGCTXT" "$MSGEXEC_MSGID"; cat; printf "\\0"'


def page_messages(catalog, english):
    """{key: text} of CATALOG's page messages: the English where ENGLISH,
    else the translations that are done and not fuzzy."""
    selected = subprocess.run(['msgattrib', '--no-obsolete'] + ([] if english else ['--translated', '--no-fuzzy'])
                              + [catalog], check=True, capture_output=True).stdout
    fields = subprocess.run(['msgexec', '-i', '-', 'sh', '-c', kEmit], input=selected, check=True,
                            capture_output=True).stdout.decode('utf-8').split('\0')
    messages = {}
    for key, source, translation in zip(fields[0::3], fields[1::3], fields[2::3]):
        if key:  # the desktop's messages, and the header, have none
            messages[key] = source if english else translation
    return messages


def tag_of(locale):
    return locale.replace('_', '-')


# An element that the page's script translates: <tag ... data-text="key" ...>
# followed by its content; children marked data-part="name" stand for the
# message's {name} placeholders.
kTextElement = re.compile(r'(<(\w+)\b[^>]*\bdata-text="([\w.-]+)"[^>]*>)(.*?)(</\2>)', re.S)
kPart = re.compile(r'<(\w+)\b[^>]*\bdata-part="(\w+)"[^>]*>.*?</\1>', re.S)
kTextAttribute = re.compile(r'\bdata-text-([a-z-]+)="([\w.-]+)"')


def fill(page, english):
    """PAGE with the English text of every translated element and attribute."""
    def element(match):
        start, _, key, content, end = match.groups()
        parts = {m.group(2): m.group(0) for m in kPart.finditer(content)}
        pieces = re.split(r'\{(\w+)\}', english[key])
        text = ''.join(html.escape(piece, quote=False) if i % 2 == 0 else parts[piece]
                       for i, piece in enumerate(pieces))
        return start + text + end

    def attributes(match):
        tag = match.group(0)
        for name, key in kTextAttribute.findall(tag):
            message = english[key]
            if '{' in message:
                continue  # filled by the script, which knows the values
            tag = re.sub(r'\s' + name + r'="[^"]*"', '', tag)
            tag = tag[:-1] + f' {name}="{html.escape(message)}">'
        return tag

    page = kTextElement.sub(element, page)
    return re.sub(r'<[^<>]*\bdata-text-[a-z-]+="[^"]*"[^<>]*>', attributes, page)


def main(template, po_dir, index_html, site):
    with open(os.path.join(po_dir, 'LINGUAS'), encoding='utf-8') as linguas:
        locales = linguas.read().split()
    os.makedirs(os.path.join(site, 'texts'), exist_ok=True)
    english = page_messages(template, english=True)
    catalogs = {'en': english}
    for locale in locales:
        catalogs[tag_of(locale)] = page_messages(os.path.join(po_dir, locale + '.po'), english=False)
    for tag, messages in catalogs.items():
        with open(os.path.join(site, 'texts', tag + '.json'), 'w', encoding='utf-8') as out:
            json.dump(messages, out, ensure_ascii=False, sort_keys=True, indent=0)
            out.write('\n')
    listed = ',\n'.join(f"  {{ tag: '{tag}', dir: '{'rtl' if tag.split('-')[0] in kRightToLeft else 'ltr'}' }}"
                        for tag in catalogs)
    with open(os.path.join(site, 'languages.js'), 'w', encoding='utf-8') as out:
        out.write('// Made by the build from data/po (tools/page_texts.py): do not edit.\n'
                  '// The languages of the page, English first, each with its writing direction;\n'
                  '// each has its texts in texts/<tag>.json.\n'
                  f'export const kLanguages = Object.freeze([\n{listed},\n]);\n')
    with open(index_html, encoding='utf-8') as page:
        filled = fill(page.read(), english)
    with open(os.path.join(site, 'index.html'), 'w', encoding='utf-8') as out:
        out.write(filled)


if __name__ == '__main__':
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
