#!/usr/bin/env python3
"""Draws the drawing layer's own resource pictures and writes them as BMP and
ICO files into platform/gui/resources/. Run it again after changing a
picture; the build embeds whatever files lie there."""
import math
import os
import struct
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "platform", "gui", "resources")


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    rows = b""
    for y in range(height - 1, -1, -1):
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        rows += row + b"\0" * (stride - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 54) + header + rows


def icon_image(size, pixel):
    """One 32-bit icon image with its AND mask; pixel(x, y) gives (r, g, b, a)."""
    colour, mask = b"", b""
    mask_stride = ((size + 31) // 32) * 4
    for y in range(size - 1, -1, -1):
        bits = 0
        row_mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = pixel(x, y)
            colour += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row_mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico(images):
    count = len(images)
    directory = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    data = b""
    for size, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return directory + data


def test_bitmap(x, y):
    """16 x 8: four colour bars over a grey ramp, magenta in the bottom-left corner."""
    if x < 2 and y >= 6:
        return (255, 0, 255)
    if y < 4:
        return [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)][x // 4]
    return (x * 16, x * 16, x * 16)


def program_icon(size):
    """A database cylinder with a green backup arrow, on a transparent ground."""
    def pixel(x, y):
        u, v = (x + 0.5) / size, (y + 0.5) / size
        # arrow in the lower right corner
        if 0.55 <= u <= 0.95 and 0.55 <= v <= 0.95:
            du, dv = u - 0.75, v - 0.62
            if (abs(du) < 0.07 and v < 0.82) or (v >= 0.78 and abs(du) < (0.95 - v) * 1.2):
                return (32, 160, 48, 255)
        rx, top, bottom = 0.32, 0.18, 0.82
        dx = (u - 0.45) / rx
        if abs(dx) > 1:
            return (0, 0, 0, 0)
        lid = 0.08 * math.sqrt(max(0.0, 1 - dx * dx))
        if v < top - lid or v > bottom + lid:
            return (0, 0, 0, 0)
        if v < top + lid:
            return (120, 170, 230, 255)  # the top face
        shade = int(90 + 80 * (1 - abs(dx)))
        band = any(abs(v - b - lid) < 0.02 for b in (0.4, 0.6))
        return (20, 40, 100, 255) if band else (30, 60, shade + 60, 255)
    return pixel


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "vx_testbitmap.bmp"), "wb") as f:
        f.write(bmp24(16, 8, test_bitmap))
    with open(os.path.join(OUT, "mainicon.ico"), "wb") as f:
        f.write(ico([(32, icon_image(32, program_icon(32))), (16, icon_image(16, program_icon(16)))]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
