#!/usr/bin/env python3
"""Writes the test bitmaps (24-bit BMP). Deterministic; the output files are committed."""
import struct


def write_bmp(path, width, height, pixel):
    stride = (width * 3 + 3) // 4 * 4
    rows = b""
    for y in range(height - 1, -1, -1):
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        rows += row + b"\0" * (stride - width * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + rows)


# Key test: pairs of columns in the key colour, one step off it in red, a plain colour,
# and one step off it in blue.
KEY_COLUMNS = [(255, 255, 255), (254, 255, 255), (200, 10, 20), (255, 255, 254)]
write_bmp("key.bmp", 8, 4, lambda x, y: KEY_COLUMNS[x // 2])
# Every pixel different: red = 8x, green = 4y, blue 77.
write_bmp("pattern.bmp", 30, 60, lambda x, y: (8 * x, 4 * y, 77))
