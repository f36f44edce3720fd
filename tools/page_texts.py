#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

"""The page's texts for the site folder, from the translations' catalogs.

Reads the page's messages (those with a msgctxt: the key) from the template
and from each catalog of LINGUAS, through gettext's msgattrib and msgexec,
and writes into the site folder:
  index.html        the page in English, and <tag>/index.html in every other
                    language: its texts, lang and dir in place for the first
                    paint (and for browsers without scripts), the site's
                    languages in <html data-languages> for language.js and
                    in the element marked data-options="key" as options, each
                    named by its own catalog's message of that key, in a
                    language's folder a base address of the site's own, and
                    at the end of its body every message of its language in
                    <script type="application/json" id="messages">, for the
                    texts the script changes as the page runs (a message the
                    language lacks is the English one); read and written again
                    by Python's HTML parser
and into the modules' folder, where the page's scripts are bundled from:
  languages.js      the languages, English first, with their writing direction
  texts/<tag>.json  each catalog's messages as read, {key: text}: English in
                    full, every other language only what it translates (not
                    fuzzy); for the tests, which the site does not need
A catalog's name is a gettext locale (pt_BR); the page's tag is its BCP 47
form (pt-BR).

Usage: page_texts.py TEMPLATE PO_DIR INDEX_HTML SITE_DIR MODULES_DIR
"""
import html
import html.parser
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


def direction(tag):
    return 'rtl' if tag.split('-')[0] in kRightToLeft else 'ltr'


# Elements that hold no content and have no end tag.
kVoid = frozenset({'area', 'base', 'br', 'col', 'embed', 'hr', 'img', 'input', 'link', 'meta', 'source', 'track',
                   'wbr'})


class Filler(html.parser.HTMLParser):
    """The page, read by an HTML parser and written again with a language's
    text in every element marked data-text="key" (its children marked
    data-part="name" standing for the message's {name} placeholders, kept as
    they are) and in every attribute named by data-text-<attribute>="key"
    whose message has no placeholder (those the script fills, knowing the
    values). Everything else is written as it came."""

    def __init__(self, messages, root, base, languages):
        super().__init__(convert_charrefs=False)
        self.messages = messages  # also written at the end of the body, for the script
        self.root = root  # the attributes the root element takes: lang, dir, data-languages
        self.languages = languages  # every language's {tag: messages}, for data-options
        self.base = base  # where the page's relative addresses start from, if not its own folder
        self.out = []
        self.text = None  # inside an element to fill: {key, depth, parts, part}

    def emit(self, raw):
        if self.text is None:
            self.out.append(raw)
        elif self.text['part'] is not None:
            self.text['part']['raw'].append(raw)

    def handle_starttag(self, tag, attrs):
        raw = self.start_tag(tag, attrs)
        named = dict(attrs)
        if self.text is not None:
            if tag in kVoid:
                self.emit(raw)
                return
            self.text['depth'] += 1
            if self.text['part'] is None and 'data-part' in named:
                self.text['part'] = {'name': named['data-part'], 'raw': [], 'depth': self.text['depth']}
            self.emit(raw)
            return
        self.out.append(raw)
        if 'data-options' in named:
            self.out.append(''.join(
                f'<option value="{tag}" lang="{tag}"{" selected" if tag == self.root["lang"] else ""}>'
                f'{html.escape(messages[named["data-options"]], quote=False)}</option>'
                for tag, messages in self.languages.items()))
        if tag == 'head' and self.base:
            self.out.append(f'\n<base href="{html.escape(self.base)}">')
        if 'data-text' in named and tag not in kVoid:
            self.text = {'key': named['data-text'], 'depth': 0, 'parts': {}, 'part': None}

    def handle_startendtag(self, tag, attrs):
        self.emit(self.start_tag(tag, attrs))

    def handle_endtag(self, tag):
        raw = f'</{tag}>'
        text = self.text
        if text is None:
            if tag == 'body':
                self.out.append(script_messages(self.messages))
            self.out.append(raw)
            return
        if text['depth'] == 0:
            pieces = re.split(r'\{(\w+)\}', self.messages[text['key']])
            self.out.append(''.join(html.escape(piece, quote=False) if i % 2 == 0 else text['parts'][piece]
                                    for i, piece in enumerate(pieces)))
            self.out.append(raw)
            self.text = None
            return
        self.emit(raw)
        part = text['part']
        if part is not None and part['depth'] == text['depth']:
            text['parts'][part['name']] = ''.join(part['raw'])
            text['part'] = None
        text['depth'] -= 1

    def handle_data(self, data):
        self.emit(data)

    def handle_entityref(self, name):
        self.emit(f'&{name};')

    def handle_charref(self, name):
        self.emit(f'&#{name};')

    def handle_comment(self, data):
        self.emit(f'<!--{data}-->')

    def handle_decl(self, decl):
        self.emit(f'<!{decl}>')

    def start_tag(self, tag, attrs):
        """The start tag as written, or written anew where an attribute takes
        a message."""
        raw = self.get_starttag_text()
        filled = {name[len('data-text-'):]: self.messages[key] for name, key in attrs
                  if name.startswith('data-text-') and '{' not in self.messages[key]}
        if tag == 'html':
            filled.update(self.root)
        if not filled:
            return raw
        kept = [(name, value) for name, value in attrs if name not in filled]
        written = ''.join(f' {name}' if value is None else f' {name}="{html.escape(value)}"' for name, value in kept)
        written += ''.join(f' {name}="{html.escape(message)}"' for name, message in filled.items())
        return f'<{tag}{written}{" /" if raw.endswith("/>") else ""}>'


