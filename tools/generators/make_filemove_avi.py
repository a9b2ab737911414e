#!/usr/bin/env python3
"""Writes online/filemove.avi, the clip of Online.dll's progress dialog: a
sheet of paper flying from one folder to another, uncompressed 8-bit frames,
no sound. Usage: tools/generators/make_filemove_avi.py [OUTPUT]"""
import math
import os
import struct
import sys

WIDTH, HEIGHT, FRAMES, FPS = 240, 56, 12, 10

# Palette index 0 is the background the control makes transparent.
PALETTE = [
    (192, 192, 192),  # 0 background
    (0, 0, 0),        # 1 outline
    (255, 220, 90),   # 2 folder
    (200, 160, 40),   # 3 folder back and tab
    (255, 255, 255),  # 4 paper
    (40, 70, 170),    # 5 writing on the paper
]


def rect(img, x0, y0, x1, y1, fill, outline=None):
    for y in range(max(y0, 0), min(y1, HEIGHT)):
        for x in range(max(x0, 0), min(x1, WIDTH)):
            edge = x in (x0, x1 - 1) or y in (y0, y1 - 1)
            img[y][x] = outline if (edge and outline is not None) else fill


def folder(img, x):
    """An open folder, 44 px wide, standing on the bottom of the picture."""
    rect(img, x + 2, 20, x + 16, 25, 3, 1)       # tab
    rect(img, x, 24, x + 44, 52, 3, 1)           # back
    for y in range(32, 52):                      # front, slanted open
        slant = (52 - y) // 3
        for xx in range(x + slant, x + 44 - slant // 2):
            on_edge = y in (32, 51) or xx in (x + slant, x + 43 - slant // 2)
            img[y][xx] = 1 if on_edge else 2


def paper(img, x, y):
    """A sheet with a few written lines, 18 x 24 px, top-left at x, y."""
    rect(img, x, y, x + 18, y + 24, 4, 1)
    for line in range(5, 21, 4):
        for xx in range(x + 3, x + 15 - (line % 8 == 1) * 4):
            if 0 <= y + line < HEIGHT and 0 <= xx < WIDTH:
                img[y + line][xx] = 5


def frame(n):
    img = [[0] * WIDTH for _ in range(HEIGHT)]
    left, right = 8, WIDTH - 52
    folder(img, left)
    folder(img, right)
    # The sheet rises out of the left folder and drops into the right one.
    t = n / (FRAMES - 1)
    x = int(left + 13 + t * (right - left))
    y = int(26 - 24 * math.sin(t * math.pi))
    paper(img, x, y)
    return img


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def lst(kind, body):
    return chunk(b"LIST", kind + body)


def build():
    frame_size = WIDTH * HEIGHT
    frames = []
    for n in range(FRAMES):
        rows = frame(n)
        # A DIB is stored bottom-up.
        frames.append(b"".join(bytes(rows[y]) for y in range(HEIGHT - 1, -1, -1)))

    avih = struct.pack("<14I", 1000000 // FPS, frame_size * FPS, 0, 0x10, FRAMES, 0, 1,
                       frame_size, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIII4h", b"vids", b"DIB ", 0, 0, 0, 0, 1, FPS, 0,
                       FRAMES, frame_size, 0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    bih = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, frame_size, 0, 0,
                      len(PALETTE), len(PALETTE))
    pal = b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in PALETTE)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) +
               lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", bih + pal)))

    movi_body = b""
    index = b""
    for data in frames:
        # Offsets count from the "movi" type code, as the format has them.
        offset = 4 + len(movi_body)
        movi_body += chunk(b"00db", data)
        index += struct.pack("<4sIII", b"00db", 0x10, offset, len(data))
    body = b"AVI " + hdrl + lst(b"movi", movi_body) + chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "online", "filemove.avi")
    with open(out, "wb") as f:
        f.write(build())


if __name__ == "__main__":
    main()
