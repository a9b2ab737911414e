#!/usr/bin/env python3
"""Packs rendered artwork into Windows icon and cursor files.

  art-pack.py ico OUT.ico IMAGE16.png IMAGE32.png [...]
      One 32-bit image with alpha and AND mask per PNG, then a 256-colour
      fallback at each size for displays without true colour.
  art-pack.py cur OUT.cur GRID.txt
      A 32x32, 16-colour cursor from a pixel grid (see resources/art/cursors).
  art-pack.py png OUT.png GRID.txt [SCALE]
      A preview of a cursor grid.
  art-pack.py ico-extend OUT.ico IN.ico IMAGE.png [...]
      IN.ico's images byte for byte, then one 32-bit image per PNG: sizes up
      to 32 as bitmaps, larger ones as PNG data (compact; read by Windows
      Vista and later, older systems use the sizes of IN.ico).
  art-pack.py cur-extend OUT.cur IN.cur GRID.txt SIZE [...]
      IN.cur's images byte for byte, then the grid at each SIZE (pixels
      repeated, hot spot scaled with them), 16 colours as in IN.cur.

Pixels are read through ImageMagick's convert (raw RGBA), so nothing beyond
python3 and convert is needed.
"""
import struct
import subprocess
import sys
import zlib

# The standard 16-colour palette; index 0 (black) doubles as "transparent"
# in cursors, where the AND mask decides.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def read_rgba(path):
    size = subprocess.run(["identify", "-format", "%w %h", path + "[0]"],
                          check=True, capture_output=True, text=True).stdout
    w, h = (int(v) for v in size.split())
    raw = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgba:-"],
                         check=True, capture_output=True).stdout
    if len(raw) != w * h * 4:
        sys.exit(f"{path}: unexpected pixel data size")
    px = [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]
    return w, h, px


