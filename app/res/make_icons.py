#!/usr/bin/env python3
"""Draws the bridge program's three icons and writes them as .ico files (32x32 and
16x16, 32-bit colour with alpha). Run it again after changing a drawing:

    python3 app/res/make_icons.py app/res
"""
import struct
import sys
from pathlib import Path

SUPERSAMPLE = 4


def rounded_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(x, y, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width * half_width


# Each drawing maps a point of the unit square (0..32) to an RGBA colour or None.
def application(x, y):
    if not rounded_rect(x, y, 1, 1, 31, 31, 6):
        return None
    white = (255, 255, 255, 255)
    # camera body on the left, a serial plug on the right, the bridge between them
    if rounded_rect(x, y, 5, 10, 13, 22, 1.5) or circle(x, y, 9, 16, 4.2) and not circle(x, y, 9, 16, 2.2):
        return white if not circle(x, y, 9, 16, 2.2) else (30, 70, 150, 255)
    if rounded_rect(x, y, 20, 11, 27, 21, 1.5):
        if any(circle(x, y, 23.5, py, 1.1) for py in (14, 18)):
            return (30, 70, 150, 255)
        return white
    if segment(x, y, 13, 16, 20, 16, 1.4):
        return (255, 200, 40, 255)
    return (30, 70, 150, 255)


def connected(x, y):
    if not circle(x, y, 16, 16, 15):
        return None
    white = (255, 255, 255, 255)
    if segment(x, y, 7, 16, 25, 16, 2.2) or circle(x, y, 7, 16, 3.6) or circle(x, y, 25, 16, 3.6):
        return white
    return (30, 150, 60, 255)


def not_connected(x, y):
    if not circle(x, y, 16, 16, 15):
        return None
    white = (235, 235, 235, 255)
    if segment(x, y, 7, 16, 11, 16, 2.2) or circle(x, y, 7, 16, 3.6):
        return white
    if segment(x, y, 21, 16, 25, 16, 2.2) or circle(x, y, 25, 16, 3.6):
        return white
    if segment(x, y, 12, 24, 20, 8, 1.6):
        return (220, 40, 40, 255)
    return (110, 110, 110, 255)


def render(drawing, size):
    """Rows top to bottom of (r, g, b, a), averaged over SUPERSAMPLE^2 points per pixel."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) * 32 / size
                    y = (py + (sy + 0.5) / n) * 32 / size
                    c = drawing(x, y)
                    if c:
                        acc[0] += c[0] * c[3]
                        acc[1] += c[1] * c[3]
                        acc[2] += c[2] * c[3]
                        acc[3] += c[3]
            a = acc[3]
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((acc[0] // a, acc[1] // a, acc[2] // a, a // (n * n)))
        rows.append(row)
    return rows


def icon_image(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_icon(path, drawing):
    images = [icon_image(render(drawing, size)) for size in (32, 16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    path.write_bytes(out + b"".join(images))


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    write_icon(folder / "application.ico", application)
    write_icon(folder / "connected.ico", connected)
    write_icon(folder / "not_connected.ico", not_connected)


if __name__ == "__main__":
    main()
