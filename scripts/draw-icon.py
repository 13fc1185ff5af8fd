#!/usr/bin/env python3
"""Draws Kanne's icon, a coffee pot, into resources/kanne.ico.

The mark is built from a few shapes in a 1x1 square and rendered with 4x4
supersampling at 16, 32 and 48 pixels as PNG-compressed 32-bit images, which
keeps the icon (and so the executable) small. Run it again after changing a
shape; the build uses the checked-in icon.
"""
import math
import struct
import sys
import zlib

BODY = (0x6b, 0x3e, 0x22)    # roasted brown
LID = (0x3b, 0x22, 0x14)
STEAM = (0x9a, 0x9a, 0x9a)
SHINE = (0xc8, 0x8a, 0x55)


def inside_pot(x, y):
    """Returns the colour of the shape covering (x, y), or None."""
    # Lid knob and lid.
    if (x - 0.50) ** 2 + (y - 0.23) ** 2 < 0.055 ** 2:
        return LID
    if 0.30 < x < 0.70 and 0.27 < y < 0.33:
        return LID
    # Body: widens from the lid to the foot, rounded at the bottom.
    if 0.33 <= y <= 0.88:
        t = (y - 0.33) / 0.55
        half = 0.19 + 0.13 * t
        if y > 0.80:
            half -= (y - 0.80) * 0.9
        if abs(x - 0.50) < half:
            if 0.40 < x < 0.46 and 0.45 < y < 0.75:
                return SHINE
            return BODY
    # Spout: a slanted bar on the left.
    sx, sy = x - 0.33, y - 0.60
    along = sx * -0.6 + sy * -0.8
    across = sx * 0.8 - sy * 0.6
    if 0.0 < along < 0.30 and abs(across) < 0.04:
        return BODY
    # Handle: a ring segment on the right.
    r = math.hypot(x - 0.80, y - 0.58)
    if 0.10 < r < 0.155 and x > 0.80:
        return BODY
    # Steam: a small wave above the spout.
    wy = 0.24 + 0.03 * math.sin((x - 0.06) * 30)
    if 0.06 < x < 0.24 and abs(y - wy) < 0.018:
        return STEAM
    return None


def render(size):
    samples = 4
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = inside_pot((px + (sx + 0.5) / samples) / size,
                                   (py + (sy + 0.5) / samples) / size)
                    if c:
                        hits += 1
                        for k in range(3):
                            acc[k] += c[k]
            if hits:
                alpha = round(255 * hits / samples ** 2)
                row.append((acc[2] // hits, acc[1] // hits, acc[0] // hits, alpha))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png_entry(size):
    rows = render(size)
    raw = b''.join(b'\x00' + bytes(v for b, g, r, a in row for v in (r, g, b, a)) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(path):
    sizes = [16, 32, 48]
    images = [png_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/kanne.ico')
