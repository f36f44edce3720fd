#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

"""Describes an artefact that bundles third-party code, and writes its notices.

The build (cmake/notices.cmake) has the artefact described in a JSON file:
the program with its licence, and each component it contains with its
version, SPDX licence and where its copyright and licence texts are: a file
taken whole (a component's own COPYING, a Debian copyright file in
/usr/share/doc/PACKAGE/), the leading comment of a source file, or the
paragraphs of a machine-readable Debian copyright file (DEP-5) that cover
the files the artefact links, with the licence paragraphs they name. So the
texts always come from the components as installed, and a new version brings
its own notice. The same file feeds the release's SBOM.

Usage: notices.py describe COMPONENTS_JSON PRODUCT VERSION LICENCE LICENCE_TEXT ARTEFACT
                  [--component FIELD=VALUE... --texts TEXT...]...
         writes COMPONENTS_JSON (unless it holds the same already) and prints
         the paths of the texts, one a line. FIELD: name, version, licence,
         description, origin, purl, supplier. TEXT: LABEL PATH TAKE, where
         TAKE is all, leading-comment, or dep5 followed by the Files patterns
         to take and END.
       notices.py COMPONENTS_JSON OUTPUT
         writes the notices text.
"""

import json
import re
import sys
import textwrap

kRule = "=" * 78


def leading_comment(text):
    """The comments a C source file opens with, up to its first code."""
    kept = []
    inside = False
    for line in text.splitlines():
        stripped = line.strip()
        if inside:
            kept.append(line)
            inside = "*/" not in stripped
        elif stripped.startswith("/*"):
            kept.append(line)
            inside = "*/" not in stripped[2:]
        elif stripped.startswith("//") or not stripped:
            kept.append(line)
        else:
            break
    return "\n".join(kept).strip() + "\n"


def dep5_paragraphs(text):
    """The paragraphs of a DEP-5 file, each as (fields, raw text)."""
    paragraphs = []
    for raw in re.split(r"\n\s*\n", text.strip()):
        fields = {}
        name = None
        for line in raw.splitlines():
            match = re.match(r"^([A-Za-z-]+):\s*(.*)$", line)
            if match and not line.startswith((" ", "\t")):
                name = match.group(1)
                fields[name] = match.group(2)
            elif name:
                fields[name] += "\n" + line.strip()
        paragraphs.append((fields, raw))
    return paragraphs


def licence_names(expression):
    """The licence names a DEP-5 licence line combines ("A or B", "C with D exception")."""
    first = expression.splitlines()[0] if expression else ""
    names = []
    for part in re.split(r"\s+(?:or|and)\s+|,\s*", first):
        part = re.sub(r"\s+with\s+.*$", "", part.strip())
        if part:
            names.append(part)
    return names


def covers(pattern, wanted):
    """Whether a Files pattern is one of WANTED: the same pattern, or one below
    a folder WANTED names ("a/b/")."""
    return any(pattern == w or (w.endswith("/") and pattern.startswith(w)) for w in wanted)


def dep5_selection(text, wanted):
    """The paragraphs whose Files field names one of the WANTED patterns (or a
    file below a WANTED folder), then the stand-alone licence paragraphs they
    refer to."""
    paragraphs = dep5_paragraphs(text)
    chosen = []
    names = set()
    for fields, raw in paragraphs:
        patterns = fields.get("Files", "").split()
        if any(covers(pattern, wanted) for pattern in patterns):
            chosen.append(raw)
            names.update(licence_names(fields.get("License", "")))
    missing = [w for w in wanted if not any(covers(p, [w]) for f, _ in paragraphs for p in f.get("Files", "").split())]
    if missing:
        raise SystemExit(f"no paragraph covers {', '.join(missing)}")
    for fields, raw in paragraphs:
        licence = fields.get("License", "").splitlines()
        if "Files" not in fields and licence and licence[0].strip() in names:
            chosen.append(raw)
    return "\n\n".join(chosen) + "\n"


def text_of(source):
    with open(source["path"], encoding="utf-8") as stream:
        text = stream.read()
    take = source.get("take", "all")
    if take == "all":
        return text
    if take == "leading-comment":
        return leading_comment(text)
    if take == "dep5":
        return dep5_selection(text, source["files"])
    raise SystemExit(f"{source['path']}: unknown way to take its text: {take}")


