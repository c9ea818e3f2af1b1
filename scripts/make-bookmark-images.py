#!/usr/bin/env python3
"""Draws the editor's ten bookmark glyphs (digits 0 to 9 on a small ribbon) as one
horizontal strip and writes it as resources/images/QvEditInternalImages.png.

Each glyph is 11 x 14 pixels; the strip is 110 x 14. The picture is opaque: the area
around the ribbon is the button-face grey the gutter is painted with by default.
Run from anywhere: python3 scripts/make-bookmark-images.py
"""
import os
import struct
import zlib

GLYPH_W, GLYPH_H, COUNT = 11, 14, 10

BACKGROUND = (192, 192, 192)
OUTLINE = (0, 0, 128)
RIBBON = (255, 255, 210)
DIGIT = (0, 0, 0)

# 5 x 7 digit shapes, one string per row, '#' = ink.
DIGITS = [
    [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    [" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "],
]


def ribbon_pixel(x, y):
    """Colour of the ribbon shape at (x, y) inside one glyph, or None outside it."""
    left, right, top, bottom = 1, 9, 0, 13
    if not (left <= x <= right and top <= y <= bottom):
        return None
    centre = (left + right) // 2
    notch_depth = 3
    # The bottom edge has a V cut into it: rows near the bottom lose their middle.
    cut = y - (bottom - notch_depth)
    if cut > 0 and abs(x - centre) < cut:
        return None
    on_edge = x in (left, right) or y == top
    if cut >= 0 and abs(x - centre) == max(cut, 0):
        on_edge = True
    if y == bottom:
        on_edge = True
    return OUTLINE if on_edge else RIBBON


def glyph_pixel(number, x, y):
    digit_left, digit_top = 3, 2
    dx, dy = x - digit_left, y - digit_top
    if 0 <= dx < 5 and 0 <= dy < 7 and DIGITS[number][dy][dx] == "#":
        return DIGIT
    colour = ribbon_pixel(x, y)
    return BACKGROUND if colour is None else colour


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter: none
        for x in range(width):
            rows.extend(pixel(x, y))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    data = (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + png_chunk(b"IEND", b""))
    with open(path + ".tmp", "wb") as out:
        out.write(data)
    os.replace(path + ".tmp", path)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(root, "resources", "images", "QvEditInternalImages.png")
    write_png(target, GLYPH_W * COUNT, GLYPH_H,
              lambda x, y: glyph_pixel(x // GLYPH_W, x % GLYPH_W, y))
    print(target)


if __name__ == "__main__":
    main()
