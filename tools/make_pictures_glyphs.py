#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws Numbelo's four 16 x 16 button glyphs as pixel art.

Each output file is 32 x 16 with 16 colours: the normal picture on the left
and the disabled one on the right. Olive, RGB(128,128,0), is the background
and the colour the buttons treat as transparent. The disabled picture is
derived from the normal one the way classic toolkits grey out a glyph: every
dark pixel becomes grey with a white pixel one step down and right, so the
shape looks pressed into the button; light pixels drop out.

Usage: make_pictures_glyphs.py OUTDIR
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pictures_png import write_indexed  # noqa: E402

# The classic 16-colour palette; one letter each in the drawings below.
PALETTE = [
    ("k", (0, 0, 0)),  # black
    ("m", (128, 0, 0)),  # maroon
    ("g", (0, 128, 0)),  # green
    (".", (128, 128, 0)),  # olive: background, shown as transparent
    ("n", (0, 0, 128)),  # navy
    ("p", (128, 0, 128)),  # purple
    ("t", (0, 128, 128)),  # teal
    ("s", (192, 192, 192)),  # silver
    ("d", (128, 128, 128)),  # grey
    ("r", (255, 0, 0)),  # red
    ("l", (0, 255, 0)),  # lime
    ("y", (255, 255, 0)),  # yellow
    ("b", (0, 0, 255)),  # blue
    ("f", (255, 0, 255)),  # fuchsia
    ("a", (0, 255, 255)),  # aqua
    ("w", (255, 255, 255)),  # white
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}
BACKGROUND, GREY, WHITE = INDEX["."], INDEX["d"], INDEX["w"]

GLYPHS = {
    # A pocket calculator: display on top, a 3 x 4 keypad.
    "glyph_play": [
        "..kkkkkkkkkkkk..",
        "..kssssssssssk..",
        "..kskkkkkkkksk..",
        "..ksklllkllksk..",
        "..ksklklllkksk..",
        "..kskkkkkkkksk..",
        "..kssssssssssk..",
        "..ksnnsnnsrrsk..",
        "..kssssssssssk..",
        "..ksnnsnnsnnsk..",
        "..kssssssssssk..",
        "..ksnnsnnsnnsk..",
        "..kssssssssssk..",
        "..ksnnsnnsnnsk..",
        "..kkkkkkkkkkkk..",
        "................",
    ],
    # A light bulb with a shine and a screw base.
    "glyph_about": [
        ".....kkkkkk.....",
        "....kyyyyyyk....",
        "...kyywwyyyyk...",
        "..kyywyyyyyyyk..",
        "..kywyyyyyyyyk..",
        "..kywyyyyyyyyk..",
        "..kyyyyyyyyyyk..",
        "...kyyyddyyyk...",
        "....kyydyyyk....",
        ".....kydyyk.....",
        ".....kkkkkk.....",
        ".....ksssdk.....",
        ".....kddddk.....",
        ".....ksssdk.....",
        "......kkkk......",
        "................",
    ],
    # An open door: the leaf swung towards us, daylight and grass outside.
    "glyph_exit": [
        "..kk............",
        "..kmkkkkkkkkkkk.",
        "..kmmkaaaaaaaak.",
        "..kmmkaaaaaaaak.",
        "..kmmkaaaaaaaak.",
        "..kmmkaaaaaaaak.",
        "..kmmkaaaaaaaak.",
        "..kmmkaaaaaaaak.",
        "..kymkaaaaaaaak.",
        "..kmmkaaaaaaaak.",
        "..kmmkllllllllk.",
        "..kmmkllllllllk.",
        "..kmmkggllllllk.",
        "..kmmkggggllllk.",
        "..kmkkkkkkkkkkk.",
        "..kk............",
    ],
    # A hand pointing right, its cuff on the left.
    "glyph_next": [
        "................",
        "................",
        "................",
        "......kkkk......",
        "bbk..kwwwwkkkkk.",
        "bbkkkwwwwwwwwwwk",
        "bbkwwwwwwkkkkkk.",
        "bbkwwwwwwwwk....",
        "bbkwwwwwkkk.....",
        "bbkwwwwwwwk.....",
        "bbkwwwwwkk......",
        "bbkwwwwwwk......",
        "bbkkwwwwk.......",
        "...kkkkk........",
        "................",
        "................",
    ],
}


def luma(index):
    r, g, b = PALETTE[index][1]
    return 0.299 * r + 0.587 * g + 0.114 * b


def disabled(normal):
    """The greyed-out, embossed counterpart of a 16 x 16 picture."""
    size = len(normal)
    dark = [(x, y) for y in range(size) for x in range(size) if normal[y][x] != BACKGROUND and luma(normal[y][x]) < 128]
    out = [[BACKGROUND] * size for _ in range(size)]
    for x, y in dark:
        if x + 1 < size and y + 1 < size:
            out[y + 1][x + 1] = WHITE
    for x, y in dark:
        out[y][x] = GREY
    return out


def parse(name, rows):
    if len(rows) != 16 or any(len(row) != 16 for row in rows):
        raise ValueError(f"{name}: a glyph is 16 rows of 16 pixels")
    return [[INDEX[c] for c in row] for row in rows]


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    palette = [colour for _, colour in PALETTE]
    for name, rows in GLYPHS.items():
        normal = parse(name, rows)
        grey = disabled(normal)
        both = [normal[y] + grey[y] for y in range(16)]
        write_indexed(os.path.join(argv[1], name + ".png"), both, palette)


if __name__ == "__main__":
    main(sys.argv)