def texts_of(tokens):
    """The TEXT groups of a component's arguments (see the usage above)."""
    texts = []
    at = 0
    while at < len(tokens):
        if at + 3 > len(tokens):
            raise SystemExit(f"an incomplete text: {tokens[at:]}")
        label, path, take = tokens[at:at + 3]
        at += 3
        text = {"label": label, "path": path, "take": take}
        if take == "dep5":
            end = tokens.index("END", at) if "END" in tokens[at:] else None
            if end is None:
                raise SystemExit(f"{label}: dep5 patterns without END")
            text["files"] = tokens[at:end]
            at = end + 1
        elif take not in ("all", "leading-comment"):
            raise SystemExit(f"{path}: unknown way to take its text: {take}")
        texts.append(text)
    return texts


def describe(arguments):
    """The describe command (see the usage above)."""
    if len(arguments) < 6:
        raise SystemExit(__doc__)
    output, product, version, licence, licence_text, artefact = arguments[:6]
    components = []
    rest = arguments[6:]
    while rest:
        if rest[0] != "--component" or "--texts" not in rest:
            raise SystemExit(f"expected --component FIELD=VALUE... --texts TEXT..., not {rest[:3]}")
        texts_at = rest.index("--texts")
        following = rest.index("--component", texts_at) if "--component" in rest[texts_at:] else len(rest)
        component = {}
        for field in rest[1:texts_at]:
            name, _, value = field.partition("=")
            if name not in ("name", "version", "licence", "description", "origin", "purl", "supplier"):
                raise SystemExit(f"unknown component field: {field}")
            component[name] = value
        component["texts"] = texts_of(rest[texts_at + 1:following])
        components.append(component)
        rest = rest[following:]
    what = {"product": product, "version": version, "licence": licence, "licenceText": licence_text,
            "artefact": artefact, "components": components}
    text = json.dumps(what, indent=2, ensure_ascii=False) + "\n"
    try:
        with open(output, encoding="utf-8") as stream:
            unchanged = stream.read() == text
    except FileNotFoundError:
        unchanged = False
    if not unchanged:
        with open(output, "w", encoding="utf-8") as stream:
            stream.write(text)
    for component in components:
        for source in component["texts"]:
            print(source["path"])


def main(arguments):
    if len(arguments) > 1 and arguments[1] == "describe":
        describe(arguments[2:])
        return
    if len(arguments) != 3:
        raise SystemExit(__doc__)
    with open(arguments[1], encoding="utf-8") as stream:
        what = json.load(stream)
    out = []
    components = what["components"]
    out.append(f"{what['product']} {what['version']}: {what['artefact']}\n")
    out.append(textwrap.fill(
        f"{what['product']} is under the {what['licence']} licence, whose text follows first. "
        f"{what['artefact'][0].upper() + what['artefact'][1:]} also contains the third-party code below; "
        "each part's copyright and licence notices follow in turn, as its own copyright files give them.",
        width=78) + "\n")
    for component in components:
        out.append(f"  - {component['name']} {component['version']} ({component['licence']}): "
                   f"{component['description']}")
    out.append("")
    out.append(kRule)
    out.append(f"{what['product']} {what['version']}, licence {what['licence']}")
    out.append(kRule)
    with open(what["licenceText"], encoding="utf-8") as stream:
        out.append(stream.read().rstrip() + "\n")
    given = {}  # each text once: a component with the same text refers back
    for component in components:
        out.append(kRule)
        out.append(f"{component['name']} {component['version']}, licence {component['licence']}")
        out.append(f"From: {component['origin']}")
        out.append(kRule)
        for source in component["texts"]:
            text = text_of(source).rstrip() + "\n"
            if text in given:
                out.append(f"[{source['label']}: the same text as for {given[text]}, above]\n")
                continue
            given[text] = component["name"]
            out.append(f"[{source['label']}]\n")
            out.append(text)
    # The licence texts referred to, in full.
    referred = sorted(set(re.findall(r"/usr/share/common-licenses/([A-Za-z0-9.+-]+[A-Za-z0-9+])", "\n".join(out))))
    for name in referred:
        out.append(kRule)
        out.append(f"The licence text referred to above as /usr/share/common-licenses/{name}")
        out.append(kRule)
        with open(f"/usr/share/common-licenses/{name}", encoding="utf-8") as stream:
            out.append(stream.read().rstrip() + "\n")
    with open(arguments[2], "w", encoding="utf-8") as stream:
        stream.write("\n".join(out))


if __name__ == "__main__":
    main(sys.argv)
