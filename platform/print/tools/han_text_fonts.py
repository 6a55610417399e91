#!/usr/bin/env python3
"""Makes the Han text fonts the page layer draws CJK text with.

A PDF reader learns what a glyph says from the /ToUnicode map the PDF
writer builds, and Qt's writer gives each glyph the lowest code point the
font maps to it. In the Noto Sans CJK fonts a unified ideograph shares its
glyph with its Kangxi radical (U+2F00-U+2FD5), its CJK radicals supplement
twin (U+2E80-U+2EFF) and its compatibility ideographs, so "一" would read
back as "⼀". These faces are copies of the Japanese face, the one
fontconfig gives Han text by default, whose cmaps keep one code point per
shared glyph: the first face holds every code point but the twins, and
each further face one more member of each group of twins. The lowest
member of a group stays with the original font, where it is the lowest.
Hangul without a twin is left to the original Korean face. The glyphs are
the original ones, so the text looks as before.

The SIL Open Font License of the originals asks that a modified font be
renamed; their copyright and licence records stay in the name table.

  han_text_fonts.py SOURCE.ttc FAMILY OUTPUT.ttc
"""
import collections
import sys

from fontTools.ttLib import TTCollection, TTFont, newTable
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable


def unified(cp):
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF


def hangul(cp):
    return (0x1100 <= cp <= 0x11FF or 0x3130 <= cp <= 0x318F or 0xA960 <= cp <= 0xA97F
            or 0xAC00 <= cp <= 0xD7FF or 0xFFA0 <= cp <= 0xFFDC)


def faces(cmap):
    """The code points of each face: a list of dicts code point -> glyph."""
    groups = collections.defaultdict(list)
    for cp, glyph in cmap.items():
        if cp < 0x10000:
            groups[glyph].append(cp)
    first = {}
    rest = []  # per group: the members after the first face's, in face order
    for cp, glyph in cmap.items():
        members = groups.get(glyph)
        if cp >= 0x10000 or len(members) == 1:
            if not hangul(cp):
                first[cp] = glyph
    for glyph, members in groups.items():
        if len(members) == 1:
            continue
        members.sort()
        # The lowest member reads back right from the original font; the
        # unified ideograph, the one people type, goes first.
        others = sorted(members[1:], key=lambda cp: (not unified(cp), cp))
        first[others[0]] = glyph
        rest.append([(cp, glyph) for cp in others[1:]])
    out = [first]
    depth = max((len(r) for r in rest), default=0)
    for i in range(depth):
        out.append({cp: glyph for r in rest if i < len(r) for cp, glyph in [r[i]]})
    return out


def set_cmap(font, mapping, keep_sequences):
    # Variation sequences (format 14) name glyphs of the first face only.
    sequences = [t for t in font["cmap"].tables if t.format == 14] if keep_sequences else []
    table = newTable("cmap")
    table.tableVersion = 0
    table.tables = []
    bmp = {cp: g for cp, g in mapping.items() if cp < 0x10000}
    for platform, encoding, fmt, cmap in ((0, 3, 4, bmp), (3, 1, 4, bmp), (0, 4, 12, mapping),
                                          (3, 10, 12, mapping)):
        sub = CmapSubtable.newSubtable(fmt)
        sub.platformID, sub.platEncID, sub.language = platform, encoding, 0
        sub.cmap = dict(cmap)
        table.tables.append(sub)
    table.tables.extend(sequences)
    font["cmap"] = table


def rename(font, family, bold):
    style = "Bold" if bold else "Regular"
    postscript = family.replace(" ", "") + "-" + style
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (1, 2, 3, 4, 6, 16, 17, 18, 21, 22) or record.nameID >= 256:
            names.removeNames(nameID=record.nameID)
    for platform, encoding, language in ((3, 1, 0x409), (1, 0, 0)):
        for name_id, text in ((1, family), (2, style), (3, postscript), (4, family + " " + style),
                              (6, postscript), (16, family), (17, style)):
            names.setName(text, name_id, platform, encoding, language)


def main():
    source, family, output = sys.argv[1:4]
    original = TTCollection(source, lazy=True).fonts[0]
    bold = original["OS/2"].usWeightClass >= 600
    mappings = faces(original.getBestCmap())
    # Given here, the glyph order is not read again from each face's glyph
    # table, which would then be written anew instead of copied.
    order = original.getGlyphOrder()
    collection = TTCollection()
    for i, mapping in enumerate(mappings):
        face = TTFont(source, fontNumber=0, lazy=True)
        face.setGlyphOrder(order)
        set_cmap(face, mapping, i == 0)
        rename(face, family if i == 0 else "%s %d" % (family, i + 1), bold)
        collection.fonts.append(face)
    collection.save(output, shareTables=True)
    print(len(mappings))


if __name__ == "__main__":
    main()