def script_messages(messages):
    """MESSAGES as a data block the page's script reads: JSON, which the
    browser does not run (the page's policy allows no inline script), with
    every "<" escaped so that no text can end the element."""
    data = json.dumps(messages, ensure_ascii=False, sort_keys=True, separators=(',', ':')).replace('<', '\\u003c')
    return f'<script type="application/json" id="messages">{data}</script>\n'


def fill(page, messages, root, languages, base=None):
    """PAGE with MESSAGES' text in every translated element and attribute, ROOT's
    attributes on its root element, LANGUAGES' names as options, and BASE as
    its base address."""
    filler = Filler(messages, root, base, languages)
    filler.feed(page)
    filler.close()
    if filler.text is not None:
        raise ValueError(f'the element of {filler.text["key"]} is not closed')
    return ''.join(filler.out)


def main(template, po_dir, index_html, site, modules):
    with open(os.path.join(po_dir, 'LINGUAS'), encoding='utf-8') as linguas:
        locales = linguas.read().split()
    os.makedirs(os.path.join(modules, 'texts'), exist_ok=True)
    english = page_messages(template, english=True)
    catalogs = {'en': english}
    for locale in locales:
        catalogs[tag_of(locale)] = page_messages(os.path.join(po_dir, locale + '.po'), english=False)
    for tag, messages in catalogs.items():
        with open(os.path.join(modules, 'texts', tag + '.json'), 'w', encoding='utf-8') as out:
            json.dump(messages, out, ensure_ascii=False, sort_keys=True, indent=0)
            out.write('\n')
    listed = ',\n'.join(f"  {{ tag: '{tag}', dir: '{direction(tag)}' }}" for tag in catalogs)
    with open(os.path.join(modules, 'languages.js'), 'w', encoding='utf-8') as out:
        out.write('// Made by the build from data/po (tools/page_texts.py): do not edit.\n'
                  '// The languages of the page, English first, each with its writing direction;\n'
                  '// each has its page, with its messages in it.\n'
                  f'export const kLanguages = Object.freeze([\n{listed},\n]);\n')
    named = ' '.join(f"{tag}:{direction(tag)}" for tag in catalogs)
    with open(index_html, encoding='utf-8') as page:
        source = page.read()
    for tag, messages in catalogs.items():
        root = {'lang': tag, 'dir': direction(tag), 'data-languages': named}
        if tag == 'en':
            filled, folder = fill(source, english, root, catalogs), site
        else:
            # Its own folder, whose page takes the site's files from the one above.
            filled, folder = fill(source, {**english, **messages}, root, catalogs, '../'), os.path.join(site, tag)
            os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, 'index.html'), 'w', encoding='utf-8') as out:
            out.write(filled)


if __name__ == '__main__':
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
