#!/usr/bin/env python3
"""Draws the main window's tool bar pictures, 16 x 16 pixels each, and writes them as
resources/images/Tool<Name>.png. The bottom-left pixel is the background colour, which
the speed buttons leave transparent.
Run from anywhere: python3 scripts/make-tool-images.py
"""
import importlib.util
import os

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


def load_png_writer():
    """The PNG writer of the bookmark-picture script, which draws the same way."""
    here = os.path.dirname(os.path.abspath(__file__))
    found = importlib.util.spec_from_file_location(
        "bookmark_images", os.path.join(here, "make-bookmark-images.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module.write_png


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")
    write_png = load_png_writer()
    for name, rows in GLYPHS.items():
        assert len(rows) == 16 and all(len(row) == 16 for row in rows), name
        assert rows[15][0] == ".", name
        write_png(os.path.join(folder, "Tool" + name + ".png"), 16, 16,
                  lambda x, y, rows=rows: PALETTE[rows[y][x]])


if __name__ == "__main__":
    main()
