#!/usr/bin/env python3
"""Prints text for a speech synthesiser to read: part INDEX, about CHARS
characters, of LANG's sentences. Usage: texts.py [--plain] LANG INDEX CHARS
--plain keeps only words of letters, each with at most a stop after it, for
Festival, which says nothing at all for a file with one token its voice
cannot spell (digits, quotes, a lone comma).

The sentences are message translations that Debian's base tools ship
(/usr/share/locale/LANG/LC_MESSAGES), and for English the licences in
/usr/share/common-licenses as well: text in every language that is on any
Debian machine, with no file to carry. Shuffled with a fixed seed, so a part
is the same text every run."""

import gettext
import glob
import os
import random
import re
import sys

# Message catalogues of packages every Debian system has.
DOMAINS = ["apt", "bash", "coreutils", "diffutils", "dpkg", "findutils", "grep", "sed", "tar"]


def clean(text):
    text = re.sub(r"%[-+ #0-9.*'lhLqjzt$]*[a-zA-Z%]", " ", text)  # printf formats
    text = re.sub(r"\{[^}]*\}|https?://\S+|\S+@\S+", " ", text)
    text = re.sub(r"[_=<>\[\]{}|\\/`*^~#@$]+", " ", text)
    text = re.sub(r"(?<!\w)-+", " ", text)  # option dashes
    return " ".join(text.split())


def sentences(lang):
    found = []
    for domain in DOMAINS:
        path = f"/usr/share/locale/{lang}/LC_MESSAGES/{domain}.mo"
        if lang == "en":
            path = f"/usr/share/locale/de/LC_MESSAGES/{domain}.mo"  # its English originals
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            catalog = gettext.GNUTranslations(f)._catalog
        for key in sorted(catalog, key=str):
            text = key[0] if isinstance(key, tuple) else key
            if not text:
                continue  # the catalogue's header
            if lang != "en":
                text = catalog[key]
            found.extend(clean(line) for line in re.split(r"\n\s*\n|(?<=[.!?。])\s", text))
    if lang == "en":
        seen = set()
        for path in sorted(glob.glob("/usr/share/common-licenses/*")):
            real = os.path.realpath(path)
            if real in seen or not os.path.isfile(real):
                continue
            seen.add(real)
            with open(real, encoding="utf-8", errors="replace") as f:
                found.extend(clean(p) for p in re.split(r"\n\s*\n", f.read()))
    found = sorted(set(s for s in found if len(re.findall(r"\w", s)) >= 12))
    random.Random(lang).shuffle(found)
    return found


def main():
    args = sys.argv[1:]
    plain = args[0] == "--plain"
    if plain:
        args = args[1:]
    lang, index, chars = args[0], int(args[1]), int(args[2])
    pool = sentences(lang) or sentences("en")
    at = (index * 7919) % len(pool)  # parts start far apart in the pool
    out, length = [], 0
    while length < chars:
        s = pool[at % len(pool)]
        if plain:
            words = re.findall(r"[^\W\d_]+[.,!?]?", s)
            if lang == "ru":  # the Russian voice cannot spell Latin letters either
                words = [w for w in words if not re.search(r"[a-zA-Z]", w)]
            s = " ".join(words)
            if not s:
                at += 1
                continue
        out.append(s if s[-1] in ".!?。" else s + ".")
        length += len(s) + 1
        at += 1
    print("\n".join(out))


if __name__ == "__main__":
    main()
