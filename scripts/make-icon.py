#!/usr/bin/env python3
"""Draws the program's icon: a 32 x 32, 16-colour image with one red glyph on a
transparent background (two strokes flowing into one arrow: files merged into one).
Writes app/resources/tamborel.png (window icon) and tamborel.ico (Windows executable)."""
import pathlib
import struct
import zlib

SIZE = 32
# The 16-colour palette of the classic VGA set; index 0 is the transparent one.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
RED, DARK_RED, CLEAR = 9, 1, 0


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def in_arrow_head(x, y):
    # A triangle pointing down, from y = 20 to y = 30.
    if not 20 <= y <= 30:
        return False
    half = (30 - y) * 0.8
    return abs(x - 15.5) <= half


def pixel(x, y):
    px, py = x + 0.5, y + 0.5
    strokes = [(5, 2, 15.5, 14), (26, 2, 15.5, 14), (15.5, 14, 15.5, 22)]
    d = min(distance_to_segment(px, py, *s) for s in strokes)
    if d <= 2.2 or in_arrow_head(px, py):
        return RED
    if d <= 3.0 or in_arrow_head(px, py - 1) or in_arrow_head(px + 0.8, py) or in_arrow_head(px - 0.8, py):
        return DARK_RED
    return CLEAR


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes((row[i] << 4) | row[i + 1] for i in range(0, SIZE, 2)) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 4, 3, 0, 0, 0))
            + chunk(b"PLTE", b"".join(bytes(c) for c in PALETTE)) + chunk(b"tRNS", b"\x00")
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(rows):
    xor = b"".join(bytes((row[i] << 4) | row[i + 1] for i in range(0, SIZE, 2)) for row in reversed(rows))
    mask = b""
    for row in reversed(rows):
        bits = 0
        for value in row:
            bits = (bits << 1) | (1 if value == CLEAR else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22) + image


def main():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    out = pathlib.Path(__file__).resolve().parent.parent / "app" / "resources"
    (out / "tamborel.png").write_bytes(png(rows))
    (out / "tamborel.ico").write_bytes(ico(rows))


if __name__ == "__main__":
    main()
