#!/usr/bin/env python3
"""Makes the face the reports print with from an installed Japanese face.

    make_report_font.py SOURCE TARGET FAMILY

The copy differs from its source in two things:
  - its character map leaves out the code points that share a glyph with the
    characters the reports print: the Kangxi radicals and the CJK radicals
    supplement (U+2F00-U+2FDF, U+2E80-U+2EFF, drawn like 一, 日, 金, ...),
    U+301C (drawn like ～) and U+2003 (drawn like the ideographic space).
    A PDF writer that maps each glyph back to the lowest code point drawing
    it then puts the printed characters into the PDF's text layer;
  - its names: the copy is named FAMILY, as a changed face must not carry
    its source's name.
Characters left out are drawn from another face by the font fallback.
"""
import sys

from fontTools.ttLib import TTFont


def left_out(code):
    return 0x2E80 <= code <= 0x2EFF or 0x2F00 <= code <= 0x2FDF or code in (0x301C, 0x2003)


def main(source, target, family):
    font = TTFont(source)
    for table in font["cmap"].tables:
        if hasattr(table, "cmap") and table.cmap:
            table.cmap = {code: glyph for code, glyph in table.cmap.items() if not left_out(code)}
        if getattr(table, "uvsDict", None):
            table.uvsDict = {
                selector: [(code, glyph) for code, glyph in pairs if not left_out(code)]
                for selector, pairs in table.uvsDict.items()
            }
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (1, 3, 4, 16, 21):
            names.setName(family, record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID == 6:
            names.setName(family.replace(" ", ""), record.nameID, record.platformID, record.platEncID, record.langID)
        elif record.nameID in (17, 22):
            names.setName("Regular", record.nameID, record.platformID, record.platEncID, record.langID)
    font.save(target)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
