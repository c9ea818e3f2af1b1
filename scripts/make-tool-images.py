#!/usr/bin/env python3
"""Draws the main window's tool bar pictures, 16 x 16 pixels each, and writes them as
resources/images/Tool<Name>.png. The bottom-left pixel is the background colour, which
the speed buttons leave transparent.
Run from anywhere: python3 scripts/make-tool-images.py
"""
import os
import struct
import zlib

# One string per row; each character names a colour of PALETTE.
PALETTE = {
    ".": (255, 0, 255),   # background (transparent)
    "k": (0, 0, 0),
    "w": (255, 255, 255),
    "g": (128, 128, 128),
    "s": (192, 192, 192),
    "y": (255, 208, 64),
    "o": (200, 140, 20),
    "b": (0, 64, 192),
    "l": (96, 160, 255),
    "r": (200, 0, 0),
    "n": (0, 0, 128),
    "e": (0, 140, 0),
}

GLYPHS = {
    "New": [
        "................", "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwwwwwwkwk....",
        "..kwwwwwwkkkk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...",
        "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kkkkkkkkkkk...", "................"],
    "Open": [
        "................", "................", "................", ".kkkkk..........",
        "kyyyyyk.........", "kyyyyyykkkkkk...", "kyyyyyyyyyyyk...", "kyyykkkkkkkkkkk.",
        "kyykoooooooooook", "kyykooooooooook.", "kykoooooooooook.", "kykooooooooook..",
        "kkoooooooooook..", "kkkkkkkkkkkkk...", "................", "................"],
    "Save": [
        "................", ".kkkkkkkkkkkkkk.", ".knkwwwwwwwwknk.", ".knkwwwwwwwwknk.",
        ".knkwwwwwwwwknk.", ".knkwwwwwwwwknk.", ".knnkkkkkkkknnk.", ".knnnnnnnnnnnnk.",
        ".knnkkkkkkkknnk.", ".knnksskkkkknnk.", ".knnksskkkkknnk.", ".knnksskkkkknnk.",
        ".knnksskkkkknnk.", "..kkkkkkkkkkkkk.", "................", "................"],
    "Close": [
        "................", "................", "..rr........rr..", "..rrr......rrr..",
        "...rrr....rrr...", "....rrr..rrr....", ".....rrrrrr.....", "......rrrr......",
        "......rrrr......", ".....rrrrrr.....", "....rrr..rrr....", "...rrr....rrr...",
        "..rrr......rrr..", "..rr........rr..", "................", "................"],
    "Print": [
        "................", "....kkkkkkkk....", "....kwwwwwwk....", "....kwkkkkwk....",
        "....kwwwwwwk....", "..kkkkkkkkkkkk..", ".kssssssssssssk.", ".kssssssssseesk.",
        ".kssssssssssssk.", ".kkkkkkkkkkkkkk.", ".ksskwwwwwwksk..", "..kkkwkkkkwkkk..",
        "....kwwwwwwk....", "....kkkkkkkk....", "................", "................"],
    "PrintSetup": [
        "................", "....kkkkkkkk....", "....kwwwwwwk....", "....kwwwwwwk....",
        "..kkkkkkkkkkkk..", ".kssssssssssssk.", ".kssssssssseesk.", ".kkkkkkkkkkkkkk.",
        "..kkkkkkkkkkkk..", "..........g.g...", ".........ggggg..", "........ggsssgg.",
        ".........gsgsg..", "........ggsssgg.", ".........ggggg..", "..........g.g..."],
    "Undo": [
        "................", "................", "....b...........", "...bb...........",
        "..bbbbbbbbb.....", ".bbbbbbbbbbb....", "..bbbbbbbbbbb...", "...bb......bbb..",
        "....b.......bb..", "............bb..", "............bb..", "...........bb...",
        ".........bbbb...", ".........bbb....", "................", "................"],
    "Redo": [
        "................", "................", "...........b....", "...........bb...",
        ".....bbbbbbbbb..", "....bbbbbbbbbbb.", "...bbbbbbbbbbb..", "..bbb......bb...",
        "..bb.......b....", "..bb............", "..bb............", "...bb...........",
        "...bbbb.........", "....bbb.........", "................", "................"],
    "Cut": [
        "................", "....k.....k.....", "....k.....k.....", "....kk...kk.....",
        ".....k...k......", ".....kk.kk......", "......kkk.......", ".......k........",
        "......kkk.......", "....nnk.knn.....", "...n..n.n..n....", "..n...n.n...n...",
        "..n...n.n...n...", "...nnn...nnn....", "................", "................"],
    "Copy": [
        "................", ".kkkkkk.........", ".kwwwwkk........", ".kwkkwkwk.......",
        ".kwwwwkkkkkk....", ".kwkkkkwwwwkk...", ".kwwwkwkkwwkwk..", ".kwkkkwwwwwkkkk.",
        ".kwwwkwkkkkkwwk.", ".kkkkkwwwwwwwwk.", ".....kwkkkkkkwk.", ".....kwwwwwwwwk.",
        ".....kwkkkkkkwk.", ".....kwwwwwwwwk.", ".....kkkkkkkkkk.", "................"],
    "Paste": [
        "................", ".....kkkkk......", "..kkkksssskkkk..", ".kooookkkkoook..",
        ".koooooooooook..", ".kooookkkkkkkkk.", ".koookwwwwwwwwk.", ".koookwkkkkkkwk.",
        ".koookwwwwwwwwk.", ".koookwkkkkkkwk.", ".koookwwwwwwwwk.", ".koookwkkkkkwwk.",
        ".koookwwwwwwwwk.", "..kkkkkkkkkkkkk.", "................", "................"],
    "Find": [
        "................", "....kkkkk.......", "...kwwwwwk......", "..kwllwwwwk.....",
        "..kwlwwwwwk.....", "..kwwwwwwwk.....", "..kwwwwwwwk.....", "..kwwwwwwwk.....",
        "...kwwwwwk......", "....kkkkkkk.....", "..........kk....", "...........kk...",
        "............kk..", ".............kk.", "..............k.", "................"],
    "Preview": [
        "................", ".....kkkkkk.....", "...kkleelllkk...", "..kllleeelllk...",
        "..kleeeeelllk...", ".kleeeeeelllllk.", ".kllleeeeellllk.", ".klllleellleelk.",
        ".kllllellleeeek.", ".klllllllleeeek.", ".klllllllleeelk.", "..kllllllleelk..",
        "..klllllllllkk..", "...kkllllllk....", ".....kkkkkk.....", "................"],
}


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, rows):
    raw = bytearray()
    for row in rows:
        assert len(row) == 16, (path, row)
        raw.append(0)
        for c in row:
            raw.extend(PALETTE[c])
    header = struct.pack(">IIBBBBB", 16, len(rows), 8, 2, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))
    with open(path + ".tmp", "wb") as out:
        out.write(data)
    os.replace(path + ".tmp", path)


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")
    for name, rows in GLYPHS.items():
        assert len(rows) == 16, name
        assert rows[15][0] == ".", name
        write_png(os.path.join(folder, "Tool" + name + ".png"), rows)


if __name__ == "__main__":
    main()
