#!/usr/bin/env python3
"""Draws Tessaly's artwork and writes it to app/resources/.

  tessaly.ico          the program icon: one 48 x 48 image, 256 colours
  tessaly-<n>.png      the same icon for the desktop, n = 16 ... 256
  zs.bmp               the thank-you card of the appreciation window,
                       388 x 386, 24 bits per pixel, uncompressed

Pure Python (no imaging library): shapes are sampled 4 x 4 per pixel and
the files are written byte by byte, so every run gives the same bytes.
"""
import math
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "resources")

RED = (196, 43, 38)
CREAM = (252, 243, 224)
GOLD = (231, 178, 72)
INK = (62, 40, 30)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def rounded_rect(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1


def icon_sample(x, y):
    """The icon in unit coordinates: a red seal holding a 2 x 2 grid of
    cream squares (an idiom's four characters) and a magnifying glass."""
    if not rounded_rect(x, y, 0.04, 0.04, 0.96, 0.96, 0.18):
        return None
    colour = RED
    if rounded_rect(x, y, 0.10, 0.10, 0.90, 0.90, 0.13) and not rounded_rect(
            x, y, 0.14, 0.14, 0.86, 0.86, 0.10):
        colour = CREAM
    for gx in (0.22, 0.47):
        for gy in (0.22, 0.47):
            if gx <= x <= gx + 0.21 and gy <= y <= gy + 0.21:
                colour = CREAM
    # The glass: a gold ring with a handle towards the lower right.
    d = math.hypot(x - 0.60, y - 0.60)
    if 0.13 <= d <= 0.19:
        colour = GOLD
    elif d < 0.13:
        colour = mix(colour, (255, 255, 255), 0.35)
    t = ((x - 0.72) + (y - 0.72)) / 2
    if 0 <= t <= 0.17 and abs((x - 0.72) - (y - 0.72)) <= 0.07 and d > 0.17:
        colour = GOLD
    return colour


def render(size, sample, supersample=4):
    """RGBA rows, top first."""
    rows = []
    n = supersample
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += c[i]
            if covered:
                row.append(tuple(int(round(acc[i] / covered)) for i in range(3)) +
                           (int(round(255 * covered / (n * n))),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def palette_256():
    """A fixed palette: a 6 x 7 x 6 colour cube and four greys."""
    pal = [(r * 51, g * 255 // 6, b * 51) for r in range(6) for g in range(7) for b in range(6)]
    pal += [(64, 64, 64), (128, 128, 128), (192, 192, 192), (255, 255, 255)]
    return pal


def ico_8bpp(rows):
    size = len(rows)
    pal = palette_256()
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(256), key=lambda i: sum((pal[i][k] - c[k]) ** 2 for k in range(3)))
        return cache[c]

    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bottom-up
        xor += bytes(nearest(p[:3]) if p[3] >= 128 else 0 for p in row)
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0,
                         256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in pal)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8,
                                                           len(image), 22)
    return directory + image


# A 5 x 7 pixel font for the card's words.
GLYPHS = {
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    " ": ["00000"] * 7,
}


def card():
    """The thank-you card: 388 x 386 pixels, rows top first, RGB."""
    w, h = 388, 386
    pixels = [[mix((255, 250, 238), (248, 226, 200), y / h) for x in range(w)] for y in range(h)]

    def put(x, y, c):
        if 0 <= x < w and 0 <= y < h:
            pixels[y][x] = c

    # A double red border.
    for y in range(h):
        for x in range(w):
            edge = min(x, y, w - 1 - x, h - 1 - y)
            if 8 <= edge <= 12 or 17 <= edge <= 18:
                pixels[y][x] = RED
    # A heart in the middle, sampled 4 x 4 for soft edges.
    cx, cy, s = w / 2, 150, 78.0
    for y in range(int(cy - s * 1.3), int(cy + s * 1.3)):
        for x in range(int(cx - s * 1.4), int(cx + s * 1.4)):
            hits = 0
            for sy in range(4):
                for sx in range(4):
                    u = (x + (sx + 0.5) / 4 - cx) / s
                    v = -(y + (sy + 0.5) / 4 - cy) / s + 0.25
                    if (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0:
                        hits += 1
            if hits:
                pixels[y][x] = mix(pixels[y][x], RED, hits / 16)
    # Four gold dots at the corners of the inner frame.
    for (dx, dy) in ((40, 40), (w - 41, 40), (40, h - 41), (w - 41, h - 41)):
        for y in range(dy - 6, dy + 7):
            for x in range(dx - 6, dx + 7):
                if (x - dx) ** 2 + (y - dy) ** 2 <= 36:
                    put(x, y, GOLD)
    # THANK YOU under the heart.
    text, scale = "THANK YOU", 5
    width = len(text) * 6 * scale - scale
    x0, y0 = (w - width) // 2, 280
    for i, ch in enumerate(text):
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(line):
                if bit == "1":
                    for yy in range(scale):
                        for xx in range(scale):
                            put(x0 + (i * 6 + gx) * scale + xx, y0 + gy * scale + yy, INK)
    return [[tuple(int(round(v)) for v in p) for p in row] for row in pixels]


def bmp_24(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytes(v for (r, g, b) in row for v in (b, g, r))
        data += line + b"\x00" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    return header + info + bytes(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "tessaly.ico"), "wb") as f:
        f.write(ico_8bpp(render(48, icon_sample)))
    for size in (16, 32, 48, 64, 128, 256):
        with open(os.path.join(OUT, "tessaly-%d.png" % size), "wb") as f:
            f.write(png(render(size, icon_sample, 4 if size <= 64 else 2)))
    with open(os.path.join(OUT, "zs.bmp"), "wb") as f:
        f.write(bmp_24(card()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
