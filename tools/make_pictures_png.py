#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Turns rsvg-convert's RGBA renderings into the exact PNG kinds Numbelo ships.

  make_pictures_png.py rgb IN.png OUT.png BACKGROUND
      24-bit RGB, no alpha: IN is laid over the BACKGROUND colour (#rrggbb).
  make_pictures_png.py rgba IN.png OUT.png
      32-bit RGBA, the same pixels, written without anything but them.
  make_pictures_png.py ico OUT.ico IN.png...
      A Windows icon file with the PNG files as its pictures.
  make_pictures_png.py indexed IN.png OUT.png MAXCOLOURS [#rrggbb,...]
      A palette PNG. Pixels less than half opaque become one transparent
      entry, the rest opaque. With a colour list, every pixel takes the
      nearest listed colour (for small, hand-picked palettes); without one,
      the MAXCOLOURS most used colours are kept and the rest mapped to the
      nearest of them.

Only the standard library is used and no time stamps are written, so the
same input gives the same bytes. The PNG reader takes the 8-bit RGB/RGBA,
non-interlaced files that rsvg-convert writes; the writer is also used by
make_pictures_glyphs.py.
"""

import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def parse_colour(text):
    text = text.strip().lstrip("#")
    if len(text) != 6:
        raise ValueError(f"not a #rrggbb colour: {text}")
    return tuple(int(text[i : i + 2], 16) for i in (0, 2, 4))


def read_rgba(path):
    """Returns (width, height, rows of (r, g, b, a) tuples)."""
    data = open(path, "rb").read()
    if not data.startswith(SIGNATURE):
        raise ValueError(f"{path}: not a PNG file")
    pos = len(SIGNATURE)
    idat = b""
    header = None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos : pos + 4])
        kind = data[pos + 4 : pos + 8]
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if header is None:
        raise ValueError(f"{path}: no IHDR chunk")
    width, height, depth, colour_type, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour_type)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f"{path}: only 8-bit, non-interlaced RGB or RGBA is read")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows = []
    prior = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        line = bytearray(raw[start + 1 : start + 1 + stride])
        for x in range(stride):
            left = line[x - channels] if x >= channels else 0
            up = prior[x]
            upleft = prior[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + left) & 0xFF
            elif kind == 2:
                line[x] = (line[x] + up) & 0xFF
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - upleft
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else upleft)
                line[x] = (line[x] + pred) & 0xFF
            elif kind != 0:
                raise ValueError(f"{path}: bad filter type {kind}")
        prior = line
        if channels == 3:
            rows.append([(line[i], line[i + 1], line[i + 2], 255) for i in range(0, stride, 3)])
        else:
            rows.append([tuple(line[i : i + 4]) for i in range(0, stride, 4)])
    return width, height, rows


def _chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def _write(path, width, height, depth, colour_type, scanlines, extra=b""):
    header = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    raw = b"".join(b"\x00" + line for line in scanlines)
    with open(path, "wb") as out:
        out.write(SIGNATURE)
        out.write(_chunk(b"IHDR", header))
        out.write(extra)
        out.write(_chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(_chunk(b"IEND", b""))


def write_rgb(path, rows):
    width, height = len(rows[0]), len(rows)
    lines = [bytes(c for pixel in row for c in pixel[:3]) for row in rows]
    _write(path, width, height, 8, 2, lines)


def write_rgba(path, rows):
    width, height = len(rows[0]), len(rows)
    lines = [bytes(c for pixel in row for c in pixel) for row in rows]
    _write(path, width, height, 8, 6, lines)


def write_ico(path, pngs):
    """A Windows icon file holding each PNG file of `pngs` as one of its pictures, smallest
    first; Windows reads PNG pictures in icons since Vista."""
    images = [open(png, "rb").read() for png in pngs]
    offset = 6 + 16 * len(images)
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    for image in images:
        width, height, depth, colour_type = struct.unpack(">IIBB", image[16:26])
        bits = depth * {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
        # A side of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, bits,
                               len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(header + entries + b"".join(images))


def write_indexed(path, indices, palette, transparent=None):
    """indices: rows of palette indices; palette: list of (r, g, b).
    transparent: the index drawn see-through, or None for a fully opaque image."""
    if not 1 <= len(palette) <= 256:
        raise ValueError("a palette holds 1 to 256 colours")
    depth = next(d for d in (1, 2, 4, 8) if len(palette) <= 1 << d)
    width, height = len(indices[0]), len(indices)
    per_byte = 8 // depth
    lines = []
    for row in indices:
        line = bytearray()
        for start in range(0, width, per_byte):
            byte = 0
            group = row[start : start + per_byte]
            for i, index in enumerate(group):
                byte |= index << (8 - depth * (i + 1))
            line.append(byte)
        lines.append(bytes(line))
    extra = _chunk(b"PLTE", bytes(c for colour in palette for c in colour))
    if transparent is not None:
        extra += _chunk(b"tRNS", bytes(0 if i == transparent else 255 for i in range(transparent + 1)))
    _write(path, width, height, depth, 3, lines, extra)


def distance(a, b):
    """Colour distance weighted for the eye (the "redmean" approximation)."""
    rmean = (a[0] + b[0]) / 2
    dr, dg, db = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    return (2 + rmean / 256) * dr * dr + 4 * dg * dg + (2 + (255 - rmean) / 256) * db * db


def over(pixel, background):
    """An RGBA pixel laid over an opaque background colour."""
    alpha = pixel[3]
    return tuple((c * alpha + b * (255 - alpha) + 127) // 255 for c, b in zip(pixel[:3], background))


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: (distance(colour, palette[i]), i))


def to_indexed(rows, max_colours, fixed=None):
    """Maps RGBA rows to (indices, palette, transparent index or None)."""
    opaque = [p[:3] for row in rows for p in row if p[3] >= 128]
    has_clear = any(p[3] < 128 for row in rows for p in row)
    room = max_colours - (1 if has_clear else 0)
    if fixed is not None:
        colours = list(fixed)
        if len(colours) > room:
            raise ValueError(f"{len(colours)} colours do not fit in {max_colours} entries")
    else:
        counts = {}
        for c in opaque:
            counts[c] = counts.get(c, 0) + 1
        colours = sorted(counts, key=lambda c: (-counts[c], c))[:room]
    palette = ([(255, 0, 255)] if has_clear else []) + colours
    offset = 1 if has_clear else 0
    cache = {}
    indices = []
    for row in rows:
        line = []
        for p in row:
            if p[3] < 128:
                line.append(0)
                continue
            c = p[:3]
            if c not in cache:
                cache[c] = offset + nearest(c, colours)
            line.append(cache[c])
        indices.append(line)
    return indices, palette, (0 if has_clear else None)


def main(argv):
    if len(argv) >= 5 and argv[1] == "rgb":
        _, _, src, dst, background = argv[:5]
        bg = parse_colour(background)
        _, _, rows = read_rgba(src)
        write_rgb(dst, [[over(p, bg) for p in row] for row in rows])
    elif len(argv) == 4 and argv[1] == "rgba":
        _, _, rows = read_rgba(argv[2])
        write_rgba(argv[3], rows)
    elif len(argv) >= 4 and argv[1] == "ico":
        write_ico(argv[2], argv[3:])
    elif len(argv) in (5, 6) and argv[1] == "indexed":
        src, dst, most = argv[2], argv[3], int(argv[4])
        fixed = [parse_colour(c) for c in argv[5].split(",")] if len(argv) == 6 else None
        _, _, rows = read_rgba(src)
        indices, palette, clear = to_indexed(rows, most, fixed)
        write_indexed(dst, indices, palette, clear)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