def mask_rows(w, h, transparent):
    """AND mask, bottom-up, rows padded to 32 bits; 1 = transparent."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def header(w, h, bits, image_size, colours):
    return struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, image_size,
                       0, 0, colours, 0)


def dib32(w, h, px):
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[y * w + x]
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    andm = mask_rows(w, h, lambda x, y: px[y * w + x][3] < 128)
    return header(w, h, 32, len(xor) + len(andm), 0) + bytes(xor) + andm


def dib4(w, h, indices, transparent, palette):
    stride = ((w * 4 + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            v = 0 if transparent(x, y) else indices[y * w + x]
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        xor += row
    andm = mask_rows(w, h, transparent)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return (header(w, h, 4, len(xor) + len(andm), 16) + pal + bytes(xor)
            + andm)


def dib8(w, h, png, px):
    """256-colour version of a true-colour image, for displays without true
    colour: edges flattened onto the light menu grey, colours reduced by
    convert; palette entry 0 stays black for the transparent pixels."""
    raw = subprocess.run(["convert", png + "[0]", "-background", "#d4d0c8",
                          "-alpha", "remove", "-alpha", "off", "-dither",
                          "None", "-colors", "255", "-depth", "8", "rgb:-"],
                         check=True, capture_output=True).stdout
    colours = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    palette = [(0, 0, 0)] + sorted(set(colours) - {(0, 0, 0)})
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {c: i for i, c in reversed(list(enumerate(palette)))}

    def transparent(x, y):
        return px[y * w + x][3] < 128

    stride = ((w * 8 + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            row[x] = 0 if transparent(x, y) else index[colours[y * w + x]]
        xor += row
    andm = mask_rows(w, h, transparent)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return (header(w, h, 8, len(xor) + len(andm), 256) + pal + bytes(xor)
            + andm)


def write_dir(path, kind, entries):
    """entries: (width, height, colour_count, field1, field2, image bytes)."""
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    for w, h, colours, f1, f2, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, colours, 0, f1, f2,
                           len(data), offset)
        offset += len(data)
    for e in entries:
        out += e[5]
    with open(path, "wb") as f:
        f.write(out)


def make_ico(out, pngs):
    entries = []
    images = [read_rgba(p) for p in pngs]
    for w, h, px in images:
        entries.append((w, h, 0, 1, 32, dib32(w, h, px)))
    for (w, h, px), png in zip(images, pngs):
        entries.append((w, h, 0, 1, 8, dib8(w, h, png, px)))
    write_dir(out, 1, entries)


# Cursor grids: a "hotspot X Y" line, then one line per pixel row; each
# character is a pixel: '.' transparent, '#' black, 'o' white, '+' light
# grey, '=' dark grey.
GRID_COLOURS = {"#": 0, "=": 8, "+": 7, "o": 15}


def read_grid(path):
    hot, rows = None, []
    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("hotspot"):
                _, x, y = line.split()
                hot = (int(x), int(y))
            elif line and not line.startswith(";"):
                rows.append(line)
    if hot is None or len(rows) != 32 or any(len(r) != 32 for r in rows):
        sys.exit(f"{path}: need a hotspot line and 32 rows of 32 pixels")
    for r in rows:
        for c in r:
            if c != "." and c not in GRID_COLOURS:
                sys.exit(f"{path}: unknown pixel '{c}'")
    return hot, rows


def make_cur(out, grid):
    (hx, hy), rows = read_grid(grid)
    idx = [GRID_COLOURS.get(c, 0) for r in rows for c in r]
    data = dib4(32, 32, idx, lambda x, y: rows[y][x] == ".", VGA16)
    write_dir(out, 2, [(32, 32, 16, hx, hy, data)])


def write_png(path, w, h, rgba):
    raw = b"".join(b"\0" + bytes(rgba[y * w * 4:(y + 1) * w * 4])
                   for y in range(h))
    def chunk(t, d):
        return (struct.pack(">I", len(d)) + t + d
                + struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def grid_png(out, grid, scale):
    (hx, hy), rows = read_grid(grid)
    w = h = 32 * scale
    rgba = bytearray(w * h * 4)
    for y in range(h):
        for x in range(w):
            gx, gy = x // scale, y // scale
            c = rows[gy][gx]
            if c == ".":
                v = (236, 240, 246, 255) if (gx + gy) % 2 else (220, 226, 236, 255)
            else:
                v = VGA16[GRID_COLOURS[c]] + (255,)
            if (gx, gy) == (hx, hy) and x % scale in (0, scale - 1):
                v = (255, 0, 0, 255)
            rgba[(y * w + x) * 4:(y * w + x) * 4 + 4] = bytes(v)
    write_png(out, w, h, rgba)


def read_dir(path):
    """The entries of an icon or cursor file, as write_dir takes them."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack("<HHH", data[:6])
    entries = []
    for i in range(count):
        w, h, colours, _, f1, f2, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        entries.append((w or 256, h or 256, colours, f1, f2,
                        data[offset:offset + size]))
    return kind, entries


def extend_ico(out, base, pngs):
    kind, entries = read_dir(base)
    for png in pngs:
        w, h, px = read_rgba(png)
        if w <= 32:
            entries.append((w, h, 0, 1, 32, dib32(w, h, px)))
        else:
            with open(png, "rb") as f:
                entries.append((w, h, 0, 1, 32, f.read()))
    write_dir(out, kind, entries)


def extend_cur(out, base, grid, sizes):
    kind, entries = read_dir(base)
    (hx, hy), rows = read_grid(grid)
    for size in sizes:
        def cell(x, y):
            return rows[y * 32 // size][x * 32 // size]
        idx = [GRID_COLOURS.get(cell(x, y), 0)
               for y in range(size) for x in range(size)]
        data = dib4(size, size, idx, lambda x, y: cell(x, y) == ".", VGA16)
        entries.append((size, size, 16, hx * size // 32, hy * size // 32,
                        data))
    write_dir(out, kind, entries)


def main(argv):
    if len(argv) >= 4 and argv[1] == "ico":
        make_ico(argv[2], argv[3:])
    elif len(argv) >= 5 and argv[1] == "ico-extend":
        extend_ico(argv[2], argv[3], argv[4:])
    elif len(argv) >= 6 and argv[1] == "cur-extend":
        extend_cur(argv[2], argv[3], argv[4], [int(v) for v in argv[5:]])
    elif len(argv) == 4 and argv[1] == "cur":
        make_cur(argv[2], argv[3])
    elif len(argv) in (4, 5) and argv[1] == "png":
        grid_png(argv[2], argv[3], int(argv[4]) if len(argv) == 5 else 8)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
