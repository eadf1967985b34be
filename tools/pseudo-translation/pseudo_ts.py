#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a pseudo-translation of a Qt .ts file: every source text accented, wrapped in [ ] and about 40 %
longer, so that a text the program shows without translating it, or a label too narrow for a longer
language, stands out. Placeholders (%1, %n), mnemonics (&x, &&) and line breaks are kept as they are."""

import re
import sys
import xml.etree.ElementTree as ET

ACCENTED = dict(zip("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
                    "åƀçđéƒĝĥîĵķĺḿñöþǫŕšţûṽŵẋýžÅƁÇĐÉƑĜĤÎĴĶĹḾÑÖÞǪŔŠŢÛṼŴẊÝŽ"))
# Kept verbatim: placeholders, a mnemonic with its letter, an escaped ampersand, line breaks.
KEPT = re.compile(r"(%L?\d+|%n|&&|&.|\r|\n)")


def pseudo(text: str) -> str:
    parts = KEPT.split(text)
    out = "".join(p if i % 2 else "".join(ACCENTED.get(c, c) for c in p) for i, p in enumerate(parts))
    padding = "·" * max(1, round(len(text) * 0.4) - 2)
    return "[" + out + padding + "]"


def main(source: str, target: str) -> None:
    tree = ET.parse(source)
    root = tree.getroot()
    root.set("language", "en_XA")
    for message in root.iter("message"):
        text = message.findtext("source") or ""
        translation = message.find("translation")
        if translation is None:
            translation = ET.SubElement(message, "translation")
        translation.attrib.clear()
        for child in list(translation):
            translation.remove(child)
        translation.text = pseudo(text)
    tree.write(target, encoding="utf-8", xml_declaration=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: pseudo_ts.py SOURCE.ts TARGET.ts")
    main(sys.argv[1], sys.argv[2])
