#!/usr/bin/env python3
"""Draws the program icon and writes src/resources/vemra.ico: a notepad page
with a blue binding strip and ruled lines, ticked off by a green check mark.
One image for each size Windows asks for at 100 % to 200 % and for the
large views (16, 20, 24, 32, 40, 48, 64 and 256 pixels), 32-bit BGRA with
alpha and the AND mask older shells still read; the 256-pixel image is
stored PNG-compressed, as Windows Vista and later read it.

The shapes are laid out on a 48-unit grid and drawn with up to 8x8 samples
per pixel (fewer where the pixels are small), with the page edges on whole
pixels. The images up to 24 pixels leave out the rings, the shadow and two
of the ruled lines, which would only blur at that size. The output is the
same on every run.

usage: tools/make_icon.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "resources", "vemra.ico")
SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256  # sizes from here on are stored as PNG


def samples(size):
    """Samples per pixel side: 8 up to 48 pixels, then fewer, as each pixel
    covers less of the drawing."""
    return max(2, min(8, 384 // size))


PAGE = (8.0, 6.0, 40.0, 44.0)  # left, top, right, bottom on the 48 grid
PAGE_RADIUS = 4.0
STRIP_BOTTOM = 14.0

OUTLINE = (0x5A, 0x63, 0x70)
PAPER = (0xFD, 0xFB, 0xF2)
STRIP = (0x2F, 0x6F, 0xC8)
RING = (0x2A, 0x2F, 0x38)
RULE = (0xB4, 0xC3, 0xD6)
CHECK = (0x2E, 0xA0, 0x46)
CHECK_EDGE = (0xFF, 0xFF, 0xFF)


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius and left <= x <= right and top <= y <= bottom

    return inside


def polyline(points, width):
    half = width / 2.0

    def near(x, y, a, b):
        (ax, ay), (bx, by) = a, b
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= half

    return lambda x, y: any(near(x, y, a, b) for a, b in zip(points, points[1:]))


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def layers(size):
    """The shapes back to front, each (inside-test on the 48 grid, colour,
    opacity). `px` is one pixel of this image in grid units."""
    px = 48.0 / size
    small = size <= 24

    def snap(v):  # edges on whole pixels stay sharp
        return round(v / px) * px

    left, top, right, bottom = (snap(v) for v in PAGE)
    strip_bottom = snap(STRIP_BOTTOM)
    page = rounded_rect(left, top, right, bottom, PAGE_RADIUS)
    paper = rounded_rect(left + px, top + px, right - px, bottom - px, PAGE_RADIUS - px)
    shadow = rounded_rect(left + 1.5, top + 2.0, right + 1.5, bottom + 2.0, PAGE_RADIUS + 1)
    out = [] if small else [(shadow, (0, 0, 0), 0.22)]
    out += [
        (page, OUTLINE, 1.0),
        (paper, PAPER, 1.0),
        (lambda x, y: paper(x, y) and y <= strip_bottom, STRIP, 1.0),
    ]
    if not small:
        for cx in (15.0, 24.0, 33.0):
            out.append((circle(cx, top + 0.5, 2.2), RING, 1.0))
    rule = px if small else snap(1.5)
    rows = (24.0, 33.0) if small else (20.0, 26.0, 32.0, 38.0)
    x0, x1 = snap(13.0), snap(35.0)
    for y0 in (snap(v) for v in rows):
        out.append((lambda x, y, y0=y0: x0 <= x <= x1 and y0 <= y <= y0 + rule, RULE, 1.0))
    tick = [(19.0, 29.0), (27.0, 38.0), (43.0, 16.0)]
    width = 8.0 if small else 6.5
    out.append((polyline(tick, width + 3.0 * px), CHECK_EDGE, 1.0))
    out.append((polyline(tick, width), CHECK, 1.0))
    return out


def render(size):
    """Straight (not premultiplied) RGBA rows, top row first."""
    scale = 48.0 / size
    shapes = layers(size)
    grid = samples(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied r, g, b, a
            for sy in range(grid):
                for sx in range(grid):
                    x = (px + (sx + 0.5) / grid) * scale
                    y = (py + (sy + 0.5) / grid) * scale
                    r = g = b = a = 0.0
                    for inside, colour, opacity in shapes:
                        if inside(x, y):
                            # Source over: the later shape lies on top.
                            keep = 1.0 - opacity
                            r = colour[0] * opacity + r * keep
                            g = colour[1] * opacity + g * keep
                            b = colour[2] * opacity + b * keep
                            a = opacity + a * keep
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = grid * grid
            alpha = acc[3] / n
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(min(255.0, c / n / alpha))) for c in acc[:3])
                           + (int(round(alpha * 255.0)),))
        rows.append(row)
    return rows


def icon_image(rows):
    """One ICO image: BITMAPINFOHEADER (twice the height, for colour plus
    mask), the BGRA rows bottom up, then the 1-bit AND mask."""
    size = len(rows)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:  # set bits are transparent
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0,
                         0, 0, 0)
    return header + colour + bytes(mask)


def png_image(rows):
    """One PNG image: 8-bit RGBA, not interlaced, every row unfiltered."""
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main() -> None:
    images = [(png_image if size >= PNG_FROM else icon_image)(render(size)) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b"".join(images)
    path = os.path.normpath(OUT)
    with open(path, "wb") as f:
        f.write(out)
    print(path, len(out), "bytes")


if __name__ == "__main__":
    main()
